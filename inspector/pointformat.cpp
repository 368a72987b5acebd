#include "pointformat.h"

#include <cmath>
#include <cstring>

double PointFormat::value(quint32 word, Kind kind)
{
    switch (kind) {
    case Int32:
        return double(qint32(word));
    case UInt32:
        return double(word);
    case Float32:
        break;
    }
    float f = 0;
    std::memcpy(&f, &word, sizeof f);
    return double(f);
}

QVector<QPointF> PointFormat::samples(const QVector<quint32> &words, Kind kind, int *skipped)
{
    QVector<QPointF> out;
    out.reserve(words.size());
    int left = 0;
    for (int i = 0; i < words.size(); ++i) {
        const double v = value(words[i], kind);
        if (std::isfinite(v))
            out.append(QPointF(i, v));
        else
            ++left;
    }
    if (skipped)
        *skipped = left;
    return out;
}

QString PointFormat::text(quint32 word, Kind kind)
{
    switch (kind) {
    case Int32:
        return QString::number(qint32(word));
    case UInt32:
        return QString::number(word);
    case Float32:
        break;
    }
    // Nine significant digits give back the very float that was received.
    return QString::number(value(word, kind), 'g', 9);
}

QString PointFormat::key(Kind kind)
{
    switch (kind) {
    case Int32:
        return QStringLiteral("int32");
    case UInt32:
        return QStringLiteral("uint32");
    case Float32:
        break;
    }
    return QStringLiteral("float32");
}

PointFormat::Kind PointFormat::fromKey(const QString &key)
{
    if (key == QLatin1String("int32"))
        return Int32;
    if (key == QLatin1String("uint32"))
        return UInt32;
    return Float32;
}
