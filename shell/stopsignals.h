#pragma once

#include <QObject>

QT_BEGIN_NAMESPACE
class QSocketNotifier;
QT_END_NAMESPACE

// Turns SIGTERM and SIGINT into a Qt signal delivered by the event loop, so that a program
// stopped from outside still ends in order (a journal flushed, a link closed, a summary
// printed); a signal handler itself may only write a byte to a pipe. The handlers are
// installed while the object lives, and the earlier ones restored after: one object at a time.
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
    void readSignals();

    QSocketNotifier *notifier = nullptr;
};
