#include "journalretention.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <iterator>

namespace {

struct Part
{
    const char *name;
    qint64 JournalRetention::*field;
};

const Part Parts[] = {
    {"seconds", &JournalRetention::secondsMs},
    {"minutes", &JournalRetention::minutesMs},
    {"ten-minutes", &JournalRetention::tenMinutesMs},
    {"events", &JournalRetention::eventsMs},
};

constexpr qint64 Year = 365 * JournalRetention::Day;
// Longer is no retention but a typing error, and would overflow the times it is taken from.
constexpr qint64 LongestMs = 100 * Year;

QString lengthText(qint64 ms)
{
    const std::pair<qint64, char> units[] = {
        {Year, 'y'}, {JournalRetention::Day, 'd'}, {3600000, 'h'}, {60000, 'm'}, {1000, 's'}};
    for (const auto &unit : units) {
        if (ms % unit.first == 0)
            return QString::number(ms / unit.first) + QLatin1Char(unit.second);
    }
    return QString::number(ms / 1000) + QLatin1Char('s');
}

} // namespace

qint64 JournalRetention::keepMs(int tier) const
{
    switch (tier) {
    case 0:
        return secondsMs;
    case 1:
        return minutesMs;
    default:
        return tenMinutesMs;
    }
}

bool JournalRetention::parse(const QString &text, JournalRetention *out, QString *reason)
{
    static const QRegularExpression length(QStringLiteral("^(\\d{1,6})([smhdy])$"));
    JournalRetention result = *out;
    const QStringList items = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (items.isEmpty()) {
        *reason = tr("no retention given");
        return false;
    }
    for (const QString &item : items) {
        const int equals = item.indexOf(QLatin1Char('='));
        const QString name = item.left(equals).trimmed();
        const QString value = equals < 0 ? QString() : item.mid(equals + 1).trimmed();
        const auto part = std::find_if(std::begin(Parts), std::end(Parts), [&](const Part &p) {
            return name == QLatin1String(p.name);
        });
        if (equals < 0 || part == std::end(Parts)) {
            *reason = tr("%1: not seconds=, minutes=, ten-minutes= or events=").arg(item.trimmed());
            return false;
        }
        const QRegularExpressionMatch match = length.match(value);
        const qint64 amount = match.hasMatch() ? match.captured(1).toLongLong() : 0;
        const char unit = match.hasMatch() ? match.captured(2).at(0).toLatin1() : 's';
        const qint64 unitMs = unit == 's'   ? 1000
                              : unit == 'm' ? 60000
                              : unit == 'h' ? 3600000
                              : unit == 'd' ? Day
                                            : Year;
        if (!match.hasMatch() || amount == 0 || amount > LongestMs / unitMs) {
            *reason =
                tr("%1: a length of up to 100 years, such as 24h, 30d or 2y").arg(item.trimmed());
            return false;
        }
        result.*(part->field) = amount * unitMs;
    }
    *out = result;
    return true;
}

QString JournalRetention::text() const
{
    QStringList items;
    for (const Part &part : Parts)
        items << QLatin1String(part.name) + QLatin1Char('=') + lengthText(this->*(part.field));
    return items.join(QLatin1Char(','));
}
