// Time per link operation beside the round trip of a bare one-register read. An operation of
// n transactions should take no more than 1.2 times n bare round trips: the link adds little
// of its own beyond the transactions it must make.

#include "modulesimulator.h"
#include "orvo_icpconnection.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Median of single-call times in microseconds; medians keep a busy machine's stalls out.
struct Samples
{
    std::vector<double> us;
    bool ok = true;

    void add(const std::function<bool()> &op)
    {
        QElapsedTimer timer;
        timer.start();
        ok = op() && ok;
        us.push_back(double(timer.nsecsElapsed()) / 1000.0);
    }
    double median()
    {
        std::sort(us.begin(), us.end());
        return us.empty() ? 0 : us[us.size() / 2];
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Register link throughput on loopback."));
    parser.addHelpOption();
    const QCommandLineOption hostOpt(QStringLiteral("host"),
                                     QStringLiteral("Simulator address (default 127.0.0.1)."),
                                     QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption portOpt(
        QStringLiteral("port"),
        QStringLiteral("Port of a running orvo-module-sim (started with --waveform-points "
                       "4096 --static); without it a simulator runs in this process."),
        QStringLiteral("port"));
    const QCommandLineOption repeatOpt(QStringLiteral("repeat"),
                                       QStringLiteral("Repetitions per operation (default 50)."),
                                       QStringLiteral("n"), QStringLiteral("50"));
    parser.addOptions({hostOpt, portOpt, repeatOpt});
    parser.process(app);
    const int repeats = qMax(1, parser.value(repeatOpt).toInt());

    ModuleSimulator sim;
    auto info = QSharedPointer<Orvo_ICPConnection::ConnectionInfo>::create();
    info->ipAddr = parser.value(hostOpt);
    if (parser.isSet(portOpt)) {
        info->port = quint16(parser.value(portOpt).toUInt());
    } else {
        sim.setMovingValues(false);
        sim.setWaveformPoints(0, 4096);
        if (!sim.start(info->ipAddr, 0)) {
            std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.errorString()));
            return 1;
        }
        info->port = sim.port();
    }

    Orvo_ICPConnection link;
    if (!link.open(info, false)) {
        std::fprintf(stderr, "cannot open the link to %s:%u\n", qPrintable(info->ipAddr),
                     info->port);
        return 1;
    }
    auto record = QSharedPointer<t_orvo_settings>::create();
    QObject::connect(&link, &Orvo_ICPConnection::readSettingsDone, &app,
                     [&record](QSharedPointer<t_orvo_settings> s) { record = s; });
    link.readSettings();

    quint16 reg = 0;
    const std::function<bool()> bareRead = [&] { return link.regsRead(97, 1, &reg); };

    struct Case
    {
        const char *name;
        int transactions;
        std::function<bool()> op;
    };
    const Case cases[] = {
        {"configuration read (3286 regs)", 27, [&] { return link.readSettings(); }},
        {"configuration write + commit", 27 + 3, [&] { return link.writeSettings(record); }},
        {"waveform, 4096 points", 2 + (4096 + 59) / 60, [&] { return link.readWaveform(0, 1); }},
    };

    // Each operation alternates with a block of as many bare reads as it has transactions, so
    // that both are timed over the same stretch and see the same load on the machine.
    Samples bare;
    std::vector<Samples> ops(std::size(cases));
    std::vector<Samples> blocks(std::size(cases));
    for (int round = 0; round < repeats; ++round) {
        for (size_t c = 0; c < std::size(cases); ++c) {
            bare.add(bareRead);
            blocks[c].add([&] {
                bool ok = true;
                for (int i = 0; i < cases[c].transactions; ++i)
                    ok = bareRead() && ok;
                return ok;
            });
            ops[c].add(cases[c].op);
        }
    }
    const double rtt = bare.median();

    std::printf("bare one-register read: %.1f us round trip (median of %zu), %.0f "
                "transactions/s%s\n\n",
                rtt, bare.us.size(), 1e6 / rtt, bare.ok ? "" : "  (FAILED)");
    std::printf("%-32s %6s %10s %10s %12s %7s  %s\n", "operation", "trans", "ms/op", "trans/s",
                "n bare ms", "ratio", "verdict (limit 1.2)");
    int misses = 0;
    for (size_t c = 0; c < std::size(cases); ++c) {
        const double us = ops[c].median();
        const double blockUs = blocks[c].median();
        const int n = cases[c].transactions;
        const double ratio = us / blockUs;
        const bool within = ops[c].ok && blocks[c].ok && ratio <= 1.2;
        misses += within ? 0 : 1;
        std::printf("%-32s %6d %10.3f %10.0f %12.3f %7.2f  %s\n", cases[c].name, n, us / 1000.0,
                    n * 1e6 / us, blockUs / 1000.0, ratio,
                    !ops[c].ok ? "FAILED"
                    : within   ? "within"
                               : "over");
    }
    link.close();
    return misses ? 2 : 0;
}
