#include "journalquery.h"

#include "journalformat.h"
#include "journalstore.h"
#include "trendblock.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace {

const char EventColumns[] =
    "e.id, e.time_ms, e.installation, e.node, e.channel, e.slot, e.relay, e.kind, e.from_state, "
    "e.to_state, e.value, e.unit, e.detail, a.to_state, a.time_ms, a.detail";

JournalEvent eventFrom(const QSqlQuery &q)
{
    JournalEvent e;
    e.id = q.value(0).toLongLong();
    e.timeMs = q.value(1).toLongLong();
    e.installation = q.value(2).toString();
    e.node = q.value(3).toInt();
    e.channel = q.value(4).toInt();
    e.slot = q.value(5).toInt();
    e.relay = q.value(6).toInt();
    Journal::kindFromName(q.value(7).toString(), &e.kind);
    e.from = q.value(8).toString();
    e.to = q.value(9).toString();
    e.hasValue = !q.value(10).isNull();
    e.value = float(q.value(10).toDouble());
    e.unit = q.value(11).toString();
    e.detail = q.value(12).toString();
    e.ackedBy = q.value(13).toString();
    e.ackedAtMs = q.value(14).isNull() ? 0 : q.value(14).toLongLong();
    e.ackComment = q.value(15).toString();
    return e;
}

// The WHERE clause of a filter and its bound values, in order.
QString whereClause(const EventFilter &f, QVariantList *values)
{
    QStringList terms;
    if (f.fromMs) {
        terms << QStringLiteral("e.time_ms >= ?");
        *values << f.fromMs;
    }
    if (f.toMs) {
        terms << QStringLiteral("e.time_ms < ?");
        *values << f.toMs;
    }
    if (!f.installation.isEmpty()) {
        terms << QStringLiteral("e.installation = ?");
        *values << f.installation;
    }
    if (f.node) {
        terms << QStringLiteral("e.node = ?");
        *values << f.node;
    }
    if (f.channel) {
        terms << QStringLiteral("e.channel = ?");
        *values << f.channel;
    }
    if (!f.kinds.isEmpty()) {
        QStringList marks;
        for (Journal::Kind kind : f.kinds) {
            marks << QStringLiteral("?");
            *values << Journal::kindName(kind);
        }
        terms << QStringLiteral("e.kind IN (%1)").arg(marks.join(QLatin1Char(',')));
    }
    if (f.alarmsOnly || f.unackedOnly)
        terms << QStringLiteral("e.alarm = 1");
    if (f.unackedOnly)
        terms << QStringLiteral("a.id IS NULL");
    if (f.afterId) {
        terms << QStringLiteral("e.id > ?");
        *values << f.afterId;
    }
    if (f.beforeId) {
        terms << QStringLiteral("(e.time_ms < ? OR (e.time_ms = ? AND e.id < ?))");
        *values << f.beforeTimeMs << f.beforeTimeMs << f.beforeId;
    }
    if (!f.text.isEmpty()) {
        // The text is matched literally: % and _ typed by a user stand for themselves.
        QString pattern = f.text.toLower();
        pattern.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        pattern.replace(QLatin1Char('%'), QLatin1String("\\%"));
        pattern.replace(QLatin1Char('_'), QLatin1String("\\_"));
        pattern = QLatin1Char('%') + pattern + QLatin1Char('%');
        QStringList any;
        for (const char *column : {"e.installation", "e.kind", "e.from_state", "e.to_state",
                                   "e.unit", "e.detail", "a.to_state", "a.detail"}) {
            any << QStringLiteral("LOWER(%1) LIKE ? ESCAPE '\\'").arg(QLatin1String(column));
            *values << pattern;
        }
        terms << QLatin1Char('(') + any.join(QStringLiteral(" OR ")) + QLatin1Char(')');
    }
    return terms.isEmpty() ? QString()
                           : QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND "));
}

bool run(QSqlQuery &q, const QString &sql, const QVariantList &values, QString *error)
{
    if (!q.prepare(sql)) {
        *error = q.lastError().text();
        return false;
    }
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    return true;
}

bool isAlarmStart(const JournalEvent &e)
{
    using Journal::Kind;
    switch (e.kind) {
    case Kind::Failure:
    case Kind::Alert:
    case Kind::Danger:
        return e.to == QLatin1String("true");
    case Kind::ChannelStatus:
        return e.to != QLatin1String("Valid data");
    case Kind::RelayFault:
        return e.to == QLatin1String("1");
    default:
        return false;
    }
}

} // namespace

JournalQuery::JournalQuery(JournalStore *store)
    : store(store)
{}

bool JournalQuery::events(const EventFilter &filter, QVector<JournalEvent> *out, QString *error)
{
    out->clear();
    QVariantList values;
    QString sql =
        QStringLiteral(
            "SELECT %1 FROM journal_events e LEFT JOIN journal_events a ON a.ref_id = e.id")
            .arg(QLatin1String(EventColumns)) +
        whereClause(filter, &values);
    const bool latest = filter.limit > 0;
    sql += latest ? QStringLiteral(" ORDER BY e.time_ms DESC, e.id DESC LIMIT ?")
                  : QStringLiteral(" ORDER BY e.id");
    if (latest)
        values << filter.limit;
    QSqlQuery q(store->database());
    q.setForwardOnly(true);
    if (!run(q, sql, values, error))
        return false;
    while (q.next())
        out->append(eventFrom(q));
    if (latest)
        std::reverse(out->begin(), out->end());
    return true;
}

bool JournalQuery::alarms(const EventFilter &filter, bool activeOnly, QVector<AlarmEntry> *out,
                          QString *error)
{
    out->clear();
    EventFilter f = filter;
    f.alarmsOnly = true;
    // An alarm ends when its item returns to quiet, or when the node or the recording starts
    // afresh: both report every state that is not quiet again, so an alarm that still holds
    // is raised anew. All three are found by the database in the one statement, each by a seek
    // in its index: a query per alarm made a summary of a large journal take minutes. The kinds
    // and the quiet state are written out, not bound: only then can SQLite use the partial
    // indexes.
    QVariantList values;
    QString inner =
        QStringLiteral(
            "SELECT e.id AS id, e.time_ms AS time_ms, e.installation, e.node, e.channel, e.slot, "
            "e.relay, e.kind, e.from_state, e.to_state, e.value, e.unit, e.detail, "
            "a.to_state AS acked_by, a.time_ms AS acked_ms, a.detail AS ack_comment, "
            "(SELECT MIN(q.id) FROM journal_events q WHERE q.node = e.node AND q.kind = e.kind "
            "AND q.channel = e.channel AND q.slot = e.slot AND q.relay = e.relay "
            "AND q.installation = e.installation AND q.alarm = 0 AND q.id > e.id) AS quiet, "
            "(SELECT MIN(h.id) FROM journal_events h WHERE h.kind = 'node-heard' "
            "AND h.node = e.node AND h.id > e.id AND h.installation = e.installation) AS heard, "
            "(SELECT MIN(r.id) FROM journal_events r WHERE r.kind = 'recording-started' "
            "AND r.node = 0 AND r.id > e.id AND r.installation = e.installation) AS restart "
            "FROM journal_events e LEFT JOIN journal_events a ON a.ref_id = e.id") +
        whereClause(f, &values);
    const bool latest = f.limit > 0;
    inner += latest ? QStringLiteral(" ORDER BY e.time_ms DESC, e.id DESC LIMIT ?")
                    : QStringLiteral(" ORDER BY e.id");
    if (latest)
        values << f.limit;
    // The first of the three ends, by id; its time is when the alarm was cleared.
    const QString sql =
        QStringLiteral("SELECT s.*, c.time_ms FROM (%1) s LEFT JOIN journal_events c ON c.id = "
                       "CASE WHEN s.quiet IS NOT NULL AND (s.heard IS NULL OR s.quiet <= s.heard) "
                       "AND (s.restart IS NULL OR s.quiet <= s.restart) THEN s.quiet "
                       "WHEN s.heard IS NOT NULL AND (s.restart IS NULL OR s.heard <= s.restart) "
                       "THEN s.heard ELSE s.restart END")
            .arg(inner) +
        (latest ? QStringLiteral(" ORDER BY s.time_ms DESC, s.id DESC")
                : QStringLiteral(" ORDER BY s.id"));
    QSqlQuery q(store->database());
    q.setForwardOnly(true);
    if (!run(q, sql, values, error))
        return false;
    // After the event's columns, as eventFrom reads them, and the three ends.
    const int clearedColumn = 16 + 3;
    QHash<QString, int> raised;
    while (q.next()) {
        AlarmEntry entry;
        entry.event = eventFrom(q);
        if (!isAlarmStart(entry.event))
            continue;
        ++raised[Journal::itemKey(entry.event)];
        if (!q.value(clearedColumn).isNull()) {
            entry.active = false;
            entry.clearedMs = q.value(clearedColumn).toLongLong();
        }
        out->append(entry);
    }
    if (latest)
        std::reverse(out->begin(), out->end());
    for (AlarmEntry &entry : *out)
        entry.raisedCount = raised.value(Journal::itemKey(entry.event));
    if (activeOnly) {
        out->erase(
            std::remove_if(out->begin(), out->end(), [](const AlarmEntry &a) { return !a.active; }),
            out->end());
    }
    return true;
}

bool JournalQuery::acknowledge(const QVector<qint64> &ids, const QString &user,
                               const QString &comment, qint64 nowMs, QString *error)
{
    QVector<JournalEvent> acks;
    QSqlQuery q(store->database());
    q.prepare(QStringLiteral(
                  "SELECT %1 FROM journal_events e LEFT JOIN journal_events a ON a.ref_id = e.id "
                  "WHERE e.id = ?")
                  .arg(QLatin1String(EventColumns)));
    for (qint64 id : ids) {
        q.addBindValue(id);
        if (!q.exec()) {
            *error = q.lastError().text();
            return false;
        }
        if (!q.next()) {
            *error = JournalQuery::tr("there is no event %1").arg(id);
            return false;
        }
        const JournalEvent e = eventFrom(q);
        q.finish();
        if (!isAlarmStart(e)) {
            *error = JournalQuery::tr("event %1 is no alarm").arg(id);
            return false;
        }
        if (!e.ackedBy.isEmpty()) {
            *error = JournalQuery::tr("event %1 was acknowledged by %2 at %3")
                         .arg(id)
                         .arg(e.ackedBy, JournalFormat::time(e.ackedAtMs));
            return false;
        }
        JournalEvent ack;
        ack.kind = Journal::Kind::Acknowledged;
        ack.id = id; // the acknowledged event
        ack.timeMs = nowMs;
        ack.installation = e.installation;
        ack.node = e.node;
        ack.channel = e.channel;
        ack.slot = e.slot;
        ack.relay = e.relay;
        ack.to = user;
        ack.detail = comment;
        acks.append(ack);
    }
    if (!store->write(acks, {}, nowMs)) {
        // The unique index turns a race with another acknowledgement into this.
        *error = JournalQuery::tr("cannot acknowledge: %1").arg(store->lastError());
        return false;
    }
    return true;
}

bool JournalQuery::trend(const QString &installation, int node, int channel, int slot,
                         qint64 fromMs, qint64 toMs, int points, qint64 nowMs,
                         QVector<TrendPoint> *out, QString *error)
{
    Q_UNUSED(nowMs)
    out->clear();
    if (toMs <= fromMs)
        return true;
    points = qMax(1, points);
    QSqlQuery q(store->database());
    q.setForwardOnly(true);
    QVariantList values{node, channel, slot};
    QString sql =
        QStringLiteral("SELECT id FROM journal_series WHERE node = ? AND channel = ? AND slot = ?");
    if (!installation.isEmpty()) {
        sql += QStringLiteral(" AND installation = ?");
        values << installation;
    }
    if (!run(q, sql, values, error))
        return false;
    QVector<qint64> series;
    while (q.next())
        series << q.value(0).toLongLong();
    const QVector<TrendTier> tiers = JournalStore::tiers().mid(0, store->tierCount());
    const qint64 rangeS = (toMs - fromMs + 999) / 1000;
    const qint64 wantS = points > 1 ? (rangeS + points - 2) / (points - 1) : rangeS;

    for (qint64 id : qAsConst(series)) {
        // The finest tier that can be read for the range in a few times the points asked for,
        // merged into wider intervals where it still gives too many; a coarser one where the
        // finer has already been thinned out by the retention.
        int tier = 0;
        while (tier + 1 < tiers.size() &&
               rangeS / tiers[tier].intervalS > qint64(ReadFactor) * points)
            ++tier;
        // The first interval that holds data, not the start of its block: a coarser block
        // starts earlier than the finer one beside it even when it holds nothing before it, and
        // a range that begins before the recording did would then be read far too coarsely.
        auto earliest = [&](int t) {
            QSqlQuery e(store->database());
            e.prepare(QStringLiteral("SELECT start_ms, data FROM journal_trend WHERE tier = ? AND "
                                     "series = ? ORDER BY start_ms LIMIT 1"));
            e.addBindValue(t);
            e.addBindValue(id);
            TrendBlock block(tiers[t].intervalS, tiers[t].slotCount);
            if (!e.exec() || !e.next() || !block.decode(e.value(1).toByteArray()))
                return std::numeric_limits<qint64>::max();
            const qint64 start = e.value(0).toLongLong();
            for (int i = 0; i < block.slotCount(); ++i)
                if (block.at(i).count)
                    return start + qint64(i) * tiers[t].intervalS * 1000;
            return start;
        };
        qint64 first = earliest(tier);
        while (first > fromMs && tier + 1 < tiers.size()) {
            const qint64 coarser = earliest(tier + 1);
            // Only a whole coarser interval before the finer data means the finer was thinned
            // out; the one that holds the first finer data is merely aligned earlier.
            if (coarser + tiers[tier + 1].intervalS * 1000LL > first)
                break;
            ++tier;
            first = coarser;
        }
        const int intervalS = tiers[tier].intervalS;
        const qint64 bucketS = qMax<qint64>(1, (wantS + intervalS - 1) / intervalS) * intervalS;
        const qint64 bucketMs = bucketS * 1000;
        TrendBlock shape(intervalS, tiers[tier].slotCount);
        q.prepare(
            QStringLiteral("SELECT start_ms, data FROM journal_trend WHERE tier = ? AND series = ? "
                           "AND start_ms > ? AND start_ms < ? ORDER BY start_ms"));
        q.addBindValue(tier);
        q.addBindValue(id);
        q.addBindValue(fromMs - shape.spanMs());
        q.addBindValue(toMs);
        if (!q.exec()) {
            *error = q.lastError().text();
            return false;
        }
        TrendPoint current;
        current.startMs = std::numeric_limits<qint64>::min();
        TrendRecord merged;
        auto emitCurrent = [&] {
            if (merged.count == 0)
                return;
            current.intervalS = int(bucketS);
            current.count = merged.count;
            current.min = merged.min;
            current.max = merged.max;
            current.sum = merged.sum;
            current.last = merged.last;
            current.valid = merged.valid;
            out->append(current);
            merged = TrendRecord();
        };
        while (q.next()) {
            const qint64 blockStart = q.value(0).toLongLong();
            if (!shape.decode(q.value(1).toByteArray()))
                continue;
            for (int i = 0; i < shape.slotCount(); ++i) {
                const qint64 t = blockStart + qint64(i) * intervalS * 1000;
                // Coarse intervals count where they overlap the range.
                if (t + intervalS * 1000LL <= fromMs || t >= toMs || shape.at(i).count == 0)
                    continue;
                const qint64 bucket = t - ((t % bucketMs) + bucketMs) % bucketMs;
                if (bucket != current.startMs) {
                    emitCurrent();
                    current.startMs = bucket;
                }
                merged.merge(shape.at(i));
            }
        }
        emitCurrent();
    }
    std::sort(out->begin(), out->end(),
              [](const TrendPoint &a, const TrendPoint &b) { return a.startMs < b.startMs; });
    return true;
}

bool JournalQuery::stats(JournalStats *out, QString *error)
{
    *out = JournalStats();
    QSqlQuery q(store->database());
    q.setForwardOnly(true);
    if (!run(q, QStringLiteral("SELECT MIN(time_ms), MAX(time_ms) FROM journal_events"), {}, error))
        return false;
    if (q.next()) {
        out->firstMs = q.value(0).toLongLong();
        out->lastMs = q.value(1).toLongLong();
    }
    if (!run(
            q,
            QStringLiteral("SELECT kind, COUNT(*) FROM journal_events GROUP BY kind ORDER BY kind"),
            {}, error))
        return false;
    while (q.next())
        out->rowsPerKind.insert(q.value(0).toString(), q.value(1).toLongLong());
    out->tierBlocks.fill(0, store->tierCount());
    out->tierBytes.fill(0, store->tierCount());
    if (!run(q,
             QStringLiteral(
                 "SELECT tier, COUNT(*), SUM(LENGTH(data)) FROM journal_trend GROUP BY tier"),
             {}, error))
        return false;
    while (q.next()) {
        const int tier = q.value(0).toInt();
        if (tier >= 0 && tier < out->tierBlocks.size()) {
            out->tierBlocks[tier] = q.value(1).toLongLong();
            out->tierBytes[tier] = q.value(2).toLongLong();
        }
    }
    if (store->isPostgres()) {
        if (!run(q, QStringLiteral("SELECT pg_database_size(current_database())"), {}, error))
            return false;
        if (q.next())
            out->totalBytes = q.value(0).toLongLong();
    } else {
        const QString path = store->location().path;
        out->totalBytes = QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
    }
    return true;
}
