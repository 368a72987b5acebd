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

QString itemKey(const JournalEvent &e)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6")
        .arg(e.installation)
        .arg(e.node)
        .arg(e.channel)
        .arg(e.slot)
        .arg(e.relay)
        .arg(int(e.kind));
}

} // namespace

JournalViewWorker::JournalViewWorker(const JournalLocation &location, Role role, QObject *parent)
    : QObject(parent)
    , location(location)
    , role(role)
{}

// The store closes here, on the worker's thread, where its connection was made.
JournalViewWorker::~JournalViewWorker() = default;

void JournalViewWorker::start()
{
    if (role == Role::Summary)
        return; // it reads when asked
    pollTimer = new QTimer(this);
    pollTimer->setInterval(PollMs);
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
    nextAttemptMs = now() + ReconnectMs;
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
        lose(location.display() + QStringLiteral(": ") + error);
        return;
    }
    // The summary counts the raises of the last 24 hours, whatever the age of the alarm shown.
    const qint64 dayAgo = now() - 24 * 3600 * 1000LL;
    QHash<QString, int> recent;
    for (const AlarmEntry &a : qAsConst(all))
        if (a.event.timeMs >= dayAgo)
            ++recent[itemKey(a.event)];
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
        s.alarm.raisedCount = recent.value(itemKey(e));
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
