#include "journalformat.h"

#include <QDateTime>
#include <QRegularExpression>

#include <cmath>

namespace JournalFormat {

QString time(qint64 msSinceEpoch)
{
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(msSinceEpoch);
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODateWithMs);
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
