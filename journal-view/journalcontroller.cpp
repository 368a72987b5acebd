#include "journalcontroller.h"

#include "journalviewworker.h"

#include <QMetaObject>
#include <QTimer>

#include <pwd.h>
#include <unistd.h>

JournalController::JournalController(const JournalLocation &location, const JournalTiming &timing,
                                     QObject *parent)
    : QObject(parent)
    , journalLocation(location)
    , timing(timing)
{
    qRegisterMetaType<EventFilter>();
    qRegisterMetaType<QVector<JournalEvent>>();
    qRegisterMetaType<QVector<SummaryAlarm>>();
    qRegisterMetaType<QVector<qint64>>();
    qRegisterMetaType<QVector<TrendKey>>();
    qRegisterMetaType<QVector<TrendSeries>>();
    qRegisterMetaType<QVector<TrendData>>();
    thread.setObjectName(QStringLiteral("journal queries"));
    worker = new JournalViewWorker(location, JournalViewWorker::Role::History, timing);
    worker->moveToThread(&thread);
    // Deleted on its own thread once the loop has ended, so the store closes where it opened.
    connect(&thread, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &JournalViewWorker::opened, this, [this] {
        historyOpen = true;
        setLive(true, QString());
        refreshAlarms();
    });
    connect(worker, &JournalViewWorker::failed, this, [this](const QString &reason) {
        historyOpen = false;
        setLive(false, reason);
    });
    connect(worker, &JournalViewWorker::newEvents, this, &JournalController::newEvents);
    connect(worker, &JournalViewWorker::newEvents, this, &JournalController::refreshAlarms);

    summaryThread.setObjectName(QStringLiteral("journal summary"));
    summaryWorker = new JournalViewWorker(location, JournalViewWorker::Role::Summary, timing);
    summaryWorker->moveToThread(&summaryThread);
    connect(&summaryThread, &QThread::finished, summaryWorker, &QObject::deleteLater);
    connect(summaryWorker, &JournalViewWorker::alarmsRead, this,
            [this](const QVector<SummaryAlarm> &alarms) {
                alarmsReading = false;
                if (historyOpen)
                    setLive(true, QString());
                emit alarmsRead(alarms);
                if (alarmsAgain) {
                    alarmsAgain = false;
                    refreshAlarms();
                }
            });
    connect(summaryWorker, &JournalViewWorker::failed, this, [this](const QString &reason) {
        alarmsReading = false;
        setLive(false, reason);
        // Nothing else asks again while the journal is quiet: the summary retries by itself.
        QTimer::singleShot(this->timing.reconnectMs, this, &JournalController::refreshAlarms);
    });
    trendThread.setObjectName(QStringLiteral("journal trends"));
    trendWorker = new JournalViewWorker(location, JournalViewWorker::Role::Trend, timing);
    trendWorker->moveToThread(&trendThread);
    connect(&trendThread, &QThread::finished, trendWorker, &QObject::deleteLater);
    connect(trendWorker, &JournalViewWorker::seriesRead, this, &JournalController::seriesRead);
    connect(trendWorker, &JournalViewWorker::trendRead, this, &JournalController::trendRead);
    connect(trendWorker, &JournalViewWorker::trendFailed, this, &JournalController::trendFailed);
    // The list of measurements grows as the recorder meets new ones.
    connect(worker, &JournalViewWorker::opened, this, &JournalController::readSeries);

    connect(worker, &JournalViewWorker::pageRead, this, &JournalController::pageRead);
    connect(worker, &JournalViewWorker::pageFailed, this, &JournalController::pageFailed);
    connect(worker, &JournalViewWorker::acknowledged, this, &JournalController::acknowledged);
    connect(worker, &JournalViewWorker::exported, this, &JournalController::exported);
    connect(worker, &JournalViewWorker::allRead, this, &JournalController::allRead);
}

JournalController::~JournalController()
{
    thread.quit();
    summaryThread.quit();
    trendThread.quit();
    thread.wait();
    summaryThread.wait();
    trendThread.wait();
}

QString JournalController::loginName()
{
    if (const passwd *pw = ::getpwuid(::geteuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

void JournalController::start()
{
    if (started)
        return;
    started = true;
    thread.start();
    summaryThread.start();
    trendThread.start();
    QMetaObject::invokeMethod(worker, &JournalViewWorker::start, Qt::QueuedConnection);
}

void JournalController::refreshAlarms()
{
    // One read at a time; changes meanwhile make one more, not one each.
    if (alarmsReading) {
        alarmsAgain = true;
        return;
    }
    alarmsReading = true;
    QMetaObject::invokeMethod(summaryWorker, &JournalViewWorker::readAlarms, Qt::QueuedConnection);
}

void JournalController::fetchPage(quint64 generation, const EventFilter &filter, int limit)
{
    QMetaObject::invokeMethod(
        worker,
        [w = worker, generation, filter, limit] { w->fetchPage(generation, filter, limit); },
        Qt::QueuedConnection);
}

void JournalController::acknowledge(const QVector<qint64> &ids, const QString &comment)
{
    const QString user = loginName();
    QMetaObject::invokeMethod(
        worker, [w = worker, ids, user, comment] { w->acknowledge(ids, user, comment); },
        Qt::QueuedConnection);
}

void JournalController::exportCsv(const EventFilter &filter, const QString &path)
{
    QMetaObject::invokeMethod(
        worker, [w = worker, filter, path] { w->exportCsv(filter, path); }, Qt::QueuedConnection);
}

void JournalController::fetchAll(quint64 request, const EventFilter &filter, int limit)
{
    QMetaObject::invokeMethod(
        worker, [w = worker, request, filter, limit] { w->fetchAll(request, filter, limit); },
        Qt::QueuedConnection);
}

void JournalController::readSeries()
{
    QMetaObject::invokeMethod(trendWorker, &JournalViewWorker::readSeries, Qt::QueuedConnection);
}

void JournalController::readTrend(quint64 request, const QVector<TrendKey> &keys, qint64 fromMs,
                                  qint64 toMs, int points)
{
    QMetaObject::invokeMethod(
        trendWorker,
        [w = trendWorker, request, keys, fromMs, toMs, points] {
            w->readTrend(request, keys, fromMs, toMs, points);
        },
        Qt::QueuedConnection);
}

void JournalController::setLive(bool on, const QString &reason)
{
    const bool changed = on != live || reason != error;
    live = on;
    error = reason;
    if (changed)
        emit liveChanged(live, reason);
}
