#pragma once

#include "journalevent.h"
#include "journallocation.h"
#include "journalstore.h"

#include <QMutex>
#include <QObject>

#include <memory>

QT_BEGIN_NAMESPACE
class QTimer;
QT_END_NAMESPACE

// What the writer's callers and its worker share; every member is guarded by mutex.
struct JournalQueue
{
    QMutex mutex;
    QVector<JournalEvent> events;
    QVector<TrendInterval> intervals;
    int eventsInFlight = 0; // taken by the worker and not yet written
    int intervalsInFlight = 0;
    qint64 lostEvents = 0;
    qint64 lostIntervals = 0;
    qint64 firstLostMs = 0;
    qint64 lastLostMs = 0;
    bool recording = false;
    // Another writer holds the installation: nothing is kept, nothing is retried.
    bool refused = false;
    bool intervalsRequested = false; // a writeIntervals() is on its way to the worker
    QString problem;
};

// Lives on the writer's thread: opens the journal, writes batches, retries.
class JournalWorker : public QObject
{
    Q_OBJECT

public:
    // Trend intervals are written in batches this far apart (every batch rewrites the open
    // block of each tier of each measurement); events at least once a second.
    static constexpr int IntervalFlushMs = 30000;
    static constexpr int TickMs = 250;
    static constexpr qint64 PruneEveryMs = 3600 * 1000;

    JournalWorker(JournalQueue *queue, const JournalRetention &retention, int retryMs);
    ~JournalWorker() override;

    void begin(const JournalLocation &location, const QString &installation,
               const QString &startDetail, qint64 startMs);
    void finish(const QString &detail, qint64 stopMs, qint64 deadlineMs);
    // Writes the queued trend intervals now rather than with the next batch.
    void writeIntervals();

signals:
    void stateChanged(bool recording, const QString &reason);
    // Emitted once, after stateChanged(false, reason), when another writer holds the
    // installation; the worker then writes nothing and tries no more.
    void refused(const QString &reason);

private:
    void tick();
    bool tryOpen();
    bool flush(bool all, bool release);
    void setState(bool recording, const QString &reason);
    void refuse(const QString &reason);
    bool isRefused() const;

    JournalQueue *const queue;
    const JournalRetention retention;
    const int retryMs;
    std::unique_ptr<JournalStore> store;
    QTimer *timer = nullptr;
    JournalLocation location;
    QString installation;
    bool claimed = false;
    bool failedOnce = false;
    qint64 nextOpenMs = 0;
    qint64 lastWriteMs = 0;
    qint64 lastIntervalWriteMs = 0;
    qint64 lastPruneMs = 0;
};
