#include "meascatalogue.h"

#include "chstate.h"

#include <QCoreApplication>
#include <QLocale>

namespace {
constexpr char context[] = "ChannelStateView";

struct TypeEntry
{
    const char *name;
    const char *unit; // nullptr: the micro unit, composed at run time
};

constexpr const char *micro = nullptr;

// 10 and 11 follow the other pairs: amplitude on the even code with its unit, phase on the odd.
const TypeEntry types[] = {
    {nullptr, nullptr},
    {QT_TRANSLATE_NOOP("ChannelStateView", "Acceleration"),
     QT_TRANSLATE_NOOP("ChannelStateView", "m/s²")},
    {QT_TRANSLATE_NOOP("ChannelStateView", "Velocity"),
     QT_TRANSLATE_NOOP("ChannelStateView", "mm/s")},
    {QT_TRANSLATE_NOOP("ChannelStateView", "Diplacement"), micro},
    {QT_TRANSLATE_NOOP("ChannelStateView", "Gap"), QT_TRANSLATE_NOOP("ChannelStateView", "V")},
    {QT_TRANSLATE_NOOP("ChannelStateView", "Rotation speed"),
     QT_TRANSLATE_NOOP("ChannelStateView", "rpm")},
    {QT_TRANSLATE_NOOP("ChannelStateView", "Amplitude of Acceleration"),
     QT_TRANSLATE_NOOP("ChannelStateView", "m/s²")},
    {QT_TRANSLATE_NOOP("ChannelStateView", "Phase of Acceleration"),
     QT_TRANSLATE_NOOP("ChannelStateView", "°")},
    {QT_TRANSLATE_NOOP("ChannelStateView", "Amplitude of Velocity"),
     QT_TRANSLATE_NOOP("ChannelStateView", "m/s")},
    {QT_TRANSLATE_NOOP("ChannelStateView", "Phase of Velocity"),
     QT_TRANSLATE_NOOP("ChannelStateView", "°")},
    {QT_TRANSLATE_NOOP("ChannelStateView", "Amplitude of Prox Displacement"), micro},
    {QT_TRANSLATE_NOOP("ChannelStateView", "Phase of Prox Displacement"),
     QT_TRANSLATE_NOOP("ChannelStateView", "°")},
    {QT_TRANSLATE_NOOP("ChannelStateView", "DC"), QT_TRANSLATE_NOOP("ChannelStateView", "V")},
    {QT_TRANSLATE_NOOP("ChannelStateView", "RMS of Acceleration"),
     QT_TRANSLATE_NOOP("ChannelStateView", "m/s²")},
    {QT_TRANSLATE_NOOP("ChannelStateView", "RMS of Velocity"),
     QT_TRANSLATE_NOOP("ChannelStateView", "m/s")},
    {QT_TRANSLATE_NOOP("ChannelStateView", "PRM of Prox Displacement"), micro},
    {QT_TRANSLATE_NOOP("ChannelStateView", "Max Average Deviation"), micro},
};
constexpr uint typeCount = sizeof types / sizeof types[0];

// Files the composed key below under the same context for lupdate.
[[maybe_unused]] constexpr const char *microKey = QT_TRANSLATE_NOOP("ChannelStateView", "µm");

QString lookup(const char *text)
{
    return QCoreApplication::translate(context, text);
}

QString microSource()
{
    return QString::fromUtf8("µ") + QStringLiteral("m");
}

QString microUnit()
{
    // The micro sign is joined to "m" here and the whole "µm" is looked up, so a
    // translation replaces the unit as one word ("мкм"), not letter by letter.
    return QCoreApplication::translate(context, microSource().toUtf8().constData());
}

double percentOf(double value, quint16 fullScale)
{
    return value / double(fullScale) * 100.0;
}
} // namespace

QString MeasCatalogue::typeName(uint code)
{
    if (code == 0 || code >= typeCount)
        return QString();
    return lookup(types[code].name);
}

QString MeasCatalogue::typeUnit(uint code)
{
    if (code == 0 || code >= typeCount)
        return QString();
    return types[code].unit ? lookup(types[code].unit) : microUnit();
}

QString MeasCatalogue::typeUnitSource(uint code)
{
    if (code == 0 || code >= typeCount)
        return QString();
    return types[code].unit ? QString::fromUtf8(types[code].unit) : microSource();
}

QString MeasCatalogue::valueText(double value, uint code)
{
    return valueText(value, typeUnit(code));
}

QString MeasCatalogue::valueText(double value, const QString &unit)
{
    QString text = QLocale().toString(value, 'f', 6);
    if (!unit.isEmpty()) {
        text.reserve(text.size() + 1 + unit.size());
        text += QLatin1Char(' ');
        text += unit;
    }
    return text;
}

QString MeasCatalogue::percentText(double value, quint16 fullScale)
{
    if (fullScale == 0)
        return QString();
    return QLocale().toString(percentOf(value, fullScale), 'f', 2);
}

QString MeasCatalogue::deltaText(double value, double baseline, quint16 fullScale)
{
    if (fullScale == 0)
        return QString();
    return QLocale().toString(percentOf(value, fullScale) - percentOf(baseline, fullScale), 'f', 2);
}

namespace {
const char *statusSource(uint status)
{
    switch (status) {
    case 0:
        return QT_TRANSLATE_NOOP("ChannelStateView", "Valid data");
    case 1:
        return QT_TRANSLATE_NOOP("ChannelStateView", "Short circuit");
    case 2:
        return QT_TRANSLATE_NOOP("ChannelStateView", "Open circuit");
    case 0xFFFF:
        return QT_TRANSLATE_NOOP("ChannelStateView", "No valid data");
    default:
        return nullptr;
    }
}
} // namespace

QString MeasCatalogue::statusCaption(uint status)
{
    const char *source = statusSource(status);
    return source ? lookup(source) : QString();
}

QString MeasCatalogue::statusCaptionSource(uint status)
{
    return QString::fromUtf8(statusSource(status));
}

std::optional<Lamp::State> MeasCatalogue::statusLampState(uint status)
{
    switch (status) {
    case 0:
        return Lamp::Green;
    case 1:
    case 2:
        return Lamp::Red;
    case ChState::NoValidData:
        return Lamp::Off;
    default:
        return std::nullopt;
    }
}

QString MeasCatalogue::columnToolTip(int column)
{
    // The condition titles are deliberately left in English on every language.
    switch (column) {
    case NumberColumn:
        return lookup(QT_TRANSLATE_NOOP("ChannelStateView", "Channel number/Measurement number"));
    case FailureColumn:
        return conditionToolTip(QStringLiteral("Failure"));
    case AlertColumn:
        return conditionToolTip(QStringLiteral("Alert"));
    case DangerColumn:
        return conditionToolTip(QStringLiteral("Danger"));
    case BaseColumn:
        return lookup(
            QT_TRANSLATE_NOOP("ChannelStateView", "Baseline value in full-scale percent"));
    case DeltaColumn:
        return lookup(
            QT_TRANSLATE_NOOP("ChannelStateView", "Baseline deviation in full-scale percent"));
    case FsColumn:
        return lookup(QT_TRANSLATE_NOOP("ChannelStateView", "Full-scale percent"));
    case ValueColumn:
        return lookup(QT_TRANSLATE_NOOP("ChannelStateView", "Measurement value"));
    default:
        return QString();
    }
}

QString MeasCatalogue::conditionLegend()
{
    return QStringLiteral("  %1\n  %2\n  %3")
        .arg(lookup(QT_TRANSLATE_NOOP("ChannelStateView", "Green - False")),
             lookup(QT_TRANSLATE_NOOP("ChannelStateView", "Red - True")),
             lookup(QT_TRANSLATE_NOOP("ChannelStateView", "Off - Z")));
}

QString MeasCatalogue::conditionToolTip(const QString &title)
{
    return QStringLiteral("%1:\n%2").arg(title, conditionLegend());
}
