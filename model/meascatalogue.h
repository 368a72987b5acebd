#pragma once

#include "lampstate.h"

#include <QString>

#include <optional>

// The words for the numeric codes of the measurement tables: measurement types, channel
// status codes, the tool tips of the channel table's columns (their captions are in the
// channel view's form) and the legend of its condition lamps. Every text is looked up at
// call time, so a language switch shows on the next call.
class MeasCatalogue
{
public:
    enum Column {
        NumberColumn = 0,
        TimeColumn,
        FailureColumn,
        AlertColumn,
        DangerColumn,
        BaseColumn,
        DeltaColumn,
        FsColumn,
        ValueColumn,
        ColumnCount
    };

    MeasCatalogue() = delete;

    // Name and unit of a measurement type code; empty for codes outside the table.
    static QString typeName(uint code);
    static QString typeUnit(uint code);
    // The unit as written in the source, untranslated: for records kept beyond one session.
    static QString typeUnitSource(uint code);

    // The value in the default locale, fixed with 6 decimals, then a space and the unit.
    static QString valueText(double value, uint code);
    // The same with the unit already looked up, for callers that show many values.
    static QString valueText(double value, const QString &unit);
    // value / fullScale in percent with 2 decimals in the default locale; empty when
    // fullScale is 0, so a misconfigured module never shows inf or nan as a reading.
    static QString percentText(double value, quint16 fullScale);
    // (value - baseline) in percent of fullScale, each taken in percent first; empty when
    // fullScale is 0.
    static QString deltaText(double value, double baseline, quint16 fullScale);

    // Caption and lamp state for a channel status code; the state is empty for unlisted
    // codes, whose caption is empty too.
    static QString statusCaption(uint status);
    // The caption untranslated, for stored records that must read the same in any language.
    static QString statusCaptionSource(uint status);
    static std::optional<Lamp::State> statusLampState(uint status);

    static QString columnToolTip(int column);
    static QString conditionLegend();
    static QString conditionToolTip(const QString &title);
};
