// orvo-node-sim: sends NodeStatus datagrams as the nodes of an installation would.
#include "nodesimulator.h"
#include "programidentity.h"
#include "siminstallation.h"
#include "toolcommandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostInfo>
#include <QTextStream>

#include <cmath>

namespace {
const char description[] =
    R"(Sends NodeStatus status datagrams over UDP, as the nodes of a vibration-monitoring
installation do, so that a viewer can be watched and loaded without hardware.

Node description (--node, repeatable): ID[:key=value]...
  ID            node id; any 32-bit number, so ids outside 1..32 can be sent too
  ch=LIST       measurement channels, e.g. ch=1,2 (1 to 4)
  types=LIST    measurement type codes of slots 1, 2, ... in every channel (default 1,2)
  relays=N      relays 1..N enabled (0 to 8), or relays=0xMASK (bit r: relay r+1);
                the message then carries the relay word
  fault=S       every S seconds each channel reports an input fault for a few seconds
                (short and open circuit in turn)
  silent=S      the node falls silent after S seconds of talking ...
  back=S        ... and talks again after S seconds of silence, over and over
  change=S      after S seconds the configuration changes once: one more measurement
                per channel, or one more channel when all slots are used
  blip=S        every S seconds the first measurement reports alert and danger in one
                single datagram, which the panels do not show and a journal records
  trip=S[,L]    every S seconds the lowest relay in use trips for L seconds (default 1)
                and resets

Values move (sine or ramp plus noise) through the alert (60 %) and danger (80 %) thresholds
of full scale, so condition lamps, relay states and channel states change over time.

Examples:
  orvo-node-sim --demo
  orvo-node-sim --full --rate 10 --duration 60
  orvo-node-sim --node 3:ch=1,2:types=1,2,5 --node 9:relays=0x81
  orvo-node-sim --node 4:ch=1:silent=10:back=5 --node 6:ch=2:change=15
  orvo-node-sim --node 3:ch=1:blip=5 --node 9:relays=2:trip=20,2
  orvo-node-sim --demo --garbage 0.2 --bad-ids --seed 7 --count 1000
  orvo-node-sim --demo --host 192.168.1.20 --port 49153)";
} // namespace

int main(int argc, char *argv[])
{
    ProgramIdentity::setUp("orvo-node-sim");
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(description));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption hostOpt(
        QStringLiteral("host"),
        QStringLiteral("Send to HOST (name or address; default 127.0.0.1)."),
        QStringLiteral("HOST"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption portOpt(QStringLiteral("port"),
                                     QStringLiteral("Send to UDP port PORT (default 49153)."),
                                     QStringLiteral("PORT"), QStringLiteral("49153"));
    const QCommandLineOption demoOpt(
        QStringLiteral("demo"),
        QStringLiteral(
            "Add the sample installation: node 1 with two ICP channels, input "
            "faults and a one-datagram danger every 10 s, node 2 with channels and relays 1-4 "
            "that changes after 45 s, node 5 with relays only whose relay 1 trips "
            "every 15 s, node 7 that is silent 6 s in every 26 s."));
    const QCommandLineOption fullOpt(
        QStringLiteral("full"),
        QStringLiteral("Add nodes 1 to 32, each with 4 channels of 8 measurements and 8 relays "
                       "(for memory and load measurements)."));
    const QCommandLineOption nodeOpt(
        QStringLiteral("node"), QStringLiteral("Add a node described by DESCRIPTION (see above)."),
        QStringLiteral("DESCRIPTION"));
    const QCommandLineOption badIdsOpt(
        QStringLiteral("bad-ids"),
        QStringLiteral("Add nodes 0, 33 and 4294967295, which a viewer must ignore."));
    const QCommandLineOption rateOpt(
        QStringLiteral("rate"),
        QStringLiteral("Datagrams per second and node (default 5; the viewer drops a node "
                       "after 1 s without one)."),
        QStringLiteral("HZ"), QStringLiteral("5"));
    const QCommandLineOption garbageOpt(
        QStringLiteral("garbage"),
        QStringLiteral("After each valid datagram, send one that does not decode (random bytes "
                       "or a cut-off message) with probability P, 0 to 1 (default 0)."),
        QStringLiteral("P"), QStringLiteral("0"));
    const QCommandLineOption durationOpt(QStringLiteral("duration"),
                                         QStringLiteral("Stop after SECONDS (default: run on)."),
                                         QStringLiteral("SECONDS"));
    const QCommandLineOption countOpt(
        QStringLiteral("count"),
        QStringLiteral("Stop after N datagrams in all, garbage included (default: run on)."),
        QStringLiteral("N"));
    const QCommandLineOption seedOpt(
        QStringLiteral("seed"),
        QStringLiteral("Seed of the noise and garbage, for repeatable runs (default 1)."),
        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption verboseOpt(QStringLiteral("verbose"),
                                        QStringLiteral("Print a line for every datagram sent."));
    parser.addOptions({hostOpt, portOpt, demoOpt, fullOpt, nodeOpt, badIdsOpt, rateOpt, garbageOpt,
                       durationOpt, countOpt, seedOpt, verboseOpt});
    ToolCommandLine::process(parser, app);
    const auto usageError = ToolCommandLine::usageError;
    if (!parser.positionalArguments().isEmpty())
        return usageError(
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));

    SimInstallation installation;
    if (parser.isSet(demoOpt))
        installation.nodes += SimInstallation::demo().nodes;
    if (parser.isSet(fullOpt))
        installation.nodes += SimInstallation::full().nodes;
    for (const QString &text : parser.values(nodeOpt)) {
        SimNode node;
        QString error;
        if (!SimInstallation::parseNode(text, node, &error))
            return usageError(error);
        installation.nodes.append(node);
    }
    if (parser.isSet(badIdsOpt))
        installation.nodes += SimInstallation::outOfRangeIds().nodes;
    if (installation.nodes.isEmpty())
        return usageError(QStringLiteral("nothing to send: give --demo, --full or --node"));

    SimRunSettings settings;
    bool ok = false;
    if (!ToolCommandLine::parsePort(parser.value(portOpt), settings.port))
        return ToolCommandLine::UsageExit;
    settings.rate = parser.value(rateOpt).toDouble(&ok);
    if (!ok || !(settings.rate > 0.0 && settings.rate <= 1000.0))
        return usageError(QStringLiteral("--rate takes a number above 0, at most 1000"));
    settings.garbage = parser.value(garbageOpt).toDouble(&ok);
    if (!ok || !(settings.garbage >= 0.0 && settings.garbage <= 1.0))
        return usageError(QStringLiteral("--garbage takes a probability from 0 to 1"));
    if (parser.isSet(durationOpt)) {
        settings.duration = parser.value(durationOpt).toDouble(&ok);
        if (!ok || !(settings.duration > 0.0) || !std::isfinite(settings.duration))
            return usageError(QStringLiteral("--duration takes a number of seconds above 0"));
    }
    if (parser.isSet(countOpt)) {
        settings.count = parser.value(countOpt).toLongLong(&ok);
        if (!ok || settings.count <= 0)
            return usageError(QStringLiteral("--count takes a number above 0"));
    }
    quint64 seed = 0;
    if (!ToolCommandLine::parseUInt(parser.value(seedOpt), 0xFFFFFFFFu, seed))
        return usageError(QStringLiteral("--seed takes a number from 0 to 4294967295"));
    settings.seed = quint32(seed);
    settings.verbose = parser.isSet(verboseOpt);

    const QString host = parser.value(hostOpt);
    if (!settings.host.setAddress(host)) {
        const QHostInfo info = QHostInfo::fromName(host);
        if (info.addresses().isEmpty())
            return usageError(QStringLiteral("cannot resolve host \"%1\"").arg(host));
        settings.host = info.addresses().constFirst();
    }

    NodeSimulator simulator(installation, settings);
    QObject::connect(&simulator, &NodeSimulator::event, &app,
                     [&err](const QString &text) { err << text << Qt::endl; });
    if (settings.verbose) {
        QObject::connect(&simulator, &NodeSimulator::datagramSent, &app,
                         [&err](quint32 nodeId, const QByteArray &datagram, bool isGarbage) {
                             err << (isGarbage ? "garbage after node " : "node ") << nodeId << ": "
                                 << datagram.size() << " bytes" << Qt::endl;
                         });
    }
    QObject::connect(&simulator, &NodeSimulator::finished, &app, &QCoreApplication::quit);

    err << "orvo-node-sim: " << installation.nodes.size() << " node(s) to "
        << settings.host.toString() << ':' << settings.port << " at " << settings.rate
        << " datagrams/s each" << Qt::endl;
    simulator.start();
    const int status = app.exec();
    err << "orvo-node-sim: sent " << simulator.validSent() << " datagram(s), "
        << simulator.garbageSent() << " garbage, " << simulator.sendFailures() << " failed"
        << Qt::endl;
    return status == 0 && simulator.sendFailures() == 0 ? 0 : 1;
}
