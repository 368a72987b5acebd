#pragma once

#include "journalquery.h"

#include <QMetaType>
#include <QVector>

// One row of the alarm summary: the alarm with the measurement type of its item, for the
// catalogue's name and unit.
struct SummaryAlarm
{
    AlarmEntry alarm;
    quint32 measType = 0;
};

Q_DECLARE_METATYPE(EventFilter)
Q_DECLARE_METATYPE(SummaryAlarm)
Q_DECLARE_METATYPE(QVector<SummaryAlarm>)
