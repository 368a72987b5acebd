#pragma once

#include "journallocation.h"
#include "journalquery.h"
#include "journalstore.h"

#include <QString>
#include <QVector>

QT_BEGIN_NAMESPACE
class QTextStream;
QT_END_NAMESPACE

// The commands of orvo-journal-tool, apart from the command line, so they can be tested.
class JournalTool
{
public:
    enum class Format { Text, Csv };
    static constexpr int Failure = 1;

    JournalTool(const JournalLocation &location, QTextStream &out, QTextStream &err);

    int events(const EventFilter &filter, Format format, bool follow, int followRounds = -1);
    int alarms(const EventFilter &filter, bool activeOnly, bool unackedOnly, Format format);
    int ack(const QVector<qint64> &ids, const QString &user, const QString &comment);
    int trend(const QString &installation, int node, int channel, int slot, qint64 fromMs,
              qint64 toMs, int points);
    int stats();
    int check();
    int prune(const JournalRetention &retention);

    // The header line of events --format csv.
    static QString csvHeader();
    static QString csvLine(const JournalEvent &event);
    static QString csvField(const QString &text);
    // The header line and the rows of trend, also what the journal window exports.
    static QString trendCsvHeader();
    static QString trendCsvLine(const TrendPoint &point);

private:
    bool open(JournalStore &store, bool writable);
    void printEvent(const JournalEvent &event, Format format);

    const JournalLocation location;
    QTextStream &out;
    QTextStream &err;
};
