#pragma once

#include "journalquery.h"

#include <QString>
#include <QVector>

// What the history's filter bar holds, as the user set it; the time range may be relative to
// the moment the query runs.
struct HistoryFilter
{
    enum class Range { All, LastHour, LastDay, LastWeek, LastMonth, Custom };

    Range range = Range::LastDay;
    qint64 fromMs = 0; // Custom only
    qint64 toMs = 0;   // Custom only
    QString installation;
    int node = 0;
    int channel = 0;
    QVector<Journal::Kind> kinds;
    bool alarmsOnly = false;
    bool unackedOnly = false;
    QString text;

    EventFilter toEventFilter(qint64 nowMs) const;
    // The range and filters in words, for the heading of a report.
    QString describe(qint64 nowMs) const;
    static QString rangeKey(Range range);
    static Range rangeFromKey(const QString &key);
};
