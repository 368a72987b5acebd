#pragma once

#include "journallocation.h"
#include "journalquery.h"
#include "journalviewtypes.h"

#include <QObject>
#include <QVector>

#include <memory>

class JournalStore;
QT_BEGIN_NAMESPACE
class QTimer;
QT_END_NAMESPACE

// Runs every query of the journal window on its own thread: opens the journal read-only,
// watches it for new events, reopens it after a failure, and answers requests with signals.
class JournalViewWorker : public QObject
{
    Q_OBJECT

public:
    // The summary looks at this many of the newest alarm events: older ones, on a journal of
    // millions, would keep the queries waiting behind it for seconds.
    static constexpr int SummaryAlarmEvents = 1000;
    // A trend marks at most this many of the latest alarm transitions of each channel.
    static constexpr int TrendTransitions = 2000;

    // A worker that reads the summary or the trends does only that, on a thread of its own,
    // so that a long summary or a two-year trend never holds up a page of the history.
    enum class Role { History, Summary, Trend };

    JournalViewWorker(const JournalLocation &location, Role role, const JournalTiming &timing,
                      QObject *parent = nullptr);
    ~JournalViewWorker() override;

public slots:
    void start();
    void readAlarms();
    void fetchPage(quint64 generation, const EventFilter &filter, int limit);
    void acknowledge(const QVector<qint64> &ids, const QString &user, const QString &comment);
    void exportCsv(const EventFilter &filter, const QString &path);
    void fetchAll(quint64 request, const EventFilter &filter, int limit);
    void readSeries();
    void readTrend(quint64 request, const QVector<TrendKey> &keys, qint64 fromMs, qint64 toMs,
                   int points);

signals:
    void opened();
    void failed(const QString &reason);
    void newEvents(const QVector<JournalEvent> &events);
    void alarmsRead(const QVector<SummaryAlarm> &alarms);
    void pageRead(quint64 generation, const QVector<JournalEvent> &events, bool atEnd);
    void pageFailed(quint64 generation, const QString &reason);
    void acknowledged(bool ok, const QString &error);
    void exported(bool ok, const QString &path, const QString &error);
    void allRead(quint64 request, const QVector<JournalEvent> &events, bool complete);
    void seriesRead(const QVector<TrendSeries> &series);
    void trendRead(quint64 request, const QVector<TrendData> &trends);
    void trendFailed(quint64 request, const QString &reason);

private:
    void poll();
    bool ensureOpen();
    void lose(const QString &reason);

    const JournalLocation location;
    const Role role;
    const JournalTiming timing;
    std::unique_ptr<JournalStore> store;
    QTimer *pollTimer = nullptr;
    qint64 lastId = 0;
    qint64 nextAttemptMs = 0;
    bool failing = false;
    QString lastReason;
};
