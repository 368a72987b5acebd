#include "historyfilter.h"

#include "journalformat.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("HistoryFilter", text);
}

constexpr qint64 HourMs = 3600 * 1000LL;

const struct
{
    HistoryFilter::Range range;
    const char *key;
    qint64 spanMs;
} Ranges[] = {
    {HistoryFilter::Range::All, "all", 0},
    {HistoryFilter::Range::LastHour, "hour", HourMs},
    {HistoryFilter::Range::LastDay, "day", 24 * HourMs},
    {HistoryFilter::Range::LastWeek, "week", 7 * 24 * HourMs},
    {HistoryFilter::Range::LastMonth, "month", 30 * 24 * HourMs},
    {HistoryFilter::Range::Custom, "custom", 0},
};

} // namespace

EventFilter HistoryFilter::toEventFilter(qint64 nowMs) const
{
    EventFilter f;
    for (const auto &r : Ranges)
        if (r.range == range && r.spanMs)
            f.fromMs = nowMs - r.spanMs;
    if (range == Range::Custom) {
        f.fromMs = fromMs;
        f.toMs = toMs;
    }
    f.installation = installation.trimmed();
    f.node = node;
    f.channel = channel;
    f.kinds = kinds;
    f.alarmsOnly = alarmsOnly;
    f.unackedOnly = unackedOnly;
    f.text = text.trimmed();
    return f;
}

QString HistoryFilter::describe(qint64 nowMs) const
{
    const EventFilter f = toEventFilter(nowMs);
    QStringList parts;
    if (f.fromMs || f.toMs)
        parts << tr("from %1 to %2")
                     .arg(f.fromMs ? JournalFormat::time(f.fromMs) : tr("the start"),
                          JournalFormat::time(f.toMs ? f.toMs : nowMs));
    else
        parts << tr("all times until %1").arg(JournalFormat::time(nowMs));
    if (!f.installation.isEmpty())
        parts << tr("installation %1").arg(f.installation);
    if (f.node)
        parts << tr("node %1").arg(f.node);
    if (f.channel)
        parts << tr("channel %1").arg(f.channel);
    if (!f.kinds.isEmpty()) {
        QStringList names;
        for (Journal::Kind kind : f.kinds)
            names << Journal::kindName(kind);
        parts << tr("kinds %1").arg(names.join(QStringLiteral(", ")));
    }
    if (f.unackedOnly)
        parts << tr("unacknowledged alarms only");
    else if (f.alarmsOnly)
        parts << tr("alarms only");
    if (!f.text.isEmpty())
        parts << tr("containing \"%1\"").arg(f.text);
    return parts.join(QStringLiteral("; "));
}

QString HistoryFilter::rangeKey(Range range)
{
    for (const auto &r : Ranges)
        if (r.range == range)
            return QString::fromLatin1(r.key);
    return QString();
}

HistoryFilter::Range HistoryFilter::rangeFromKey(const QString &key)
{
    for (const auto &r : Ranges)
        if (key == QLatin1String(r.key))
            return r.range;
    return Range::LastDay;
}
