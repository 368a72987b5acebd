// orvo-module-sim: a simulated Orvo module on Modbus TCP, for trying the register link, the
// poller and the module console without hardware.

#include "modulesimulator.h"
#include "orvoversion.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> quitRequested{false};

void onSignal(int)
{
    quitRequested = true;
}

bool parseUInt(const QString &text, quint32 &out)
{
    bool ok = false;
    const qulonglong v = text.toULongLong(&ok, 0);
    if (!ok || v > 0xFFFFFFFFull)
        return false;
    out = quint32(v);
    return true;
}

// A point count may be given negative to get the 32-bit pattern a signed reader sees as such.
bool parseCount(const QString &text, quint32 &out)
{
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok, 0);
    if (!ok || v < -0x80000000ll || v > 0xFFFFFFFFll)
        return false;
    out = quint32(qint64(v) & 0xFFFFFFFF);
    return true;
}

QString functionName(int fc)
{
    switch (fc) {
    case 3:
        return QStringLiteral("read holding");
    case 4:
        return QStringLiteral("read input");
    case 6:
        return QStringLiteral("write single");
    case 16:
        return QStringLiteral("write multiple");
    case 23:
        return QStringLiteral("read/write");
    default:
        return QStringLiteral("function %1").arg(fc);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvo-module-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVO_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated Orvo measurement or relay module serving Modbus TCP. Registers are named as "
        "the link names them (counted from 1). Numbers accept 0x for hexadecimal. Stop with "
        "Ctrl+C."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption addressOpt(
        {QStringLiteral("a"), QStringLiteral("address")},
        QStringLiteral("Address to listen on (IPv4/IPv6 literal or host name). Default "
                       "127.0.0.1."),
        QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption portOpt(
        {QStringLiteral("p"), QStringLiteral("port")},
        QStringLiteral("TCP port; 0 picks a free one (the bound port is printed). Default 1502."),
        QStringLiteral("port"), QStringLiteral("1502"));
    const QCommandLineOption typeOpt(
        {QStringLiteral("t"), QStringLiteral("type")},
        QStringLiteral("Module kind: icp, prox or relay. Sets the type name and the default "
                       "settings, channels and relays. Default icp."),
        QStringLiteral("kind"), QStringLiteral("icp"));
    const QCommandLineOption typeNameOpt(
        QStringLiteral("type-name"),
        QStringLiteral("Type name to report instead of the kind's own (for example ABC, to "
                       "try an unsupported module). At most 32 bytes."),
        QStringLiteral("name"));
    const QCommandLineOption info2Opt(QStringLiteral("info2"),
                                      QStringLiteral("Second text field of the information "
                                                     "block. Default \"Sim module\"."),
                                      QStringLiteral("text"));
    const QCommandLineOption info3Opt(
        QStringLiteral("info3"),
        QStringLiteral("Third text field of the information block. Default \"1.0\"."),
        QStringLiteral("text"));
    const QCommandLineOption info4Opt(
        QStringLiteral("info4"),
        QStringLiteral("Fourth text field of the information block. Default \"SIM-0001\"."),
        QStringLiteral("text"));
    const QCommandLineOption modeOpt(QStringLiteral("mode"),
                                     QStringLiteral("Device mode register (97): 2 is work "
                                                    "mode, anything else is not. Default 2."),
                                     QStringLiteral("n"));
    const QCommandLineOption staticOpt(
        QStringLiteral("static"),
        QStringLiteral("Keep channel values still (by default they move and the channel "
                       "change counters advance)."));
    const QCommandLineOption movePeriodOpt(
        QStringLiteral("move-period"),
        QStringLiteral("Milliseconds between value changes. Default 250."), QStringLiteral("ms"));
    const QCommandLineOption captureDelayOpt(
        QStringLiteral("capture-delay"),
        QStringLiteral("Milliseconds from a capture trigger to ready waveforms or spectra. "
                       "Default 20."),
        QStringLiteral("ms"));
    const QCommandLineOption wfPointsOpt(
        QStringLiteral("waveform-points"),
        QStringLiteral("Points per waveform, all channels. Default 256."), QStringLiteral("n"));
    const QCommandLineOption spPointsOpt(
        QStringLiteral("spectrum-points"),
        QStringLiteral("Points per spectrum, all channels. Default 128."), QStringLiteral("n"));
    const QCommandLineOption commitStatusOpt(
        QStringLiteral("commit-status"),
        QStringLiteral("Value register 0xF00F reads after a configuration commit. Default 1."),
        QStringLiteral("n"));
    const QCommandLineOption restartTimeOpt(
        QStringLiteral("restart-time"),
        QStringLiteral("Milliseconds the module refuses connections after a restart request. "
                       "Default 500."),
        QStringLiteral("ms"));
    const QCommandLineOption dropAfterOpt(
        QStringLiteral("drop-after"),
        QStringLiteral("Fault: answer n requests, then close the connection instead of "
                       "answering the next one (once)."),
        QStringLiteral("n"));
    const QCommandLineOption wrongEchoOpt(
        QStringLiteral("wrong-echo"),
        QStringLiteral("Fault: after n correct waveform/spectrum transfers, echo a wrong offset "
                       "in every further transfer."),
        QStringLiteral("n"));
    const QCommandLineOption answerDelayOpt(
        QStringLiteral("answer-delay"),
        QStringLiteral("Fault: send every answer this many milliseconds late (the link gives "
                       "up after 5000)."),
        QStringLiteral("ms"));
    const QCommandLineOption refuseIdentOpt(
        QStringLiteral("refuse-identification"),
        QStringLiteral("Fault: answer reads of the information block (registers 1-96) with "
                       "an exception."));
    const QCommandLineOption headerPointsOpt(
        QStringLiteral("header-points"),
        QStringLiteral("Fault: announce this point count in every waveform and spectrum "
                       "header; negative values give their 32-bit pattern (-1 = 0xFFFFFFFF)."),
        QStringLiteral("n"));
    const QCommandLineOption failReadsOpt(
        QStringLiteral("fail-reads"),
        QStringLiteral("Fault: answer reads touching registers first..first+count-1 with an "
                       "exception, e.g. 0x558:88 for channel 1. May be repeated."),
        QStringLiteral("first:count"));
    const QCommandLineOption logOpt(
        {QStringLiteral("l"), QStringLiteral("log")},
        QStringLiteral("Print every request: function, register number, counts."));
    parser.addOptions({addressOpt,   portOpt,         typeOpt,         typeNameOpt,
                       info2Opt,     info3Opt,        info4Opt,        modeOpt,
                       staticOpt,    movePeriodOpt,   captureDelayOpt, wfPointsOpt,
                       spPointsOpt,  commitStatusOpt, restartTimeOpt,  dropAfterOpt,
                       wrongEchoOpt, answerDelayOpt,  refuseIdentOpt,  headerPointsOpt,
                       failReadsOpt, logOpt});
    parser.process(app);

    QTextStream err(stderr);
    QTextStream out(stdout);
    auto fail = [&](const QString &text) {
        err << "orvo-module-sim: " << text << '\n';
        return 2;
    };
    auto number = [&](const QCommandLineOption &opt, quint32 &value) {
        return !parser.isSet(opt) || parseUInt(parser.value(opt), value);
    };

    const QString kindText = parser.value(typeOpt).toLower();
    ModuleSimulator::Kind kind;
    if (kindText == QLatin1String("icp"))
        kind = ModuleSimulator::Kind::Icp;
    else if (kindText == QLatin1String("prox"))
        kind = ModuleSimulator::Kind::Prox;
    else if (kindText == QLatin1String("relay") || kindText == QLatin1String("rel"))
        kind = ModuleSimulator::Kind::Relay;
    else
        return fail(QStringLiteral("unknown module kind \"%1\"").arg(kindText));

    ModuleSimulator sim(kind);
    if (parser.isSet(typeNameOpt))
        sim.setTypeName(parser.value(typeNameOpt).toLatin1());
    if (parser.isSet(info2Opt))
        sim.setInfoField(1, parser.value(info2Opt).toLatin1());
    if (parser.isSet(info3Opt))
        sim.setInfoField(2, parser.value(info3Opt).toLatin1());
    if (parser.isSet(info4Opt))
        sim.setInfoField(3, parser.value(info4Opt).toLatin1());

    quint32 port = 0, mode = 2, movePeriod = 250, captureDelay = 20, commitStatus = 1,
            restartTime = 500, answerDelay = 0;
    if (!parseUInt(parser.value(portOpt), port) || port > 65535)
        return fail(QStringLiteral("bad port"));
    if (!number(modeOpt, mode) || mode > 0xFFFF)
        return fail(QStringLiteral("bad mode"));
    if (!number(movePeriodOpt, movePeriod) || !number(captureDelayOpt, captureDelay) ||
        !number(restartTimeOpt, restartTime) || !number(answerDelayOpt, answerDelay) ||
        movePeriod > 3600000 || captureDelay > 3600000 || restartTime > 3600000 ||
        answerDelay > 3600000)
        return fail(QStringLiteral("bad time value"));
    if (!number(commitStatusOpt, commitStatus) || commitStatus > 0xFFFF)
        return fail(QStringLiteral("bad commit status"));
    sim.setMode(quint16(mode));
    sim.setMovingValues(!parser.isSet(staticOpt) && kind != ModuleSimulator::Kind::Relay,
                        int(movePeriod));
    sim.setCaptureDelay(int(captureDelay));
    sim.setCommitStatus(quint16(commitStatus));
    sim.setRestartTime(int(restartTime));
    sim.setAnswerDelay(int(answerDelay));

    for (const auto *opt : {&wfPointsOpt, &spPointsOpt}) {
        if (!parser.isSet(*opt))
            continue;
        quint32 n = 0;
        if (!parseUInt(parser.value(*opt), n))
            return fail(QStringLiteral("bad point count"));
        for (int ch = 0; ch < 4; ++ch) {
            if (opt == &wfPointsOpt)
                sim.setWaveformPoints(ch, n);
            else
                sim.setSpectrumPoints(ch, n);
        }
    }
    if (parser.isSet(dropAfterOpt)) {
        quint32 n = 0;
        if (!parseUInt(parser.value(dropAfterOpt), n) || n > 0x7FFFFFFF)
            return fail(QStringLiteral("bad --drop-after"));
        sim.setDropAfter(int(n));
    }
    if (parser.isSet(wrongEchoOpt)) {
        quint32 n = 0;
        if (!parseUInt(parser.value(wrongEchoOpt), n) || n > 0x7FFFFFFF)
            return fail(QStringLiteral("bad --wrong-echo"));
        sim.setWrongEcho(int(n));
    }
    sim.setRefuseIdentification(parser.isSet(refuseIdentOpt));
    if (parser.isSet(headerPointsOpt)) {
        quint32 n = 0;
        if (!parseCount(parser.value(headerPointsOpt), n))
            return fail(QStringLiteral("bad --header-points"));
        sim.setHeaderPointCountOverride(true, n);
    }
    for (const QString &range : parser.values(failReadsOpt)) {
        const QStringList parts = range.split(QLatin1Char(':'));
        quint32 first = 0, count = 0;
        if (parts.size() != 2 || !parseUInt(parts[0], first) || !parseUInt(parts[1], count) ||
            first < 1 || first > 0x10000)
            return fail(QStringLiteral("bad --fail-reads \"%1\"").arg(range));
        sim.addReadFailRange(first, count);
    }

    if (!sim.start(parser.value(addressOpt), quint16(port)))
        return fail(sim.errorString());
    out << "orvo-module-sim: listening on " << sim.address() << " port " << sim.port() << '\n';
    out.flush();

    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    const bool log = parser.isSet(logOpt);
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &app, [&] {
        if (log) {
            const auto list = sim.transactions();
            sim.clearTransactions();
            for (const auto &t : list) {
                out << functionName(t.function);
                if (t.writeAddress >= 0)
                    out << QStringLiteral(" write 0x%1 x%2")
                               .arg(t.writeRegister(), 4, 16, QLatin1Char('0'))
                               .arg(t.writeCount);
                if (t.readAddress >= 0)
                    out << QStringLiteral(" read 0x%1 x%2")
                               .arg(t.readRegister(), 4, 16, QLatin1Char('0'))
                               .arg(t.readCount);
                if (t.outcome == ModuleSimulator::Transaction::Exception)
                    out << " -> exception";
                else if (t.outcome == ModuleSimulator::Transaction::Dropped)
                    out << " -> dropped";
                out << '\n';
            }
            out.flush();
        }
        if (quitRequested)
            app.quit();
    });
    tick.start(100);
    const int rc = app.exec();
    sim.stop();
    return rc;
}
