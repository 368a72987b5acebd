// The journal window on a large journal, offscreen: the time from creating the window to its
// first page of history, the time each filter change takes to show its first rows, and the
// longest the GUI thread went without running its event loop meanwhile.
//
//   QT_QPA_PLATFORM=offscreen bench_journalview [--path FILE] [--events N]
//   xvfb-run bench_journalview --screenshot docs/journal-view.png
//   xvfb-run bench_journalview --trend-screenshot docs/journal-view-trends.png
//
// --screenshot and --trend-screenshot write a small demo journal instead and save a picture of
// the window on it, of its alarm summary or of its trends.
//
// Without --path it generates N events (default 1,000,000) in a temporary file; --path FILE
// that does not exist yet generates them into FILE and keeps it for the next run. It then times
// the alarm query the summary runs, and a trend of two years of four measurements zoomed step
// by step down to one second: from the request to the redrawn plot, and the redraw alone.

#include "alarmmodel.h"
#include "eventmodel.h"
#include "historyfilter.h"
#include "journalstore.h"
#include "journalwindow.h"
#include "measurementmodel.h"
#include "trendblock.h"
#include "trendplot.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <cmath>

namespace {

void say(const QString &text)
{
    QTextStream(stdout) << text << Qt::endl;
}

bool generate(const JournalLocation &location, qint64 count, qint64 now)
{
    JournalStore store;
    QString error;
    if (!store.open(location, JournalStore::Access::ReadWrite, &error)) {
        say(error);
        return false;
    }
    QSqlQuery(store.database()).exec(QStringLiteral("PRAGMA synchronous=OFF"));
    const qint64 span = 730 * 24 * 3600 * 1000LL;
    for (qint64 done = 0; done < count; done += 20000) {
        QVector<JournalEvent> events;
        for (qint64 i = done; i < qMin(count, done + 20000); ++i) {
            JournalEvent e;
            e.installation = QStringLiteral("bench:49153");
            e.timeMs = now - span + span * i / count;
            e.node = 1 + int(i % 32);
            e.channel = 1 + int(i / 32 % 4);
            e.slot = 1 + int(i / 128 % 8);
            e.kind = i % 3 == 0 ? Journal::Kind::Alert : Journal::Kind::RelayPhysical;
            e.from = (i / 32) % 2 ? QStringLiteral("true") : QStringLiteral("false");
            e.to = (i / 32) % 2 ? QStringLiteral("false") : QStringLiteral("true");
            e.hasValue = e.kind == Journal::Kind::Alert;
            e.value = 4.25f;
            events << e;
        }
        if (!store.write(events, {}, now)) {
            say(store.lastError());
            return false;
        }
    }
    return true;
}

// Two years of trends of four measurements on node 1 channel 1 as the retention keeps them: ten
// minutes for two years, minutes for 30 days, seconds for the last day; the second measurement
// has an hour without valid data 12 hours ago.
bool generateTrends(const JournalLocation &location, qint64 now)
{
    JournalStore store;
    QString error;
    if (!store.open(location, JournalStore::Access::ReadWrite, &error)) {
        say(error);
        return false;
    }
    QSqlDatabase db = store.database();
    for (int slot = 1; slot <= 4; ++slot) {
        const qint64 series = store.seriesId(QStringLiteral("bench:49153"), 1, 1, slot, 2, true);
        db.transaction();
        for (int tier = 0; tier < JournalStore::tiers().size(); ++tier) {
            const TrendTier t = JournalStore::tiers()[tier];
            TrendBlock block(t.intervalS, t.slotCount);
            for (qint64 start = block.blockStart(now - JournalRetention().keepMs(tier));
                 start < now; start += block.spanMs()) {
                for (int i = 0; i < t.slotCount; ++i) {
                    const qint64 at = start + qint64(i) * t.intervalS * 1000;
                    TrendRecord r;
                    r.count = quint32(10 * t.intervalS);
                    const double level = slot * 2.0 + std::sin(double(at) / 3.6e6);
                    r.min = float(level - 0.3);
                    r.max = float(level + 0.3);
                    r.sum = level * r.count;
                    r.last = float(level);
                    r.valid = !(slot == 2 && at > now - 13 * 3600 * 1000LL &&
                                at < now - 12 * 3600 * 1000LL);
                    block.set(i, r);
                }
                if (!store.putBlock(tier, series, start, block.encode())) {
                    say(store.lastError());
                    return false;
                }
            }
        }
        db.commit();
    }
    return true;
}

// A few minutes of a small plant: nodes heard, an alert and a danger, one acknowledged.
bool writeDemo(const JournalLocation &location, qint64 now)
{
    JournalStore store;
    QString error;
    if (!store.open(location, JournalStore::Access::ReadWrite, &error)) {
        say(error);
        return false;
    }
    auto event = [&](qint64 ago, const char *installation, int node, Journal::Kind kind,
                     int channel, int slot, const char *from, const char *to, float value) {
        JournalEvent e;
        e.timeMs = now - ago * 1000;
        e.installation = QLatin1String(installation);
        e.node = node;
        e.kind = kind;
        e.channel = channel;
        e.slot = slot;
        e.from = QLatin1String(from);
        e.to = QLatin1String(to);
        e.hasValue = value != 0;
        e.value = value;
        e.unit = e.hasValue ? QStringLiteral("mm/s") : QString();
        return e;
    };
    using K = Journal::Kind;
    QVector<JournalEvent> events{
        event(900, "pump-hall:49153", 0, K::RecordingStarted, 0, 0, "", "", 0),
        event(899, "pump-hall:49153", 1, K::NodeHeard, 0, 0, "", "", 0),
        event(899, "pump-hall:49153", 2, K::NodeHeard, 0, 0, "", "", 0),
        event(899, "pump-hall:49153", 3, K::NodeHeard, 0, 0, "", "", 0),
        event(620, "pump-hall:49153", 1, K::Alert, 2, 1, "false", "true", 7.4f),
        event(580, "pump-hall:49153", 1, K::Alert, 2, 1, "true", "false", 6.1f),
        event(400, "pump-hall:49153", 3, K::Alert, 1, 2, "false", "true", 7.9f),
        event(310, "pump-hall:49153", 3, K::Danger, 1, 2, "false", "true", 11.6f),
        event(120, "pump-hall:49153", 1, K::Alert, 2, 1, "false", "true", 7.2f),
        event(60, "pump-hall:49153", 2, K::Failure, 4, 1, "false", "true", 0.2f),
    };
    // A quarter of an hour of two velocities in seconds, rising toward their alarms; the
    // second one's channel open for half a minute, and a stretch not recorded at all.
    QVector<TrendInterval> intervals;
    for (int ago = 900; ago > 0; --ago) {
        for (int which = 0; which < 2; ++which) {
            if (which == 1 && ago <= 60 && ago > 40)
                continue;
            TrendInterval i;
            i.installation = QStringLiteral("pump-hall:49153");
            i.node = which ? 3 : 1;
            i.channel = which ? 1 : 2;
            i.slot = which ? 2 : 1;
            i.measType = 2;
            i.startMs = (now - ago * 1000LL) - (now - ago * 1000LL) % 1000;
            const double phase = double(900 - ago) / 900.0;
            const double level = which ? 5.0 + 7.0 * phase * phase : 6.0 + std::sin(ago / 40.0);
            i.count = 10;
            i.min = float(level - 0.4 - 0.2 * std::sin(ago / 7.0));
            i.max = float(level + 0.4 + 0.2 * std::cos(ago / 5.0));
            i.sum = level * i.count;
            i.last = float(level);
            i.valid = !(which == 1 && ago <= 200 && ago > 170);
            intervals << i;
        }
    }
    if (!store.write({}, intervals, now))
        return false;
    if (!store.seriesId(QStringLiteral("pump-hall:49153"), 1, 2, 1, 2, true) ||
        !store.seriesId(QStringLiteral("pump-hall:49153"), 3, 1, 2, 2, true) ||
        !store.seriesId(QStringLiteral("pump-hall:49153"), 2, 4, 1, 2, true) ||
        !store.write(events, {}, now))
        return false;
    QVector<JournalEvent> stored;
    EventFilter danger;
    danger.kinds = {Journal::Kind::Danger};
    JournalQuery(&store).events(danger, &stored, &error);
    return !stored.isEmpty() && JournalQuery(&store).acknowledge(
                                    {stored.first().id}, QStringLiteral("operator"),
                                    QStringLiteral("bearing inspected"), now - 200000, &error);
}

// The longest gap between two runs of a 5 ms timer on the GUI thread.
class StallMeter : public QObject
{
public:
    explicit StallMeter(QObject *parent)
        : QObject(parent)
    {
        auto *timer = new QTimer(this);
        timer->setInterval(5);
        connect(timer, &QTimer::timeout, this, [this] { worst = qMax(worst, clock.restart()); });
        clock.start();
        timer->start();
    }
    qint64 take()
    {
        const qint64 w = worst;
        worst = 0;
        clock.restart();
        return w;
    }

private:
    QElapsedTimer clock;
    qint64 worst = 0;
};

// Runs the event loop until the history has rows or has read to its end.
qint64 waitForRows(EventModel *model, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (model->rowCount() == 0 && !model->atEnd() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return clock.elapsed();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Keldor"));
    QCoreApplication::setApplicationName(QStringLiteral("bench_journalview"));
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption pathOption(QStringLiteral("path"),
                                        QStringLiteral("An existing journal to open."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption eventsOption(QStringLiteral("events"),
                                          QStringLiteral("Events to generate (1000000)."),
                                          QStringLiteral("N"), QStringLiteral("1000000"));
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the window on a demo journal."), QStringLiteral("PNG"));
    const QCommandLineOption trendShotOption(
        QStringLiteral("trend-screenshot"),
        QStringLiteral("Save a picture of the trends tab on a demo journal."),
        QStringLiteral("PNG"));
    parser.addOptions({pathOption, eventsOption, screenshotOption, trendShotOption});
    parser.process(app);

    QTemporaryDir dir;
    JournalLocation location;
    location.type = JournalLocation::Type::SQLite;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (parser.isSet(screenshotOption)) {
        location.path = dir.filePath(QStringLiteral("demo.sqlite"));
        if (!writeDemo(location, now))
            return 1;
        JournalWindow window(location);
        window.resize(1100, 420);
        window.show();
        QElapsedTimer clock;
        clock.start();
        while (window.alarmModel()->rowCount() < 3 && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        // Half a blink in, so that the unacknowledged lamps are seen lit.
        while (clock.elapsed() < 1500)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return window.grab().save(parser.value(screenshotOption)) ? 0 : 1;
    }
    if (parser.isSet(trendShotOption)) {
        location.path = dir.filePath(QStringLiteral("demo.sqlite"));
        if (!writeDemo(location, now))
            return 1;
        JournalWindow window(location);
        window.resize(1100, 520);
        window.show();
        window.findChild<QTabWidget *>(QStringLiteral("tabs"))->setCurrentIndex(2);
        window.measurementModel()->setChosen(
            {TrendKey{QStringLiteral("pump-hall:49153"), 1, 2, 1},
             TrendKey{QStringLiteral("pump-hall:49153"), 3, 1, 2}});
        window.trendPlot()->setRange(now - 900 * 1000LL, now);
        QElapsedTimer clock;
        clock.start();
        while ((window.trendPlot()->trends().size() < 2 ||
                window.trendPlot()->dataFromMs() != window.trendPlot()->fromMs()) &&
               clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return window.grab().save(parser.value(trendShotOption)) ? 0 : 1;
    }
    location.path = parser.isSet(pathOption) ? parser.value(pathOption)
                                             : dir.filePath(QStringLiteral("bench.sqlite"));
    if (!QFileInfo::exists(location.path)) {
        QElapsedTimer clock;
        clock.start();
        if (!generate(location, parser.value(eventsOption).toLongLong(), now) ||
            !generateTrends(location, now))
            return 1;
        say(QStringLiteral("generated %1 events in %2 s")
                .arg(parser.value(eventsOption))
                .arg(clock.elapsed() / 1000.0, 0, 'f', 1));
    }

    auto *stalls = new StallMeter(&app);
    QElapsedTimer start;
    start.start();
    JournalWindow window(location);
    HistoryFilter all;
    all.range = HistoryFilter::Range::All;
    window.setHistoryFilter(all);
    window.show();
    const qint64 created = start.elapsed();
    waitForRows(window.eventModel(), 60000);
    say(QStringLiteral("first page: %1 ms from start (window built in %2 ms), %3 rows; GUI "
                       "thread stalled at most %4 ms")
            .arg(start.elapsed())
            .arg(created)
            .arg(window.eventModel()->rowCount())
            .arg(stalls->take()));

    struct Case
    {
        const char *name;
        HistoryFilter filter;
    };
    QVector<Case> cases;
    HistoryFilter f = all;
    f.range = HistoryFilter::Range::LastDay;
    cases.append({"last 24 hours", f});
    f = all;
    f.node = 17;
    cases.append({"node 17", f});
    f.channel = 3;
    cases.append({"node 17 channel 3", f});
    f = all;
    f.kinds = {Journal::Kind::Alert};
    cases.append({"kind alert", f});
    f = all;
    f.alarmsOnly = true;
    f.node = 5;
    cases.append({"alarms of node 5", f});
    f = all;
    f.unackedOnly = true;
    cases.append({"unacknowledged", f});
    f = all;
    f.text = QStringLiteral("true");
    cases.append({"text search", f});
    f = all;
    f.range = HistoryFilter::Range::LastMonth;
    f.node = 9;
    f.kinds = {Journal::Kind::RelayPhysical};
    cases.append({"30 days, node 9, relay-physical", f});
    for (const Case &c : qAsConst(cases)) {
        // Let the previous answer settle first.
        waitForRows(window.eventModel(), 100);
        stalls->take();
        QElapsedTimer clock;
        clock.start();
        window.setHistoryFilter(c.filter);
        const qint64 ms = waitForRows(window.eventModel(), 60000);
        say(QStringLiteral("filter %1: %2 ms, %3 rows; GUI thread stalled at most %4 ms")
                .arg(QLatin1String(c.name))
                .arg(ms)
                .arg(window.eventModel()->rowCount())
                .arg(stalls->take()));
    }
    // The summary is read on a thread of its own; its arrival costs the window its lamps.
    QElapsedTimer summary;
    summary.start();
    stalls->take();
    while (window.alarmModel()->rowCount() == 0 && summary.elapsed() < 300000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    say(QStringLiteral("alarm summary: %1 rows %2 ms after the last filter; GUI thread stalled "
                       "at most %3 ms")
            .arg(window.alarmModel()->rowCount())
            .arg(summary.elapsed())
            .arg(stalls->take()));

    // The summary's own query, on a store of its own.
    {
        JournalStore store;
        QString error;
        if (!store.open(location, JournalStore::Access::ReadOnly, &error)) {
            say(error);
            return 1;
        }
        for (const int limit : {1000, 10000}) {
            EventFilter newest;
            newest.limit = limit;
            QVector<AlarmEntry> list;
            QElapsedTimer clock;
            clock.start();
            if (!JournalQuery(&store).alarms(newest, false, &list, &error)) {
                say(error);
                return 1;
            }
            say(QStringLiteral("alarm query over the newest %1 alarm events: %2 ms, %3 alarms")
                    .arg(limit)
                    .arg(clock.elapsed())
                    .arg(list.size()));
        }
    }

    // Trends: four measurements, zoomed in from two years to a second about a day ago.
    window.resize(1400, 800);
    window.findChild<QTabWidget *>(QStringLiteral("tabs"))->setCurrentIndex(2);
    TrendPlot *plot = window.trendPlot();
    MeasurementModel *tree = window.measurementModel();
    QVector<TrendKey> keys;
    for (int slot = 1; slot <= 4; ++slot)
        keys << TrendKey{QStringLiteral("bench:49153"), 1, 1, slot};
    QElapsedTimer asked;
    bool answered = false;
    QObject::connect(plot, &TrendPlot::viewChanged, &app, [&] { asked.start(); });
    QObject::connect(&window, &JournalWindow::trendShown, &app, [&] { answered = true; });
    auto zoomTo = [&](const char *name, qint64 spanMs) {
        // Within the last day, where the journal keeps seconds.
        const qint64 middle = now - 12 * 3600 * 1000LL;
        answered = false;
        stalls->take();
        plot->setRange(middle - spanMs / 2, middle + spanMs / 2);
        QElapsedTimer clock;
        clock.start();
        while ((!answered || plot->dataFromMs() != plot->fromMs()) && clock.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        const qint64 total = asked.elapsed();
        QElapsedTimer redraw;
        redraw.start();
        // Grabbing paints the whole plot now, as the screen would.
        plot->replot();
        plot->grab();
        int points = 0;
        for (const TrendData &d : plot->trends())
            points += d.points.size();
        say(QStringLiteral("trend zoom to %1: %2 ms from the request to the redrawn plot, redraw "
                           "alone %3 ms, %4 points; GUI thread stalled at most %5 ms")
                .arg(QLatin1String(name))
                .arg(total)
                .arg(redraw.elapsed())
                .arg(points)
                .arg(stalls->take()));
    };
    tree->setChosen(keys);
    const qint64 day = 24 * 3600 * 1000LL;
    zoomTo("2 years", 729 * day);
    zoomTo("30 days", 30 * day);
    zoomTo("1 day", day);
    zoomTo("1 hour", 3600 * 1000LL);
    zoomTo("1 minute", 60 * 1000LL);
    zoomTo("1 second", 1000);
    zoomTo("2 years again", 729 * day);
    return 0;
}
