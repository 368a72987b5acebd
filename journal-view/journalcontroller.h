#pragma once

#include "journallocation.h"
#include "journalquery.h"
#include "journalviewtypes.h"

#include <QObject>
#include <QString>
#include <QThread>
#include <QVector>

class JournalViewWorker;

// The journal window's logic on the GUI thread: owns the worker thread that runs the queries,
// knows whether the journal is live, and hands results to the models through typed signals.
class JournalController : public QObject
{
    Q_OBJECT

public:
    explicit JournalController(const JournalLocation &location,
                               const JournalTiming &timing = JournalTiming(),
                               QObject *parent = nullptr);
    ~JournalController() override;

    const JournalLocation &location() const { return journalLocation; }
    const JournalTiming &intervals() const { return timing; }
    bool isLive() const { return live; }
    QString lastError() const { return error; }
    // The login name an acknowledgement records.
    static QString loginName();

    void start();
    // Newest first; the answer comes with pageRead carrying the same generation.
    void fetchPage(quint64 generation, const EventFilter &filter, int limit);
    void acknowledge(const QVector<qint64> &ids, const QString &comment);
    void exportCsv(const EventFilter &filter, const QString &path);
    // Up to limit of the newest matching events, oldest first, for a report.
    void fetchAll(quint64 request, const EventFilter &filter, int limit);
    // The measurements the journal holds trends of; the answer is seriesRead.
    void readSeries();
    // The answer is trendRead or trendFailed with the same request.
    void readTrend(quint64 request, const QVector<TrendKey> &keys, qint64 fromMs, qint64 toMs,
                   int points);

signals:
    void liveChanged(bool live, const QString &reason);
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
    void setLive(bool on, const QString &reason);
    void refreshAlarms();

    const JournalLocation journalLocation;
    const JournalTiming timing;
    QThread thread;
    JournalViewWorker *worker = nullptr;
    QThread summaryThread;
    JournalViewWorker *summaryWorker = nullptr;
    QThread trendThread;
    JournalViewWorker *trendWorker = nullptr;
    bool historyOpen = false;
    bool alarmsReading = false;
    bool alarmsAgain = false; // the journal changed while the summary was read
    bool live = false;
    bool started = false;
    QString error;
};
