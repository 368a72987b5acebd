#include "journalviewsettings.h"

#include <QSettings>
#include <QStringList>

namespace {

const char Group[] = "JournalView";
const char JournalKey[] = "journal";
const char GeometryKey[] = "geometry";
const char StateKey[] = "state";
const char RangeKey[] = "range";
const char FromKey[] = "from";
const char ToKey[] = "to";
const char InstallationKey[] = "installation";
const char NodeKey[] = "node";
const char ChannelKey[] = "channel";
const char KindsKey[] = "kinds";
const char AlarmsOnlyKey[] = "alarmsOnly";
const char UnackedOnlyKey[] = "unackedOnly";
const char TextKey[] = "text";
const char TrendKeys[] = "trendMeasurements";

QVariant value(const char *key, const QVariant &fallback = QVariant())
{
    QSettings stored;
    stored.beginGroup(QLatin1String(Group));
    return stored.value(QLatin1String(key), fallback);
}

void setValue(const char *key, const QVariant &v)
{
    QSettings stored;
    stored.beginGroup(QLatin1String(Group));
    stored.setValue(QLatin1String(key), v);
}

} // namespace

QString JournalViewSettings::journal()
{
    return value(JournalKey).toString();
}

void JournalViewSettings::setJournal(const QString &location)
{
    setValue(JournalKey, location);
}

QByteArray JournalViewSettings::geometry()
{
    return value(GeometryKey).toByteArray();
}

void JournalViewSettings::setGeometry(const QByteArray &geometry)
{
    setValue(GeometryKey, geometry);
}

QByteArray JournalViewSettings::windowState()
{
    return value(StateKey).toByteArray();
}

void JournalViewSettings::setWindowState(const QByteArray &state)
{
    setValue(StateKey, state);
}

HistoryFilter JournalViewSettings::filter()
{
    HistoryFilter f;
    f.range = HistoryFilter::rangeFromKey(value(RangeKey).toString());
    f.fromMs = value(FromKey, 0).toLongLong();
    f.toMs = value(ToKey, 0).toLongLong();
    f.installation = value(InstallationKey).toString();
    f.node = qBound(0, value(NodeKey, 0).toInt(), 32);
    f.channel = qBound(0, value(ChannelKey, 0).toInt(), 4);
    // Names, not numbers: a kind added later must not shift what was chosen.
    for (const QString &name : value(KindsKey).toStringList()) {
        Journal::Kind kind;
        if (Journal::kindFromName(name, &kind))
            f.kinds << kind;
    }
    f.alarmsOnly = value(AlarmsOnlyKey, false).toBool();
    f.unackedOnly = value(UnackedOnlyKey, false).toBool();
    f.text = value(TextKey).toString();
    return f;
}

void JournalViewSettings::setFilter(const HistoryFilter &f)
{
    QStringList kinds;
    for (Journal::Kind kind : f.kinds)
        kinds << Journal::kindName(kind);
    setValue(RangeKey, HistoryFilter::rangeKey(f.range));
    setValue(FromKey, f.fromMs);
    setValue(ToKey, f.toMs);
    setValue(InstallationKey, f.installation);
    setValue(NodeKey, f.node);
    setValue(ChannelKey, f.channel);
    setValue(KindsKey, kinds);
    setValue(AlarmsOnlyKey, f.alarmsOnly);
    setValue(UnackedOnlyKey, f.unackedOnly);
    setValue(TextKey, f.text);
}

QVector<TrendKey> JournalViewSettings::trendMeasurements()
{
    QVector<TrendKey> keys;
    for (const QString &text : value(TrendKeys).toStringList()) {
        const TrendKey key = TrendKey::fromString(text);
        if (key.isValid() && !keys.contains(key))
            keys << key;
    }
    return keys;
}

void JournalViewSettings::setTrendMeasurements(const QVector<TrendKey> &keys)
{
    QStringList list;
    for (const TrendKey &key : keys)
        list << key.toString();
    setValue(TrendKeys, list);
}
