#include "journalworker.h"

#include "journalformat.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMutexLocker>
#include <QTimer>

#include <cstdio>

namespace {

qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

JournalWorker::JournalWorker(JournalQueue *queue, const JournalRetention &retention, int retryMs)
    : queue(queue)
    , retention(retention)
    , retryMs(retryMs)
{}

JournalWorker::~JournalWorker() = default;

void JournalWorker::begin(const JournalLocation &journal, const QString &name,
                          const QString &startDetail, qint64 startMs)
{
    location = journal;
    installation = name;
    store = std::make_unique<JournalStore>();
    JournalEvent started;
    started.kind = Journal::Kind::RecordingStarted;
    started.timeMs = startMs;
    started.installation = installation;
    started.detail = startDetail;
    {
        QMutexLocker lock(&queue->mutex);
        queue->events.prepend(started);
    }
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &JournalWorker::tick);
    timer->start(TickMs);
    tryOpen();
}

void JournalWorker::finish(const QString &detail, qint64 stopMs, qint64 deadlineMs)
{
    if (!store)
        return;
    if (!claimed && isRefused()) {
        // It never recorded: no stop to write, and the holder's lease is not ours to end.
        delete timer;
        timer = nullptr;
        store.reset();
        return;
    }
    delete timer;
    timer = nullptr;
    JournalEvent stopped;
    stopped.kind = Journal::Kind::RecordingStopped;
    stopped.timeMs = stopMs;
    stopped.installation = installation;
    stopped.detail = detail;
    {
        QMutexLocker lock(&queue->mutex);
        queue->events.append(stopped);
    }
    if (!store->isOpen() && nowMs() < deadlineMs)
        tryOpen();
    if (store->isOpen())
        flush(true, true);
    store.reset();
    int unwritten;
    QString problem;
    {
        QMutexLocker lock(&queue->mutex);
        unwritten = queue->events.size();
        problem = queue->problem;
    }
    if (unwritten > 0) {
        std::fprintf(stderr, "journal: %s: %d events could not be written before the end: %s\n",
                     qPrintable(location.display()), unwritten, qPrintable(problem));
    }
}

void JournalWorker::writeIntervals()
{
    {
        QMutexLocker lock(&queue->mutex);
        queue->intervalsRequested = false;
    }
    if (store && store->isOpen())
        flush(true, false);
}

void JournalWorker::tick()
{
    const qint64 now = nowMs();
    if (!store->isOpen()) {
        if (now >= nextOpenMs)
            tryOpen();
        return;
    }
    bool pending;
    {
        QMutexLocker lock(&queue->mutex);
        pending = !queue->events.isEmpty() || queue->lostEvents || queue->lostIntervals;
    }
    // Written at least once a second even when nothing happens: that renews the lease and
    // dates the end of an unclean stop.
    if (pending || now - lastWriteMs >= 1000 || now - lastIntervalWriteMs >= IntervalFlushMs)
        flush(false, false);
    if (store->isOpen() && now - lastPruneMs >= PruneEveryMs) {
        lastPruneMs = now;
        store->prune(retention, now);
    }
}

bool JournalWorker::tryOpen()
{
    const qint64 now = nowMs();
    nextOpenMs = now + retryMs;
    QString error;
    if (!store->open(location, JournalStore::Access::ReadWrite, &error)) {
        setState(false, error);
        return false;
    }
    qint64 uncleanEndMs = 0;
    bool held = false;
    if (!store->claim(installation, now, &uncleanEndMs, &error, &held)) {
        store->close();
        if (held && !claimed) {
            // Two writers of one installation would interleave their rows: the second one
            // refuses to start. One that recorded before keeps trying, since its lease may
            // only have looked stale to another writer for a while.
            refuse(error);
            return false;
        }
        setState(false, error);
        return false;
    }
    claimed = true;
    lastWriteMs = now;
    if (lastIntervalWriteMs == 0)
        lastIntervalWriteMs = now;
    setState(true, QString());
    // What waited through an outage goes at once, trend intervals included.
    return flush(true, false);
}

bool JournalWorker::flush(bool all, bool release)
{
    const qint64 now = nowMs();
    const bool withIntervals = all || now - lastIntervalWriteMs >= IntervalFlushMs;
    QVector<JournalEvent> events;
    QVector<TrendInterval> intervals;
    qint64 lostEvents, lostIntervals, firstLost, lastLost;
    {
        QMutexLocker lock(&queue->mutex);
        events.swap(queue->events);
        if (withIntervals)
            intervals.swap(queue->intervals);
        queue->eventsInFlight = events.size();
        queue->intervalsInFlight = intervals.size();
        lostEvents = queue->lostEvents;
        lostIntervals = queue->lostIntervals;
        firstLost = queue->firstLostMs;
        lastLost = queue->lastLostMs;
        queue->lostEvents = queue->lostIntervals = 0;
    }
    QVector<JournalEvent> batch = events;
    if (lostEvents || lostIntervals) {
        JournalEvent gap;
        gap.kind = Journal::Kind::Gap;
        gap.timeMs = firstLost;
        gap.installation = installation;
        gap.to = QString::number(lostEvents);
        // Stored, like every detail: in the one language whoever reads the journal later expects.
        gap.detail = QStringLiteral("%1 events and %2 trend intervals could not be kept "
                                    "between %3 and %4")
                         .arg(lostEvents)
                         .arg(lostIntervals)
                         .arg(JournalFormat::time(firstLost), JournalFormat::time(lastLost));
        // Where the lost events would have been: after the ones kept before them.
        batch.append(gap);
    }
    const bool ok = store->write(batch, intervals, now, release);
    QMutexLocker lock(&queue->mutex);
    queue->eventsInFlight = 0;
    queue->intervalsInFlight = 0;
    if (ok) {
        lastWriteMs = now;
        if (withIntervals)
            lastIntervalWriteMs = now;
        return true;
    }
    // Nothing taken is dropped: it goes back before what arrived meanwhile.
    events.append(queue->events);
    queue->events.swap(events);
    intervals.append(queue->intervals);
    queue->intervals.swap(intervals);
    queue->lostEvents += lostEvents;
    queue->lostIntervals += lostIntervals;
    if (lostEvents || lostIntervals) {
        queue->firstLostMs = firstLost;
        queue->lastLostMs = qMax(lastLost, queue->lastLostMs);
    }
    lock.unlock();
    const QString reason = tr("cannot write: %1").arg(store->lastError());
    store->close();
    nextOpenMs = now + retryMs;
    setState(false, reason);
    return false;
}

bool JournalWorker::isRefused() const
{
    QMutexLocker lock(&queue->mutex);
    return queue->refused;
}

void JournalWorker::refuse(const QString &reason)
{
    delete timer;
    timer = nullptr;
    {
        QMutexLocker lock(&queue->mutex);
        queue->refused = true;
        queue->events.clear();
        queue->intervals.clear();
        queue->lostEvents = queue->lostIntervals = 0;
    }
    setState(false, reason);
    emit refused(reason);
}

void JournalWorker::setState(bool recording, const QString &reason)
{
    {
        QMutexLocker lock(&queue->mutex);
        if (queue->recording == recording && queue->problem == reason)
            return;
        queue->recording = recording;
        queue->problem = reason;
    }
    emit stateChanged(recording, reason);
}
