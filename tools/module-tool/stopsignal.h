#pragma once

#include <QObject>

QT_BEGIN_NAMESPACE
class QSocketNotifier;
QT_END_NAMESPACE

// Turns SIGINT and SIGTERM into a signal delivered by the event loop, so that a watch that
// runs until interrupted still ends in order: the link closed and the summary printed. The
// handlers stay installed while the object lives; one object at a time.
class StopSignal : public QObject
{
    Q_OBJECT

public:
    explicit StopSignal(QObject *parent = nullptr);
    ~StopSignal() override;

signals:
    void stopRequested();

private:
    QSocketNotifier *notifier = nullptr;
};
