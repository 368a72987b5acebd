#pragma once

#include "historyfilter.h"
#include "trendkey.h"

#include <QByteArray>
#include <QString>

// Everything the journal window keeps between runs, in the viewer's INI file under the group
// "JournalView"; the language is the viewer's own top-level "lang".
class JournalViewSettings
{
public:
    static QString journal();
    static void setJournal(const QString &location);
    static QByteArray geometry();
    static void setGeometry(const QByteArray &geometry);
    static QByteArray windowState();
    static void setWindowState(const QByteArray &state);
    static HistoryFilter filter();
    static void setFilter(const HistoryFilter &filter);
    // The measurements chosen in the trends tab, in the order chosen.
    static QVector<TrendKey> trendMeasurements();
    static void setTrendMeasurements(const QVector<TrendKey> &keys);
};
