#include "simcommandline.h"

#include "modulesimulator.h"
#include "toolcommandline.h"

#include <QCoreApplication>
#include <QStringList>

using ToolCommandLine::parseUInt;
using ToolCommandLine::usageError;

namespace {

constexpr quint64 MaxMs = 3600000;
constexpr quint64 MaxInt = 0x7FFFFFFF;

QCommandLineOption option(const QStringList &names, const char *description,
                          const char *valueName = nullptr, const char *defaultValue = nullptr)
{
    QCommandLineOption opt(names, QString::fromUtf8(description));
    if (valueName)
        opt.setValueName(QString::fromLatin1(valueName));
    if (defaultValue)
        opt.setDefaultValue(QString::fromLatin1(defaultValue));
    return opt;
}

// A point count may be given negative to get the 32-bit pattern a signed reader sees as such.
bool parseCount(const QString &text, quint32 &out)
{
    const QString t = text.trimmed();
    quint64 v = 0;
    if (t.startsWith(QLatin1Char('-'))) {
        if (!parseUInt(t.mid(1), 0x80000000ull, v))
            return false;
        out = quint32(-qint64(v) & 0xFFFFFFFF);
        return true;
    }
    if (!parseUInt(t, 0xFFFFFFFFull, v))
        return false;
    out = quint32(v);
    return true;
}

} // namespace

SimCommandLine::SimCommandLine()
    : addressOpt(option({"a", "address"},
                        "Address to listen on (IPv4/IPv6 literal or host name). Default 127.0.0.1.",
                        "address", "127.0.0.1"))
    , portOpt(option({"p", "port"},
                     "TCP port; 0 picks a free one (the bound port is printed). Default 1502.",
                     "port", "1502"))
    , typeOpt(option({"t", "type"},
                     "Module kind: icp, prox or relay. Sets the type name and the default "
                     "settings, channels and relays. Default icp.",
                     "kind", "icp"))
    , typeNameOpt(option({"type-name"},
                         "Type name to report instead of the kind's own (for example ABC, to try "
                         "an unsupported module). At most 32 bytes.",
                         "name"))
    , infoOpt{option({"info2"},
                     "Second text field of the information block. Default \"Sim module\".", "text"),
              option({"info3"}, "Third text field of the information block. Default \"1.0\".",
                     "text"),
              option({"info4"}, "Fourth text field of the information block. Default \"SIM-0001\".",
                     "text")}
    , modeOpt(option({"mode"},
                     "Device mode register (97): 2 is work mode, anything else is not. Default 2.",
                     "n"))
    , staticOpt(option({"static"}, "Keep channel values still (by default they move and the "
                                   "channel change counters advance)."))
    , movePeriodOpt(
          option({"move-period"}, "Milliseconds between value changes. Default 250.", "ms"))
    , captureDelayOpt(option({"capture-delay"},
                             "Milliseconds from a capture trigger to ready waveforms or spectra. "
                             "Default 20.",
                             "ms"))
    , wfPointsOpt(
          option({"waveform-points"}, "Points per waveform, all channels. Default 256.", "n"))
    , spPointsOpt(
          option({"spectrum-points"}, "Points per spectrum, all channels. Default 128.", "n"))
    , commitStatusOpt(option({"commit-status"},
                             "Value register 0xF00F reads after a configuration commit. Default 1.",
                             "n"))
    , restartTimeOpt(option({"restart-time"},
                            "Milliseconds the module refuses connections after a restart "
                            "request. Default 500.",
                            "ms"))
    , dropAfterOpt(option({"drop-after"},
                          "Fault: answer n requests, then close the connection instead of "
                          "answering the next one (once).",
                          "n"))
    , wrongEchoOpt(option({"wrong-echo"},
                          "Fault: after n correct waveform/spectrum transfers, echo a wrong "
                          "offset in every further transfer.",
                          "n"))
    , answerDelayOpt(option({"answer-delay"},
                            "Fault: send every answer this many milliseconds late (the link gives "
                            "up after 5000).",
                            "ms"))
    , refuseIdentOpt(option({"refuse-identification"},
                            "Fault: answer reads of the information block (registers 1-96) with "
                            "an exception."))
    , headerPointsOpt(option({"header-points"},
                             "Fault: announce this point count in every waveform and spectrum "
                             "header; negative values give their 32-bit pattern (-1 = "
                             "0xFFFFFFFF).",
                             "n"))
    , failReadsOpt(option({"fail-reads"},
                          "Fault: answer reads touching registers first..first+count-1 with an "
                          "exception, e.g. 0x558:88 for channel 1. May be repeated.",
                          "first:count"))
    , logOpt(option({"l", "log"}, "Print every request: function, register number, counts."))
{
    parser.setApplicationDescription(QStringLiteral(
        "Simulated Orvo measurement or relay module serving Modbus TCP. Registers are named as "
        "the link names them (counted from 1). Waveform and spectrum points are 32-bit IEEE "
        "floats, low half first: waveforms of a running machine in g (running speed with "
        "harmonics, noise, an impact on every fourth capture), spectra with matching peaks. "
        "Numbers are decimal, or hexadecimal with 0x. Stop with Ctrl+C."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({addressOpt,   portOpt,         typeOpt,         typeNameOpt,
                       infoOpt[0],   infoOpt[1],      infoOpt[2],      modeOpt,
                       staticOpt,    movePeriodOpt,   captureDelayOpt, wfPointsOpt,
                       spPointsOpt,  commitStatusOpt, restartTimeOpt,  dropAfterOpt,
                       wrongEchoOpt, answerDelayOpt,  refuseIdentOpt,  headerPointsOpt,
                       failReadsOpt, logOpt});
}

bool SimCommandLine::number(const QCommandLineOption &option, quint64 max, quint64 &value) const
{
    return !parser.isSet(option) || parseUInt(parser.value(option), max, value);
}

int SimCommandLine::apply(const QCoreApplication &app, ModuleSimulator &sim)
{
    ToolCommandLine::process(parser, app);
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument \"%1\"")
                              .arg(parser.positionalArguments().constFirst()));

    const QString kindText = parser.value(typeOpt).toLower();
    ModuleSimulator::Kind kind;
    if (kindText == QLatin1String("icp"))
        kind = ModuleSimulator::Kind::Icp;
    else if (kindText == QLatin1String("prox"))
        kind = ModuleSimulator::Kind::Prox;
    else if (kindText == QLatin1String("relay") || kindText == QLatin1String("rel"))
        kind = ModuleSimulator::Kind::Relay;
    else
        return usageError(QStringLiteral("unknown module kind \"%1\"").arg(kindText));
    sim.resetContents(kind);
    if (parser.isSet(typeNameOpt))
        sim.setTypeName(parser.value(typeNameOpt).toLatin1());
    for (int i = 0; i < 3; ++i) {
        if (parser.isSet(infoOpt[i]))
            sim.setInfoField(i + 1, parser.value(infoOpt[i]).toLatin1());
    }

    quint64 mode = ModuleSimulator::WorkMode, movePeriod = 250, captureDelay = 20, commitStatus = 1,
            restartTime = 500, answerDelay = 0;
    // 0 asks the system for a free port, which the simulator prints once bound.
    if (!ToolCommandLine::parsePort(parser.value(portOpt), listenPort,
                                    ToolCommandLine::PortZero::Allowed))
        return ToolCommandLine::UsageExit;
    if (!number(modeOpt, 0xFFFF, mode))
        return usageError(QStringLiteral("bad mode"));
    if (!number(movePeriodOpt, MaxMs, movePeriod) ||
        !number(captureDelayOpt, MaxMs, captureDelay) ||
        !number(restartTimeOpt, MaxMs, restartTime) || !number(answerDelayOpt, MaxMs, answerDelay))
        return usageError(QStringLiteral("bad time value"));
    if (!number(commitStatusOpt, 0xFFFF, commitStatus))
        return usageError(QStringLiteral("bad commit status"));
    sim.setMode(quint16(mode));
    sim.setMovingValues(!parser.isSet(staticOpt) && kind != ModuleSimulator::Kind::Relay,
                        int(movePeriod));
    sim.setCaptureDelay(int(captureDelay));
    sim.setCommitStatus(quint16(commitStatus));
    sim.setRestartTime(int(restartTime));
    sim.setAnswerDelay(int(answerDelay));

    quint64 wfPoints = 0, spPoints = 0;
    if (!number(wfPointsOpt, 0xFFFFFFFF, wfPoints) || !number(spPointsOpt, 0xFFFFFFFF, spPoints))
        return usageError(QStringLiteral("bad point count"));
    for (int ch = 0; ch < ModuleSimulator::Channels; ++ch) {
        if (parser.isSet(wfPointsOpt))
            sim.setWaveformPoints(ch, quint32(wfPoints));
        if (parser.isSet(spPointsOpt))
            sim.setSpectrumPoints(ch, quint32(spPoints));
    }

    quint64 n = 0;
    if (parser.isSet(dropAfterOpt)) {
        if (!number(dropAfterOpt, MaxInt, n))
            return usageError(QStringLiteral("bad --drop-after"));
        sim.setDropAfter(int(n));
    }
    if (parser.isSet(wrongEchoOpt)) {
        if (!number(wrongEchoOpt, MaxInt, n))
            return usageError(QStringLiteral("bad --wrong-echo"));
        sim.setWrongEcho(int(n));
    }
    sim.setRefuseIdentification(parser.isSet(refuseIdentOpt));
    if (parser.isSet(headerPointsOpt)) {
        quint32 count = 0;
        if (!parseCount(parser.value(headerPointsOpt), count))
            return usageError(QStringLiteral("bad --header-points"));
        sim.setHeaderPointCountOverride(true, count);
    }
    for (const QString &range : parser.values(failReadsOpt)) {
        const QStringList parts = range.split(QLatin1Char(':'));
        quint64 first = 0, count = 0;
        if (parts.size() != 2 || !parseUInt(parts[0], 0x10000, first) ||
            !parseUInt(parts[1], 0xFFFFFFFF, count) || first < 1)
            return usageError(QStringLiteral("bad --fail-reads \"%1\"").arg(range));
        sim.addReadFailRange(uint(first), uint(count));
    }
    return 0;
}
