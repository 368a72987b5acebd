#pragma once

#include "journalquery.h"
#include "trendkey.h"

#include <QMetaType>
#include <QVector>

// One row of the alarm summary: the alarm with the measurement type of its item, for the
// catalogue's name and unit.
struct SummaryAlarm
{
    AlarmEntry alarm;
    quint32 measType = 0;
};

// A measurement the journal holds trends of, with its latest measurement type.
struct TrendSeries
{
    TrendKey key;
    quint32 measType = 0;
};

// The answer to one trend request for one measurement: its points and the alarm transitions of
// the measurement in the same range, oldest first.
struct TrendData
{
    TrendKey key;
    quint32 measType = 0;
    QVector<TrendPoint> points;
    QVector<JournalEvent> transitions;
};

// How often the window looks for new events and tries again after a failure; tests shorten
// them.
struct JournalTiming
{
    int pollMs = 500;
    int reconnectMs = 5000;
};

Q_DECLARE_METATYPE(EventFilter)
Q_DECLARE_METATYPE(SummaryAlarm)
Q_DECLARE_METATYPE(QVector<SummaryAlarm>)
Q_DECLARE_METATYPE(QVector<TrendSeries>)
Q_DECLARE_METATYPE(QVector<TrendData>)
