#pragma once

#include "journallocation.h"
#include "nodestatus.h"
#include "transitiondetector.h"
#include "trendaccumulator.h"

#include <QObject>
#include <QVector>

QT_BEGIN_NAMESPACE
class QTimer;
QT_END_NAMESPACE

class JournalWriter;

// What a receiving program records: every accepted datagram goes through the transition
// detector and the trend accumulator, and what they find goes to a JournalWriter, whose worker
// thread does the writing. Lives on the GUI thread; datagramAccepted() never waits.
class JournalRecorder : public QObject
{
    Q_OBJECT

public:
    // How often silences and finished trend seconds are looked for.
    static constexpr int TickMs = 250;
    // No datagram from any node for this long: the load has stopped, and the trend intervals
    // waiting for the writer's next batch are written at once. Two datagrams of one node at
    // 10 Hz; only an installation of very few, slow nodes (whose blocks are few) gets its
    // intervals written as they end.
    static constexpr int IdleMs = 200;

    explicit JournalRecorder(QObject *parent = nullptr);
    ~JournalRecorder() override;

    // Failures and recoveries of the journal are written to standard error as "NAME: ...",
    // once each; empty: nothing is written.
    void setLogName(const QString &name) { logName = name; }

    void start(const JournalLocation &location, const QString &installation,
               const QString &startDetail);
    // The one call per accepted datagram, with its receive time (ms since the epoch, UTC).
    void datagramAccepted(const NodeStatus &msg, qint64 timeMs);
    // Hands on what is still open and writes "recording-stopped" with the detail. Idempotent.
    void stop(const QString &detail);

    bool isRecording() const;
    // Why the journal is not recording; empty while it records.
    QString problem() const;
    JournalWriter *journalWriter() const { return writer; }

signals:
    void stateChanged(bool recording, const QString &reason);
    // Another writer records this installation: nothing is recorded here, and the reason
    // (naming that writer's host and start time) stays.
    void refused(const QString &reason);

private:
    void tick();
    void flushEvents();
    void onWriterState(bool recording, const QString &reason);

    TransitionDetector detector;
    TrendAccumulator trends;
    JournalWriter *const writer;
    QTimer *const ticker;
    QVector<JournalEvent> events;
    QVector<TrendInterval> intervals;
    QString logName;
    QString journalName;
    bool started = false;
    bool stopped = false;
    bool refusedStart = false;
    qint64 lastDatagramMs = 0;
    bool everRecorded = false;
    bool lastRecording = false;
    QString lastReason;
};
