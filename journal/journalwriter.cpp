#include "journalwriter.h"

#include "journalworker.h"

#include <QDateTime>
#include <QMutexLocker>
#include <QThread>

#include <cstdio>

JournalWriter::JournalWriter(QObject *parent)
    : QObject(parent)
    , queue(std::make_unique<JournalQueue>())
{
    qRegisterMetaType<JournalEvent>();
    qRegisterMetaType<QVector<JournalEvent>>();
    qRegisterMetaType<TrendInterval>();
    qRegisterMetaType<QVector<TrendInterval>>();
}

JournalWriter::~JournalWriter()
{
    stop(QStringLiteral("program ended"));
}

void JournalWriter::setRetention(const JournalRetention &value)
{
    retention = value;
}

void JournalWriter::setRetryInterval(int ms)
{
    retryMs = ms;
}

void JournalWriter::setBacklogLimitsForTest(int events, int intervals)
{
    QMutexLocker lock(&queue->mutex);
    eventLimit = events;
    intervalLimit = intervals;
}

void JournalWriter::start(const JournalLocation &location, const QString &name,
                          const QString &startDetail)
{
    if (thread)
        return;
    installation = name;
    const qint64 startMs = QDateTime::currentMSecsSinceEpoch();
    thread = new QThread(this);
    thread->setObjectName(QStringLiteral("journal writer"));
    worker = new JournalWorker(queue.get(), retention, retryMs);
    worker->moveToThread(thread);
    connect(thread, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &JournalWorker::stateChanged, this,
            [this](bool nowRecording, const QString &why) {
                recording = nowRecording;
                reason = why;
                emit stateChanged(nowRecording, why);
            });
    connect(worker, &JournalWorker::refused, this, &JournalWriter::refused);
    thread->start();
    JournalWorker *const w = worker;
    QMetaObject::invokeMethod(
        w,
        [w, location, name, startDetail, startMs] {
            w->begin(location, name, startDetail, startMs);
        },
        Qt::QueuedConnection);
}

void JournalWriter::record(const JournalEvent &event)
{
    QMutexLocker lock(&queue->mutex);
    if (queue->refused)
        return;
    if (queue->events.size() + queue->eventsInFlight >= eventLimit) {
        if (queue->lostEvents == 0 && queue->lostIntervals == 0)
            queue->firstLostMs = event.timeMs;
        ++queue->lostEvents;
        queue->lastLostMs = qMax(queue->lastLostMs, event.timeMs);
        return;
    }
    queue->events.append(event);
    if (queue->events.last().installation.isEmpty())
        queue->events.last().installation = installation;
}

void JournalWriter::recordIntervals(const QVector<TrendInterval> &intervals)
{
    QMutexLocker lock(&queue->mutex);
    if (queue->refused)
        return;
    for (const TrendInterval &interval : intervals) {
        if (queue->intervals.size() + queue->intervalsInFlight >= intervalLimit) {
            if (queue->lostEvents == 0 && queue->lostIntervals == 0)
                queue->firstLostMs = interval.startMs;
            ++queue->lostIntervals;
            queue->lastLostMs = qMax(queue->lastLostMs, interval.startMs);
            continue;
        }
        queue->intervals.append(interval);
        if (queue->intervals.last().installation.isEmpty())
            queue->intervals.last().installation = installation;
    }
}

void JournalWriter::writeIntervalsNow()
{
    if (!worker)
        return;
    {
        QMutexLocker lock(&queue->mutex);
        if (queue->intervals.isEmpty() || queue->intervalsRequested || !queue->recording)
            return;
        queue->intervalsRequested = true;
    }
    JournalWorker *const w = worker;
    QMetaObject::invokeMethod(
        w, [w] { w->writeIntervals(); }, Qt::QueuedConnection);
}

void JournalWriter::stop(const QString &detail, int timeoutMs)
{
    if (!thread)
        return;
    const qint64 stopMs = QDateTime::currentMSecsSinceEpoch();
    const qint64 deadlineMs = stopMs + timeoutMs;
    JournalWorker *const w = worker;
    QThread *const t = thread;
    QMetaObject::invokeMethod(
        w,
        [w, t, detail, stopMs, deadlineMs] {
            w->finish(detail, stopMs, deadlineMs);
            t->quit();
        },
        Qt::QueuedConnection);
    // A database that hangs may hold the worker beyond its deadline; the program is ending
    // then, so the thread is left to the operating system rather than destroyed while it runs.
    if (!thread->wait(timeoutMs + 2000)) {
        std::fprintf(stderr, "journal: %s: not stopped in time, events may be lost\n",
                     qPrintable(installation));
        thread->setParent(nullptr);
        thread = nullptr;
        worker = nullptr;
        return;
    }
    delete thread;
    thread = nullptr;
    worker = nullptr;
}

bool JournalWriter::isRefused() const
{
    QMutexLocker lock(&queue->mutex);
    return queue->refused;
}

bool JournalWriter::isRecording() const
{
    QMutexLocker lock(&queue->mutex);
    return queue->recording;
}

QString JournalWriter::problem() const
{
    QMutexLocker lock(&queue->mutex);
    return queue->recording ? QString() : queue->problem;
}

int JournalWriter::backlog() const
{
    QMutexLocker lock(&queue->mutex);
    return queue->events.size() + queue->intervals.size() + queue->eventsInFlight +
           queue->intervalsInFlight;
}
