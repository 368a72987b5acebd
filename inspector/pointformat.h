#pragma once

#include <QPointF>
#include <QString>
#include <QVector>

// How the 32-bit words of a waveform or spectrum are read as numbers: the link copies them
// unchanged, and the module's firmware decides what they mean.
class PointFormat
{
public:
    enum Kind {
        Float32, // IEEE 754 single precision
        Int32,
        UInt32,
    };

    static double value(quint32 word, Kind kind);
    // Samples against their point index. Words that are not finite as floats (NaN,
    // infinities) are left out, so the curve bridges them and the axes stay usable; the
    // number left out goes to *skipped.
    static QVector<QPointF> samples(const QVector<quint32> &words, Kind kind,
                                    int *skipped = nullptr);
    // The value as text for export: what was received, NaN and infinities included.
    static QString text(quint32 word, Kind kind);

    // Stable names for the settings file.
    static QString key(Kind kind);
    static Kind fromKey(const QString &key);
};
