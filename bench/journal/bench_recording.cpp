// Run from a Release build, with orvo-node-sim beside it (ports 49164 and 49165 must be free):
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_BUILD_BENCH=ON
//   cmake --build build-bench --target bench_recording orvo-node-sim
//   QT_QPA_PLATFORM=offscreen build-bench/bin/bench_recording cpu --rate 100 --phase 15
//   build-bench/bin/bench_recording load --rate 100 --duration 600
//
// cpu: the running window fed by orvo-node-sim (32 full nodes), in alternating phases without
// a recorder (as --no-journal) and with one; CPU time of the whole process per datagram
// received in each (goal: recording at most 10 % more).
// load: the recorder's reception and journal from a cold start (a new SQLite file) under 32
// full nodes; kernel drops, the writer's backlog while loaded and after, and every transition
// the journal holds set against a second detector fed the same datagrams.
#include "journallocation.h"
#include "journalrecorder.h"
#include "journalwriter.h"
#include "mainwindow.h"
#include "nodestatusdecoder.h"
#include "nodestatusencoder.h"
#include "siminstallation.h"
#include "statusgenerator.h"
#include "statusreceiver.h"
#include "transitiondetector.h"
#include "trendaccumulator.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <functional>
#include <unistd.h>

namespace {
constexpr quint16 CpuPort = 49164;
constexpr quint16 LoadPort = 49165;

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// CPU seconds of this process's thread named name (the journal writer's), from /proc; 0 when
// there is none.
double namedThreadCpuSeconds(const QByteArray &name)
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(tid + QStringLiteral("/comm")));
        if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != name)
            continue;
        QFile stat(tasks.filePath(tid + QStringLiteral("/stat")));
        if (!stat.open(QIODevice::ReadOnly))
            return 0.0;
        // After the command in parentheses: state is field 3, utime and stime fields 14, 15.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 13)
            return 0.0;
        return double(fields[11].toLongLong() + fields[12].toLongLong()) /
               double(sysconf(_SC_CLK_TCK));
    }
    return 0.0;
}

// The drop counter of the socket bound to port, from /proc/net/udp6 or /proc/net/udp.
qint64 socketDrops(quint16 port)
{
    const QByteArray local = ':' + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const char *path : {"/proc/net/udp6", "/proc/net/udp"}) {
        QFile udp(QString::fromLatin1(path));
        if (!udp.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : udp.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() > 12 && fields[1].endsWith(local))
                return fields.last().toLongLong();
        }
    }
    return -1;
}

QString simulatorPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/orvo-node-sim");
}

QString key(int node, const QString &kind, int channel, int slot, int relay, const QString &from,
            const QString &to)
{
    return QStringLiteral("%1 %2 %3 %4 %5 %6>%7")
        .arg(node)
        .arg(kind)
        .arg(channel)
        .arg(slot)
        .arg(relay)
        .arg(from, to);
}

void waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The recording side's own work per datagram on the GUI thread, beside decoding the same
// datagram: the detector and the accumulator over a minute of 32 full nodes at 100 Hz.
void recordingWork()
{
    const SimInstallation installation = SimInstallation::full();
    StatusGenerator generator(1);
    QVector<NodeStatus> messages;
    QVector<QByteArray> datagrams;
    for (int i = 0; i < 6000; ++i) {
        const NodeStatus msg = generator.build(installation.nodes[i % 32], 0.01 * (i / 32));
        messages << msg;
        datagrams << NodeStatusEncoder::encode(msg);
    }
    TransitionDetector detector;
    TrendAccumulator trends;
    QVector<JournalEvent> events;
    QVector<TrendInterval> intervals;
    double work = 0.0;
    double decode = 0.0;
    qint64 found = 0;
    for (int round = 0; round < 10; ++round) {
        const qint64 base = qint64(round) * 60000;
        double start = threadCpuSeconds();
        for (int i = 0; i < messages.size(); ++i) {
            const qint64 t = base + (i / 32) * 10;
            detector.datagram(messages[i], t, &events);
            trends.add(messages[i], t);
            if (i % 3200 == 0)
                trends.takeFinished(t, &intervals);
            found += events.size();
            events.clear();
        }
        intervals.clear();
        work += threadCpuSeconds() - start;
        start = threadCpuSeconds();
        NodeStatus msg;
        for (const QByteArray &d : qAsConst(datagrams))
            decodeNodeStatus(d, msg);
        decode += threadCpuSeconds() - start;
    }
    const double n = 10.0 * messages.size();
    std::printf("recording work on the GUI thread: %.2f us per full-node datagram "
                "(decoding it: %.2f us; %lld events found)\n",
                work / n * 1e6, decode / n * 1e6, static_cast<long long>(found));
}

int cpuBenchmark(double rate, double phase, int phases)
{
    recordingWork();
    QTemporaryDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    MainWindow window(nullptr, CpuPort);
    if (!window.isListening()) {
        std::fprintf(stderr, "UDP port %d is busy\n", CpuPort);
        return 1;
    }
    window.resize(1000, 900);
    window.show();
    JournalRecorder recorder;
    JournalLocation location;
    QString error;
    JournalLocation::parse(dir.filePath(QStringLiteral("cpu.sqlite")), &location, &error);
    recorder.start(location, QStringLiteral("bench"), QStringLiteral("benchmark"));
    waitFor([&] { return recorder.isRecording(); }, 10000);
    if (!recorder.isRecording()) {
        std::fprintf(stderr, "journal not recording: %s\n", qPrintable(recorder.problem()));
        return 1;
    }

    // One simulator run per phase, so the datagrams of a phase are what it says it sent.
    auto runPhase = [&](double seconds, qint64 *sent) {
        QProcess sim;
        sim.start(simulatorPath(),
                  {QStringLiteral("--full"), QStringLiteral("--rate"), QString::number(rate),
                   QStringLiteral("--duration"), QString::number(seconds), QStringLiteral("--port"),
                   QString::number(CpuPort)});
        if (!sim.waitForStarted())
            return false;
        waitFor([&] { return sim.state() == QProcess::NotRunning; }, int(seconds * 1000) + 30000);
        // What is still queued in the socket belongs to this phase.
        waitFor([] { return false; }, 300);
        const QString log = QString::fromUtf8(sim.readAllStandardError());
        const int at = log.indexOf(QStringLiteral("sent "));
        *sent = at < 0 ? 0 : log.mid(at + 5).section(QLatin1Char(' '), 0, 0).toLongLong();
        return *sent > 0;
    };
    qint64 warmupSent = 0;
    // Warm-up: panels built, journal file grown.
    window.setJournalRecorder(&recorder);
    if (!runPhase(5.0, &warmupSent)) {
        std::fprintf(stderr, "cannot run %s\n", qPrintable(simulatorPath()));
        return 1;
    }

    double cpu[2] = {0.0, 0.0};
    double gui[2] = {0.0, 0.0};
    double writerCpu = 0.0;
    qint64 datagrams[2] = {0, 0};
    for (int p = 0; p < phases; ++p) {
        const int withJournal = p % 2;
        window.setJournalRecorder(withJournal ? &recorder : nullptr);
        const qint64 dropsBefore = socketDrops(CpuPort);
        const double start = processCpuSeconds();
        const double guiStart = threadCpuSeconds();
        const double writerStart = namedThreadCpuSeconds("journal writer");
        qint64 sent = 0;
        runPhase(phase, &sent);
        cpu[withJournal] += processCpuSeconds() - start;
        gui[withJournal] += threadCpuSeconds() - guiStart;
        if (withJournal)
            writerCpu += namedThreadCpuSeconds("journal writer") - writerStart;
        datagrams[withJournal] += sent - (socketDrops(CpuPort) - dropsBefore);
    }
    window.setJournalRecorder(nullptr);
    recorder.stop(QStringLiteral("benchmark over"));

    const double without = cpu[0] / double(datagrams[0]);
    const double with = cpu[1] / double(datagrams[1]);
    std::printf("cpu: 32 full nodes x %g Hz, %d phases of %g s, alternating\n", rate, phases,
                phase);
    std::printf("  without journal  %8.2f us per datagram, %6.2f of them on the GUI thread  "
                "(%lld datagrams)\n",
                without * 1e6, gui[0] / double(datagrams[0]) * 1e6,
                static_cast<long long>(datagrams[0]));
    std::printf("  with journal     %8.2f us per datagram, %6.2f of them on the GUI thread  "
                "(%lld datagrams)\n",
                with * 1e6, gui[1] / double(datagrams[1]) * 1e6,
                static_cast<long long>(datagrams[1]));
    // The writer alone, against the whole process without a journal: the part of the cost
    // that the GUI thread's noise between phases does not hide.
    std::printf("  journal writer   %8.2f us per datagram (%+.1f %% of the process without "
                "journal)\n",
                writerCpu / double(datagrams[1]) * 1e6,
                100.0 * writerCpu / double(datagrams[1]) / without);
    std::printf("  recording costs  %+8.1f %%  (goal: at most +10 %%)\n",
                100.0 * (with / without - 1.0));
    return 0;
}

int loadBenchmark(double rate, double duration)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("load.sqlite"));
    StatusReceiver receiver;
    if (!receiver.listen(LoadPort)) {
        std::fprintf(stderr, "UDP port %d: %s\n", LoadPort, qPrintable(receiver.errorString()));
        return 1;
    }
    JournalRecorder recorder;
    JournalLocation location;
    QString error;
    JournalLocation::parse(path, &location, &error);
    // A second detector sees the same datagrams: what it finds is what the journal must hold.
    TransitionDetector reference;
    QHash<QString, int> expected;
    QVector<JournalEvent> found;
    QObject::connect(&receiver, &StatusReceiver::datagramAccepted, &recorder,
                     [&](const NodeStatus &msg, qint64 timeMs) {
                         recorder.datagramAccepted(msg, timeMs);
                         reference.datagram(msg, timeMs, &found);
                     });
    recorder.start(location, QStringLiteral("bench"), QStringLiteral("benchmark"));

    const qint64 dropsBefore = socketDrops(LoadPort);
    QProcess sim;
    sim.start(simulatorPath(),
              {QStringLiteral("--full"), QStringLiteral("--rate"), QString::number(rate),
               QStringLiteral("--duration"), QString::number(duration), QStringLiteral("--port"),
               QString::number(LoadPort)});
    if (!sim.waitForStarted()) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(simulatorPath()));
        return 1;
    }
    int maxBacklog = 0;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, &recorder,
                     [&] { maxBacklog = qMax(maxBacklog, recorder.journalWriter()->backlog()); });
    sampler.start(50);
    waitFor([&] { return sim.state() == QProcess::NotRunning; }, int(duration * 1000) + 30000);
    QElapsedTimer drain;
    drain.start();
    int backlogAtEnd = recorder.journalWriter()->backlog();
    waitFor([&] { return recorder.journalWriter()->backlog() == 0; }, 45000);
    const qint64 emptied = drain.elapsed();
    // The last second's trend intervals are handed on when it ends, up to a second after the
    // load, at the recorder's next tick; wait for them too.
    waitFor(
        [&] {
            return drain.elapsed() > 1000 + JournalRecorder::TickMs &&
                   recorder.journalWriter()->backlog() == 0;
        },
        45000);
    const qint64 drained = drain.elapsed();
    const int backlogLeft = recorder.journalWriter()->backlog();
    const qint64 drops = socketDrops(LoadPort) - dropsBefore;
    const QString simLog = QString::fromUtf8(sim.readAllStandardError());
    recorder.stop(QStringLiteral("benchmark over"));
    reference.checkSilence(QDateTime::currentMSecsSinceEpoch(), &found);
    for (const JournalEvent &e : qAsConst(found))
        ++expected[key(e.node, Journal::kindName(e.kind), e.channel, e.slot, e.relay, e.from,
                       e.to)];

    // The store's own table, read directly: the benchmark compares rows, not their text.
    QHash<QString, int> stored;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "bench");
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("SELECT node, kind, channel, slot, relay, from_state, to_state "
                              "FROM journal_events"));
        while (q.next())
            ++stored[key(q.value(0).toInt(), q.value(1).toString(), q.value(2).toInt(),
                         q.value(3).toInt(), q.value(4).toInt(), q.value(5).toString(),
                         q.value(6).toString())];
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    int missing = 0;
    qint64 transitions = 0;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        transitions += it.value();
        missing += qMax(0, it.value() - stored.value(it.key()));
    }

    std::printf("load: 32 full nodes x %g Hz for %g s from a cold start\n", rate, duration);
    std::printf("  simulator        %s\n", qPrintable(simLog.trimmed().section('\n', -1)));
    std::printf("  received         %llu datagrams, %lld dropped by the kernel\n",
                static_cast<unsigned long long>(receiver.acceptedCount()),
                static_cast<long long>(drops));
    std::printf("  transitions      %lld found by the reference detector, %d missing from the "
                "journal\n",
                static_cast<long long>(transitions), missing);
    std::printf(
        "  writer backlog   max %d while loaded, %d when the load stopped, 0 after %lld ms, "
        "%d after %lld ms with the last second (events and trend intervals)\n",
        maxBacklog, backlogAtEnd, static_cast<long long>(emptied), backlogLeft,
        static_cast<long long>(drained));
    std::printf("  journal file     %.1f MB\n", double(QFile(path).size()) / 1e6);
    return missing == 0 && drops == 0 ? 0 : 1;
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("mode"), QStringLiteral("cpu or load"));
    const QCommandLineOption rateOpt(QStringLiteral("rate"),
                                     QStringLiteral("Datagrams per second and node."),
                                     QStringLiteral("HZ"), QStringLiteral("100"));
    const QCommandLineOption phaseOpt(QStringLiteral("phase"),
                                      QStringLiteral("cpu: seconds per phase."),
                                      QStringLiteral("S"), QStringLiteral("15"));
    const QCommandLineOption phasesOpt(QStringLiteral("phases"),
                                       QStringLiteral("cpu: phases, alternating (even)."),
                                       QStringLiteral("N"), QStringLiteral("6"));
    const QCommandLineOption durationOpt(QStringLiteral("duration"),
                                         QStringLiteral("load: seconds of load."),
                                         QStringLiteral("S"), QStringLiteral("600"));
    parser.addOptions({rateOpt, phaseOpt, phasesOpt, durationOpt});
    parser.process(app);
    const QString mode = parser.positionalArguments().value(0);
    if (mode == QLatin1String("cpu"))
        return cpuBenchmark(parser.value(rateOpt).toDouble(), parser.value(phaseOpt).toDouble(),
                            qMax(2, parser.value(phasesOpt).toInt()));
    if (mode == QLatin1String("load"))
        return loadBenchmark(parser.value(rateOpt).toDouble(),
                             parser.value(durationOpt).toDouble());
    parser.showHelp(2);
}
