#pragma once

#include "journalevent.h"
#include "journallocation.h"
#include "journalstore.h"

#include <QObject>

#include <memory>

QT_BEGIN_NAMESPACE
class QThread;
QT_END_NAMESPACE

class JournalWorker;
struct JournalQueue;

// Writes events and trend intervals into a journal from a worker thread of its own. The calls
// return at once: the GUI thread never waits on the database. While the journal cannot be
// written, events are kept in memory up to BacklogLimit and written when it works again
// (retried every RetryMs); beyond the bound one "gap" row counts what was lost.
class JournalWriter : public QObject
{
    Q_OBJECT

public:
    static constexpr int BacklogLimit = 100000;
    static constexpr int RetryMs = 5000;
    // Trend intervals kept while the journal cannot be written: five minutes of a full
    // installation (32 nodes, 4 channels, 8 measurements).
    static constexpr int IntervalBacklogLimit = 300000;

    explicit JournalWriter(QObject *parent = nullptr);
    ~JournalWriter() override; // stops as stop() does, if still running

    // Opens the journal on the worker thread and writes "recording-started" with the detail
    // given (the listening port, or why it is not listening). Before that, a journal whose
    // last recording of this installation did not end cleanly gets its "recording-stopped"
    // with detail "unclean" at the time of the last write. The outcome arrives as
    // stateChanged().
    void start(const JournalLocation &location, const QString &installation,
               const QString &startDetail);
    // Queue for writing; installation is filled in by the writer when empty.
    void record(const JournalEvent &event);
    void recordIntervals(const QVector<TrendInterval> &intervals);
    // Has the trend intervals queued so far written at once instead of with the next batch:
    // for when the datagrams stop, so what they measured is not left waiting in memory.
    void writeIntervalsNow();
    // Writes "recording-stopped" with the detail, flushes what is queued (waiting at most
    // timeoutMs for the database) and ends the worker. For program exit only.
    void stop(const QString &detail, int timeoutMs = 3000);

    bool isRecording() const;
    // Another writer held the installation at start: this one records nothing, for good.
    bool isRefused() const;
    // Why the journal is not recording, for the status bar; empty while it records.
    QString problem() const;
    // Events and intervals queued and not yet written.
    int backlog() const;

    // How long the journal keeps what it holds; before start().
    void setRetention(const JournalRetention &retention);
    // How long to wait before opening again a journal that failed; before start(), for tests.
    void setRetryInterval(int ms);
    // Smaller bounds, so a test fills them quickly.
    void setBacklogLimitsForTest(int events, int intervals);

signals:
    // Emitted on the thread that owns the writer whenever recording starts or stops working.
    void stateChanged(bool recording, const QString &reason);
    // After stateChanged(false, reason), when the start was refused (see isRefused()).
    void refused(const QString &reason);

private:
    std::unique_ptr<JournalQueue> queue;
    QThread *thread = nullptr;
    JournalWorker *worker = nullptr;
    QString installation;
    JournalRetention retention;
    int retryMs = RetryMs;
    int eventLimit = BacklogLimit;
    int intervalLimit = IntervalBacklogLimit;
    bool recording = false;
    QString reason;
};
