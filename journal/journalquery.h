#pragma once

#include "journalevent.h"
#include <QCoreApplication>

#include <QMap>
#include <QString>
#include <QVector>

class JournalStore;

// Which events to read.
struct EventFilter
{
    qint64 fromMs = 0; // 0: from the start
    qint64 toMs = 0;   // 0: to the end
    QString installation;
    int node = 0;    // 0: every node
    int channel = 0; // 0: every channel
    QVector<Journal::Kind> kinds;
    bool alarmsOnly = false;
    bool unackedOnly = false; // alarms not acknowledged
    qint64 afterId = 0;       // only events with a greater id
    // Only events before this one in the order newest first (time, then id): a page's cursor.
    qint64 beforeTimeMs = 0;
    qint64 beforeId = 0; // 0: no cursor
    QString text;        // only events whose texts contain this, ignoring case
    int limit = 0;       // 0: all; else the latest this many
};

// One alarm as the summary shows it.
struct AlarmEntry
{
    JournalEvent event;
    bool active = true;
    qint64 clearedMs = 0; // when the item returned to its quiet state
    int raisedCount = 1;  // how often the same item raised an alarm in the range
};

// One trend point: statistics over intervalS seconds from startMs.
struct TrendPoint
{
    qint64 startMs = 0;
    int intervalS = 1;
    quint32 count = 0;
    float min = 0.0f;
    float max = 0.0f;
    double sum = 0.0;
    float last = 0.0f;
    bool valid = true;
};

struct JournalStats
{
    qint64 firstMs = 0;
    qint64 lastMs = 0;
    QMap<QString, qint64> rowsPerKind;
    QVector<qint64> tierBlocks; // per tier
    QVector<qint64> tierBytes;
    qint64 totalBytes = 0; // file or database size
};

// Reads a journal: events, alarms, trends, statistics; records acknowledgements.
class JournalQuery
{
    Q_DECLARE_TR_FUNCTIONS(JournalQuery)

public:
    static constexpr int DefaultPoints = 2000;
    // A trend reads at most about this many stored intervals per point it returns.
    static constexpr int ReadFactor = 10;

    explicit JournalQuery(JournalStore *store);

    // In order of id, oldest first; false on a database error.
    bool events(const EventFilter &filter, QVector<JournalEvent> *out, QString *error);
    bool alarms(const EventFilter &filter, bool activeOnly, QVector<AlarmEntry> *out,
                QString *error);
    // Acknowledges alarms once each; refuses ids that are no alarm or already acknowledged,
    // and then acknowledges none of them.
    bool acknowledge(const QVector<qint64> &ids, const QString &user, const QString &comment,
                     qint64 nowMs, QString *error);
    // The finest intervals over [fromMs, toMs) that give at most points points.
    bool trend(const QString &installation, int node, int channel, int slot, qint64 fromMs,
               qint64 toMs, int points, qint64 nowMs, QVector<TrendPoint> *out, QString *error);
    bool stats(JournalStats *out, QString *error);

private:
    JournalStore *const store;
};
