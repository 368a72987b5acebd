// The journal window on a large journal, offscreen: the time from creating the window to its
// first page of history, the time each filter change takes to show its first rows, and the
// longest the GUI thread went without running its event loop meanwhile.
//
//   QT_QPA_PLATFORM=offscreen bench_journalview [--path FILE] [--events N]
//
// Without --path it generates N events (default 1,000,000) in a temporary file; a journal of
// bench_journalquery (--path FILE --keep) serves for ten million.

#include "eventmodel.h"
#include "historyfilter.h"
#include "journalstore.h"
#include "journalwindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace {

void say(const QString &text)
{
    QTextStream(stdout) << text << Qt::endl;
}

bool generate(const JournalSpec &spec, qint64 count, qint64 now)
{
    JournalStore store;
    QString error;
    if (!store.open(spec, JournalStore::Access::ReadWrite, &error)) {
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
    parser.addOptions({pathOption, eventsOption});
    parser.process(app);

    QTemporaryDir dir;
    JournalSpec spec;
    spec.type = JournalSpec::Type::SQLite;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (parser.isSet(pathOption)) {
        spec.path = parser.value(pathOption);
    } else {
        spec.path = dir.filePath(QStringLiteral("bench.sqlite"));
        QElapsedTimer clock;
        clock.start();
        if (!generate(spec, parser.value(eventsOption).toLongLong(), now))
            return 1;
        say(QStringLiteral("generated %1 events in %2 s")
                .arg(parser.value(eventsOption))
                .arg(clock.elapsed() / 1000.0, 0, 'f', 1));
    }

    auto *stalls = new StallMeter(&app);
    QElapsedTimer start;
    start.start();
    JournalWindow window(spec);
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
    return 0;
}
