#pragma once

#include <QObject>

QT_BEGIN_NAMESPACE
class QSocketNotifier;
QT_END_NAMESPACE

// Turns SIGTERM and SIGINT into a Qt signal delivered by the event loop, where the journal can
// be flushed; a signal handler itself may only write a byte to a pipe.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

    // False when the pipe or the handlers could not be set up.
    bool isValid() const { return notifier != nullptr; }

signals:
    void stopRequested(const QString &signalName);

private:
    void readSignal();

    QSocketNotifier *notifier = nullptr;
};
