#include "journalviewworker.h"

#include "journalstore.h"
#include "journaltool.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QSqlQuery>
#include <QTextStream>
#include <QTimer>
#include <QVariant>

namespace {

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

JournalViewWorker::JournalViewWorker(const JournalLocation &location, Role role,
                                     const JournalTiming &timing, QObject *parent)
    : QObject(parent)
    , location(location)
    , role(role)
    , timing(timing)
{}

// The store closes here, on the worker's thread, where its connection was made.
JournalViewWorker::~JournalViewWorker() = default;

void JournalViewWorker::start()
{
    if (role != Role::History)
        return; // it reads when asked
    pollTimer = new QTimer(this);
    pollTimer->setInterval(timing.pollMs);
    connect(pollTimer, &QTimer::timeout, this, &JournalViewWorker::poll);
    pollTimer->start();
    poll();
}

bool JournalViewWorker::ensureOpen()
{
    if (store && store->isOpen())
        return true;
    if (now() < nextAttemptMs)
        return false;
    store = std::make_unique<JournalStore>();
    QString error;
    if (!store->open(location, JournalStore::Access::ReadOnly, &error)) {
        store.reset();
        lose(error);
        return false;
    }
    QSqlQuery q(store->database());
    lastId = q.exec(QStringLiteral("SELECT MAX(id) FROM journal_events")) && q.next()
                 ? q.value(0).toLongLong()
                 : 0;
    failing = false;
    emit opened();
    return true;
}

void JournalViewWorker::lose(const QString &reason)
{
    store.reset();
    nextAttemptMs = now() + timing.reconnectMs;
    failing = true;
    lastReason = reason;
    emit failed(reason);
}

void JournalViewWorker::poll()
{
    const bool wasOpen = store && store->isOpen();
    if (!ensureOpen() || !wasOpen)
        return;
    EventFilter f;
    f.afterId = lastId;
    QVector<JournalEvent> list;
    QString error;
    if (!JournalQuery(store.get()).events(f, &list, &error)) {
        lose(location.display() + QStringLiteral(": ") + error);
        return;
    }
    if (list.isEmpty())
        return;
    for (const JournalEvent &e : qAsConst(list))
        lastId = qMax(lastId, e.id);
    emit newEvents(list);
}

void JournalViewWorker::readAlarms()
{
    if (!ensureOpen()) {
        // Still waiting to reconnect: the asker hears the reason again, the summary stays.
        if (!store)
            emit failed(lastReason);
        return;
    }
    QVector<AlarmEntry> all;
    QString error;
    EventFilter newest;
    newest.limit = SummaryAlarmEvents;
    if (!JournalQuery(store.get()).alarms(newest, false, &all, &error)) {
        // The summary is asked only when the history is open, so a server that went away
        // meanwhile is most likely back: a connection of that outage fails once, a fresh one
        // reads at once instead of declaring the journal lost for another round.
        store.reset();
        nextAttemptMs = 0;
        if (!ensureOpen())
            return;
        if (!JournalQuery(store.get()).alarms(newest, false, &all, &error)) {
            lose(location.display() + QStringLiteral(": ") + error);
            return;
        }
    }
    // The summary counts the raises of the last 24 hours, whatever the age of the alarm shown.
    const qint64 dayAgo = now() - 24 * 3600 * 1000LL;
    QHash<QString, int> recent;
    for (const AlarmEntry &a : qAsConst(all))
        if (a.event.timeMs >= dayAgo)
            ++recent[Journal::itemKey(a.event)];
    QHash<QString, quint32> types;
    QSqlQuery q(store->database());
    q.setForwardOnly(true);
    if (q.exec(QStringLiteral(
            "SELECT installation, node, channel, slot, meas_type FROM journal_series"))) {
        while (q.next())
            types.insert(QStringLiteral("%1|%2|%3|%4")
                             .arg(q.value(0).toString())
                             .arg(q.value(1).toInt())
                             .arg(q.value(2).toInt())
                             .arg(q.value(3).toInt()),
                         q.value(4).toUInt());
    }
    QVector<SummaryAlarm> shown;
    for (int i = all.size() - 1; i >= 0; --i) {
        SummaryAlarm s;
        s.alarm = all[i];
        const JournalEvent &e = s.alarm.event;
        if (!s.alarm.active && !e.ackedBy.isEmpty())
            continue;
        s.alarm.raisedCount = recent.value(Journal::itemKey(e));
        if (e.slot)
            s.measType = types.value(QStringLiteral("%1|%2|%3|%4")
                                         .arg(e.installation)
                                         .arg(e.node)
                                         .arg(e.channel)
                                         .arg(e.slot));
        shown << s;
    }
    emit alarmsRead(shown);
}

void JournalViewWorker::fetchPage(quint64 generation, const EventFilter &filter, int limit)
{
    if (!ensureOpen()) {
        emit pageFailed(generation, tr("the journal is not open"));
        return;
    }
    EventFilter f = filter;
    f.limit = limit;
    QVector<JournalEvent> list;
    QString error;
    if (!JournalQuery(store.get()).events(f, &list, &error)) {
        emit pageFailed(generation, error);
        lose(location.display() + QStringLiteral(": ") + error);
        return;
    }
    // Oldest first from the query; the history shows the newest first.
    std::reverse(list.begin(), list.end());
    emit pageRead(generation, list, list.size() < limit);
}

void JournalViewWorker::fetchAll(quint64 request, const EventFilter &filter, int limit)
{
    EventFilter f = filter;
    f.limit = limit + 1;
    QVector<JournalEvent> list;
    QString error;
    if (!ensureOpen() || !JournalQuery(store.get()).events(f, &list, &error)) {
        emit allRead(request, {}, false);
        return;
    }
    const bool complete = list.size() <= limit;
    if (!complete)
        list.remove(0);
    emit allRead(request, list, complete);
}

void JournalViewWorker::acknowledge(const QVector<qint64> &ids, const QString &user,
                                    const QString &comment)
{
    // Only an acknowledgement writes, through a store of its own that lives for this one write.
    JournalStore writer;
    QString error;
    if (!writer.open(location, JournalStore::Access::ReadWrite, &error)) {
        emit acknowledged(false, error);
        return;
    }
    if (!JournalQuery(&writer).acknowledge(ids, user, comment, now(), &error)) {
        emit acknowledged(false, error);
        return;
    }
    writer.close();
    emit acknowledged(true, QString());
    poll();
}

void JournalViewWorker::exportCsv(const EventFilter &filter, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        emit exported(false, path, file.errorString());
        return;
    }
    QVector<JournalEvent> list;
    QString error;
    if (!ensureOpen() || !JournalQuery(store.get()).events(filter, &list, &error)) {
        file.cancelWriting();
        emit exported(false, path, error.isEmpty() ? tr("the journal is not open") : error);
        return;
    }
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << JournalTool::csvHeader() << '\n';
    for (const JournalEvent &e : qAsConst(list))
        out << JournalTool::csvLine(e) << '\n';
    out.flush();
    if (!file.commit()) {
        emit exported(false, path, file.errorString());
        return;
    }
    emit exported(true, path, QString());
}

void JournalViewWorker::readSeries()
{
    if (!ensureOpen())
        return;
    QSqlQuery q(store->database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT installation, node, channel, slot, meas_type, id FROM "
                               "journal_series ORDER BY installation, node, channel, slot, id"))) {
        lose(store->lastError());
        return;
    }
    QVector<TrendSeries> list;
    while (q.next()) {
        TrendSeries s;
        s.key.installation = q.value(0).toString();
        s.key.node = q.value(1).toInt();
        s.key.channel = q.value(2).toInt();
        s.key.slot = q.value(3).toInt();
        s.measType = q.value(4).toUInt();
        if (!s.key.isValid())
            continue;
        // A slot configured anew keeps one trend; the newest type names it.
        if (!list.isEmpty() && list.last().key == s.key)
            list.last().measType = s.measType;
        else
            list << s;
    }
    emit seriesRead(list);
}

void JournalViewWorker::readTrend(quint64 request, const QVector<TrendKey> &keys, qint64 fromMs,
                                  qint64 toMs, int points)
{
    if (!ensureOpen()) {
        emit trendFailed(request, lastReason);
        return;
    }
    QHash<QString, quint32> types;
    {
        QSqlQuery q(store->database());
        q.setForwardOnly(true);
        if (q.exec(QStringLiteral(
                "SELECT installation, node, channel, slot, meas_type FROM journal_series "
                "ORDER BY id"))) {
            while (q.next()) {
                TrendKey k{q.value(0).toString(), q.value(1).toInt(), q.value(2).toInt(),
                           q.value(3).toInt()};
                types.insert(k.toString(), q.value(4).toUInt());
            }
        }
    }
    JournalQuery query(store.get());
    QVector<TrendData> out;
    auto fail = [&](const QString &error) {
        emit trendFailed(request, error);
        lose(location.display() + QStringLiteral(": ") + error);
    };
    for (const TrendKey &key : keys) {
        TrendData d;
        d.key = key;
        d.measType = types.value(key.toString());
        QString error;
        if (!query.trend(key.installation, key.node, key.channel, key.slot, fromMs, toMs, points,
                         now(), &d.points, &error)) {
            fail(error);
            return;
        }
        out << d;
    }
    // The transitions of a channel's measurements in one query: the measurements chosen
    // together are mostly those of one channel, and each query walks the node's events.
    QVector<bool> done(out.size(), false);
    for (int i = 0; i < out.size(); ++i) {
        if (done[i])
            continue;
        const TrendKey &key = out[i].key;
        EventFilter f;
        f.installation = key.installation;
        f.node = key.node;
        f.channel = key.channel;
        f.kinds = {Journal::Kind::Failure, Journal::Kind::Alert, Journal::Kind::Danger};
        f.fromMs = fromMs;
        f.toMs = toMs;
        f.limit = TrendTransitions;
        QVector<JournalEvent> events;
        QString error;
        if (!query.events(f, &events, &error)) {
            fail(error);
            return;
        }
        for (int j = i; j < out.size(); ++j) {
            TrendData &d = out[j];
            if (d.key.installation != key.installation || d.key.node != key.node ||
                d.key.channel != key.channel)
                continue;
            done[j] = true;
            for (const JournalEvent &e : qAsConst(events))
                if (e.slot == d.key.slot && e.installation == d.key.installation)
                    d.transitions << e;
        }
    }
    emit trendRead(request, out);
}
