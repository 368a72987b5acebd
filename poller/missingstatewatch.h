#pragma once

#include "t_orvo_settings.h"
#include "t_orvo_type.h"

#include <QObject>
#include <QTimer>

// Notices configured channels whose state never arrives. The poller stops reading channels at
// the first one that fails and sends nothing for a channel without valid data, so such a
// channel is otherwise just silent. Each newly configured channel gets its own wait and is
// reported at most once, until it is configured anew.
class MissingStateWatch : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultTimeoutMs = 5000;

    explicit MissingStateWatch(QObject *parent = nullptr);
    ~MissingStateWatch() override;

    void setTimeout(int ms);
    int timeout() const { return timeoutMs; }

    // A settings record of a module of that type: the channels of its mask are expected, none
    // of a relay module. Channels that were expected already keep their wait and arrival.
    void expect(t_ORVO_Type type, quint16 channelMask);
    void arrived(int ch);
    // Nothing is expected any more (the module is gone).
    void clear();

    // Expected channels (bit c: channel c) without a state since they were configured.
    quint16 missing() const { return expected & ~arrivedMask; }
    bool isWaiting() const;

signals:
    void channelMissing(int ch);

private:
    QTimer waits[OrvoSettings::ChannelCount];
    quint16 expected = 0;
    quint16 arrivedMask = 0;
    int timeoutMs = DefaultTimeoutMs;
};
