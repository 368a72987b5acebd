#include "journalformat.h"

#include <QDateTime>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace JournalFormat {

QString time(qint64 msSinceEpoch)
{
    // Asking the C library for the local offset stats the zone file on every call, which was a
    // quarter of a long export. The offset is kept for a quarter of an hour that holds no change
    // of it: both ends of the quarter are asked, and a quarter with a change is asked each time.
    constexpr qint64 QuarterMs = 15 * 60 * 1000;
    struct Quarter
    {
        qint64 index = std::numeric_limits<qint64>::min();
        int offsetS = 0;
        bool steady = false;
    };
    thread_local Quarter known;
    const qint64 index = msSinceEpoch / QuarterMs - (msSinceEpoch % QuarterMs < 0 ? 1 : 0);
    if (index != known.index) {
        known.index = index;
        known.offsetS = QDateTime::fromMSecsSinceEpoch(index * QuarterMs).offsetFromUtc();
        known.steady =
            QDateTime::fromMSecsSinceEpoch(index * QuarterMs + QuarterMs - 1).offsetFromUtc() ==
            known.offsetS;
    }
    const int offsetS =
        known.steady ? known.offsetS : QDateTime::fromMSecsSinceEpoch(msSinceEpoch).offsetFromUtc();
    return QDateTime::fromMSecsSinceEpoch(msSinceEpoch, Qt::OffsetFromUTC, offsetS)
        .toString(Qt::ISODateWithMs);
}

QString value(float value)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    // QString::number and toFloat use the C locale whatever the user's; the first precision
    // that reads back exactly is the shortest.
    QString text;
    for (int precision = 1; precision <= 9; ++precision) {
        text = QString::number(double(value), 'g', precision);
        if (text.toFloat() == value)
            break;
    }
    return text;
}

bool parseTime(const QString &text, qint64 nowMs, qint64 *msSinceEpoch)
{
    static const QRegularExpression relative(QStringLiteral("^-(\\d{1,9})([smhd])$"));
    const QRegularExpressionMatch match = relative.match(text.trimmed());
    if (match.hasMatch()) {
        const qint64 amount = match.captured(1).toLongLong();
        const QChar unit = match.captured(2).at(0);
        const qint64 unitMs = unit == QLatin1Char('s')   ? 1000
                              : unit == QLatin1Char('m') ? 60000
                              : unit == QLatin1Char('h') ? 3600000
                                                         : 86400000;
        *msSinceEpoch = nowMs - amount * unitMs;
        return true;
    }
    QDateTime parsed = QDateTime::fromString(text.trimmed(), Qt::ISODateWithMs);
    if (!parsed.isValid())
        parsed = QDateTime::fromString(text.trimmed(), Qt::ISODate);
    if (!parsed.isValid())
        return false;
    *msSinceEpoch = parsed.toMSecsSinceEpoch();
    return true;
}

} // namespace JournalFormat
