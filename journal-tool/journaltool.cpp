#include "journaltool.h"

#include "journalformat.h"
#include "journalstore.h"

#include <QDateTime>
#include <QTextStream>
#include <QThread>

#include <iterator>

namespace {

const char *const TierNames[] = {"1 s", "1 min", "10 min", "1 h"};

QString number(int n)
{
    return n ? QString::number(n) : QString();
}

} // namespace

JournalTool::JournalTool(const JournalLocation &location, QTextStream &out, QTextStream &err)
    : location(location)
    , out(out)
    , err(err)
{}

bool JournalTool::open(JournalStore &store, bool writable)
{
    QString error;
    if (store.open(location,
                   writable ? JournalStore::Access::ReadWrite : JournalStore::Access::ReadOnly,
                   &error))
        return true;
    err << "orvo-journal-tool: " << error << '\n';
    err.flush();
    return false;
}

QString JournalTool::csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString JournalTool::csvHeader()
{
    return QStringLiteral(
        "id,time,installation,node,channel,slot,relay,kind,from,to,value,unit,detail,acked_by,"
        "acked_at,ack_comment");
}

QString JournalTool::csvLine(const JournalEvent &e)
{
    const QStringList fields{QString::number(e.id),
                             JournalFormat::time(e.timeMs),
                             csvField(e.installation),
                             number(e.node),
                             number(e.channel),
                             number(e.slot),
                             number(e.relay),
                             Journal::kindName(e.kind),
                             csvField(e.from),
                             csvField(e.to),
                             e.hasValue ? JournalFormat::value(e.value) : QString(),
                             csvField(e.unit),
                             csvField(e.detail),
                             csvField(e.ackedBy),
                             e.ackedAtMs ? JournalFormat::time(e.ackedAtMs) : QString(),
                             csvField(e.ackComment)};
    return fields.join(QLatin1Char(','));
}

void JournalTool::printEvent(const JournalEvent &e, Format format)
{
    if (format == Format::Csv) {
        out << csvLine(e) << '\n';
        return;
    }
    QString where = e.installation;
    if (e.node)
        where += QStringLiteral(" node %1").arg(e.node);
    if (e.channel)
        where += QStringLiteral(" channel %1").arg(e.channel);
    if (e.slot)
        where += QStringLiteral(" slot %1").arg(e.slot);
    if (e.relay)
        where += QStringLiteral(" relay %1").arg(e.relay);
    out << e.id << "  " << JournalFormat::time(e.timeMs) << "  " << where << "  "
        << Journal::kindName(e.kind);
    if (!e.from.isEmpty() || !e.to.isEmpty())
        out << "  " << (e.from.isEmpty() ? QStringLiteral("-") : e.from) << " -> " << e.to;
    if (e.hasValue)
        out << "  " << JournalFormat::value(e.value)
            << (e.unit.isEmpty() ? QString() : QLatin1Char(' ') + e.unit);
    if (!e.detail.isEmpty())
        out << "  (" << e.detail << ')';
    if (!e.ackedBy.isEmpty())
        out << "  acknowledged by " << e.ackedBy << " at " << JournalFormat::time(e.ackedAtMs)
            << (e.ackComment.isEmpty() ? QString() : QStringLiteral(": ") + e.ackComment);
    out << '\n';
}

int JournalTool::events(const EventFilter &filter, Format format, bool follow, int followRounds)
{
    JournalStore store;
    if (!open(store, false))
        return Failure;
    JournalQuery query(&store);
    if (format == Format::Csv)
        out << csvHeader() << '\n';
    EventFilter f = filter;
    for (int round = 0;; ++round) {
        QVector<JournalEvent> list;
        QString error;
        if (!query.events(f, &list, &error)) {
            err << "orvo-journal-tool: " << location.display() << ": " << error << '\n';
            err.flush();
            return Failure;
        }
        for (const JournalEvent &e : qAsConst(list)) {
            printEvent(e, format);
            f.afterId = qMax(f.afterId, e.id);
        }
        out.flush();
        if (!follow || (followRounds >= 0 && round >= followRounds))
            return 0;
        // Rows written from now on, whatever the limit asked for at first.
        f.limit = 0;
        QThread::msleep(500);
    }
}

int JournalTool::alarms(const EventFilter &filter, bool activeOnly, bool unackedOnly, Format format)
{
    JournalStore store;
    if (!open(store, false))
        return Failure;
    QVector<AlarmEntry> list;
    QString error;
    if (!JournalQuery(&store).alarms(filter, activeOnly, &list, &error)) {
        err << "orvo-journal-tool: " << location.display() << ": " << error << '\n';
        return Failure;
    }
    if (format == Format::Csv)
        out << "id,since,installation,node,channel,slot,relay,kind,to,value,unit,state,cleared_at,"
               "acked_by,"
               "acked_at,ack_comment,count\n";
    for (const AlarmEntry &a : qAsConst(list)) {
        const JournalEvent &e = a.event;
        if (unackedOnly && !e.ackedBy.isEmpty())
            continue;
        const QString state =
            QStringLiteral("%1 %2").arg(a.active ? "active" : "cleared",
                                        e.ackedBy.isEmpty() ? "unacknowledged" : "acknowledged");
        if (format == Format::Csv) {
            const QStringList fields{QString::number(e.id),
                                     JournalFormat::time(e.timeMs),
                                     csvField(e.installation),
                                     number(e.node),
                                     number(e.channel),
                                     number(e.slot),
                                     number(e.relay),
                                     Journal::kindName(e.kind),
                                     csvField(e.to),
                                     e.hasValue ? JournalFormat::value(e.value) : QString(),
                                     csvField(e.unit),
                                     state,
                                     a.clearedMs ? JournalFormat::time(a.clearedMs) : QString(),
                                     csvField(e.ackedBy),
                                     e.ackedAtMs ? JournalFormat::time(e.ackedAtMs) : QString(),
                                     csvField(e.ackComment),
                                     QString::number(a.raisedCount)};
            out << fields.join(QLatin1Char(',')) << '\n';
            continue;
        }
        out << state << " since " << JournalFormat::time(e.timeMs);
        if (a.clearedMs)
            out << " until " << JournalFormat::time(a.clearedMs);
        out << ", raised " << a.raisedCount << (a.raisedCount == 1 ? " time: " : " times: ");
        printEvent(e, Format::Text);
    }
    out.flush();
    return 0;
}

int JournalTool::ack(const QVector<qint64> &ids, const QString &user, const QString &comment)
{
    JournalStore store;
    if (!open(store, true))
        return Failure;
    QString error;
    if (!JournalQuery(&store).acknowledge(ids, user, comment, QDateTime::currentMSecsSinceEpoch(),
                                          &error)) {
        err << "orvo-journal-tool: " << location.display() << ": " << error << '\n';
        return Failure;
    }
    return 0;
}

int JournalTool::trend(const QString &installation, int node, int channel, int slot, qint64 fromMs,
                       qint64 toMs, int points)
{
    JournalStore store;
    if (!open(store, false))
        return Failure;
    QVector<TrendPoint> list;
    QString error;
    if (!JournalQuery(&store).trend(installation, node, channel, slot, fromMs, toMs, points,
                                    QDateTime::currentMSecsSinceEpoch(), &list, &error)) {
        err << "orvo-journal-tool: " << location.display() << ": " << error << '\n';
        return Failure;
    }
    out << trendCsvHeader() << '\n';
    for (const TrendPoint &p : qAsConst(list))
        out << trendCsvLine(p) << '\n';
    out.flush();
    return 0;
}

QString JournalTool::trendCsvHeader()
{
    return QStringLiteral("time,interval_s,count,min,max,mean,last,valid");
}

QString JournalTool::trendCsvLine(const TrendPoint &p)
{
    // A point is only made of intervals that hold samples, so count is never 0.
    return QStringList{JournalFormat::time(p.startMs),
                       QString::number(p.intervalS),
                       QString::number(p.count),
                       JournalFormat::value(p.min),
                       JournalFormat::value(p.max),
                       JournalFormat::value(float(p.sum / qMax<quint32>(1, p.count))),
                       JournalFormat::value(p.last),
                       p.valid ? QStringLiteral("true") : QStringLiteral("false")}
        .join(QLatin1Char(','));
}

int JournalTool::stats()
{
    JournalStore store;
    if (!open(store, false))
        return Failure;
    JournalStats s;
    QString error;
    if (!JournalQuery(&store).stats(&s, &error)) {
        err << "orvo-journal-tool: " << location.display() << ": " << error << '\n';
        return Failure;
    }
    out << "journal: " << location.display() << '\n';
    if (s.rowsPerKind.isEmpty())
        out << "span: no events\n";
    else
        out << "span: " << JournalFormat::time(s.firstMs) << " to " << JournalFormat::time(s.lastMs)
            << '\n';
    for (auto it = s.rowsPerKind.constBegin(); it != s.rowsPerKind.constEnd(); ++it)
        out << "events " << it.key() << ": " << it.value() << '\n';
    for (int tier = 0; tier < s.tierBlocks.size() && tier < int(std::size(TierNames)); ++tier)
        out << "trend " << TierNames[tier] << ": " << s.tierBlocks[tier] << " blocks, "
            << s.tierBytes[tier] << " bytes\n";
    out << "size: " << s.totalBytes << " bytes\n";
    out.flush();
    return 0;
}

int JournalTool::check()
{
    JournalStore store;
    if (!open(store, false))
        return Failure;
    QString report;
    const bool ok = store.check(&report);
    out << location.display() << ": schema " << store.schemaVersion() << ", "
        << (ok ? "ok" : "damaged") << '\n';
    if (!ok)
        out << report << '\n';
    out.flush();
    return ok ? 0 : Failure;
}

int JournalTool::prune(const JournalRetention &retention)
{
    JournalStore store;
    if (!open(store, true))
        return Failure;
    if (!store.prune(retention, QDateTime::currentMSecsSinceEpoch())) {
        err << "orvo-journal-tool: " << store.lastError() << '\n';
        return Failure;
    }
    out << location.display() << ": pruned\n";
    out.flush();
    return 0;
}
