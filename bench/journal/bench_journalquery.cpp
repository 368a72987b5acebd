// The query side of the journal at full size: a journal holding a whole installation's steady
// state under the default retention (generated directly, not recorded), then the time of a
// trend over 1 h, 24 h, 30 days and 2 years, of the latest 1,000 events of one node, and the
// size of the file.
//
//   bench_journalquery [--path FILE] [--measurements N] [--events N] [--keep]
//
// N measurements (default 1024: 32 nodes x 4 channels x 8) and N events (default 10 million).

#include "journalquery.h"
#include "journalstore.h"
#include "trendblock.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr qint64 Day = 86400000LL;

void say(const QString &text)
{
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

// One block of a tier at steady state: a value wandering a little around its level, 10
// datagrams a second, valid throughout.
QByteArray steadyBlock(const TrendTier &tier, float level, QRandomGenerator &random)
{
    TrendBlock block(tier.intervalS, tier.slotCount);
    for (int i = 0; i < tier.slotCount; ++i) {
        TrendRecord r;
        r.count = quint32(10 * tier.intervalS);
        const float noise = level * 0.02f;
        r.min = level - noise * float(random.generateDouble());
        r.max = level + noise * float(random.generateDouble());
        r.last = r.min + (r.max - r.min) * float(random.generateDouble());
        r.sum = double(r.count) * (double(r.min) + r.max) / 2;
        block.set(i, r);
    }
    return block.encode();
}

double timeMs(const std::function<bool()> &run, int repeats, double *worst)
{
    QVector<double> times;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!run())
            return -1;
        times << timer.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    *worst = times.last();
    return times.at(times.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption pathOption(QStringLiteral("path"),
                                        QStringLiteral("Journal file to generate."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption measOption(QStringLiteral("measurements"),
                                        QStringLiteral("Measurements (1024)."), QStringLiteral("N"),
                                        QStringLiteral("1024"));
    const QCommandLineOption eventsOption(QStringLiteral("events"),
                                          QStringLiteral("Events (10000000)."), QStringLiteral("N"),
                                          QStringLiteral("10000000"));
    const QCommandLineOption keepOption(QStringLiteral("keep"),
                                        QStringLiteral("Use the file as it is, if any."));
    parser.addOptions({pathOption, measOption, eventsOption, keepOption});
    parser.process(app);

    QTemporaryDir dir;
    const QString path = parser.isSet(pathOption) ? parser.value(pathOption)
                                                  : dir.filePath(QStringLiteral("bench.sqlite"));
    const int measurements = parser.value(measOption).toInt();
    const qint64 eventCount = parser.value(eventsOption).toLongLong();
    const bool reuse = parser.isSet(keepOption) && QFile::exists(path);
    if (!reuse) {
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
    }

    JournalLocation location;
    location.type = JournalLocation::Type::SQLite;
    location.path = path;
    JournalStore store;
    QString error;
    if (!store.open(location, JournalStore::Access::ReadWrite, &error)) {
        say(error);
        return 1;
    }
    // A reused file was generated up to its own "now": the latest event tells when.
    qint64 now = QDateTime::currentMSecsSinceEpoch() / 1000 * 1000;
    if (reuse) {
        JournalStats generated;
        JournalQuery(&store).stats(&generated, &error);
        now = generated.lastMs;
    }
    const QString installation = QStringLiteral("bench:49153");
    const JournalRetention retention;
    QRandomGenerator random(16);
    QSqlDatabase db = store.database();

    if (!reuse) {
        QElapsedTimer generation;
        generation.start();
        // Generating is not what is measured; a crash here only loses the benchmark's file.
        QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=OFF"));
        db.transaction();
        QVector<qint64> series;
        for (int m = 0; m < measurements; ++m)
            series << store.seriesId(installation, 1 + m / 32 % 32, 1 + m / 8 % 4, 1 + m % 8, 3,
                                     true);
        db.commit();
        qint64 blocks = 0;
        for (int tier = 0; tier < JournalStore::tiers().size(); ++tier) {
            const TrendTier &t = JournalStore::tiers()[tier];
            const TrendBlock shape(t.intervalS, t.slotCount);
            const qint64 first = shape.blockStart(now - JournalRetention().keepMs(tier));
            db.transaction();
            for (qint64 start = first; start <= now; start += shape.spanMs()) {
                for (int m = 0; m < measurements; ++m) {
                    if (!store.putBlock(tier, series[m], start,
                                        steadyBlock(t, 1.0f + m % 17, random))) {
                        say(store.lastError());
                        return 1;
                    }
                    if (++blocks % 20000 == 0) {
                        db.commit();
                        db.transaction();
                    }
                }
            }
            db.commit();
            say(QStringLiteral("tier %1 s generated: %2 blocks so far, %3 s")
                    .arg(t.intervalS)
                    .arg(blocks)
                    .arg(generation.elapsed() / 1000));
        }
        // Events spread over the two years the retention keeps, every node alike.
        const qint64 span = retention.eventsMs;
        const qint64 batch = 20000;
        for (qint64 done = 0; done < eventCount; done += batch) {
            QVector<JournalEvent> events;
            events.reserve(int(batch));
            for (qint64 i = done; i < qMin(eventCount, done + batch); ++i) {
                JournalEvent e;
                e.installation = installation;
                e.timeMs = now - span + span * i / qMax<qint64>(1, eventCount);
                e.node = 1 + int(i % 32);
                e.channel = 1 + int(i / 32 % 4);
                e.slot = 1 + int(i / 128 % 8);
                e.kind = i % 3 == 0 ? Journal::Kind::Alert : Journal::Kind::RelayPhysical;
                e.from = (i / 32) % 2 ? QStringLiteral("true") : QStringLiteral("false");
                e.to = (i / 32) % 2 ? QStringLiteral("false") : QStringLiteral("true");
                e.hasValue = e.kind == Journal::Kind::Alert;
                e.value = 4.25f;
                e.unit = e.hasValue ? QStringLiteral("mm/s") : QString();
                events << e;
            }
            if (!store.write(events, {}, now)) {
                say(store.lastError());
                return 1;
            }
        }
        say(QStringLiteral("generated in %1 s").arg(generation.elapsed() / 1000));
        db = QSqlDatabase();
        store.close();
        if (!store.open(location, JournalStore::Access::ReadOnly, &error)) {
            say(error);
            return 1;
        }
    }

    JournalQuery query(&store);
    // The last measurement generated.
    const int m = measurements - 1;
    const int node = 1 + m / 32 % 32, channel = 1 + m / 8 % 4, slot = 1 + m % 8;
    const struct
    {
        const char *name;
        qint64 spanMs;
    } ranges[] = {{"1 h", 3600000LL}, {"24 h", Day}, {"30 days", 30 * Day}, {"2 years", 730 * Day}};
    for (const auto &range : ranges) {
        int points = 0;
        double worst = 0;
        const double median = timeMs(
            [&] {
                QVector<TrendPoint> out;
                const bool ok = query.trend(installation, node, channel, slot, now - range.spanMs,
                                            now, JournalQuery::DefaultPoints, now, &out, &error);
                points = out.size();
                return ok;
            },
            7, &worst);
        say(QStringLiteral("trend over %1: %2 points, median %3 ms, worst %4 ms")
                .arg(QLatin1String(range.name))
                .arg(points)
                .arg(median, 0, 'f', 2)
                .arg(worst, 0, 'f', 2));
    }
    {
        EventFilter latest;
        latest.node = 7;
        latest.limit = 1000;
        int rows = 0;
        double worst = 0;
        const double median = timeMs(
            [&] {
                QVector<JournalEvent> out;
                const bool ok = query.events(latest, &out, &error);
                rows = out.size();
                return ok;
            },
            7, &worst);
        say(QStringLiteral("latest 1000 events of a node: %1 rows, median %2 ms, worst %3 ms")
                .arg(rows)
                .arg(median, 0, 'f', 2)
                .arg(worst, 0, 'f', 2));
    }
    JournalStats stats;
    query.stats(&stats, &error);
    qint64 rows = 0;
    for (qint64 n : qAsConst(stats.rowsPerKind))
        rows += n;
    say(QStringLiteral(
            "events: %1; trend bytes per tier: %2 / %3 / %4 / %5; file: %6 bytes (%7 GB)")
            .arg(rows)
            .arg(stats.tierBytes.value(0))
            .arg(stats.tierBytes.value(1))
            .arg(stats.tierBytes.value(2))
            .arg(stats.tierBytes.value(3))
            .arg(stats.totalBytes)
            .arg(stats.totalBytes / 1e9, 0, 'f', 2));
    say(QStringLiteral("trend bytes per measurement: %1 (1 s, 24 h) + %2 (1 min, 30 days) + %3 per "
                       "year (10 min and 1 h)")
            .arg(stats.tierBytes.value(0) / qMax(1, measurements))
            .arg(stats.tierBytes.value(1) / qMax(1, measurements))
            .arg((stats.tierBytes.value(2) + stats.tierBytes.value(3)) / qMax(1, measurements) /
                 2));
    return 0;
}
