#include "modulesimulator.h"

#include "faultinjector.h"
#include "modbusframe.h"
#include "modbusserver.h"
#include "t_orvo_settings.h"

#include <algorithm>
#include <cstring>
#include <mutex>

struct ModuleSimulator::Private
{
    mutable std::mutex m; // guards module, faults, log and restartMs
    SimulatedModule module;
    FaultInjector faults;
    RequestLog log;
    int restartMs = 500;
    ModbusServer server;

    explicit Private(Kind kind)
        : module(kind)
        , server([this](const quint8 *adu, int length) { return handle(adu, length); },
                 [this] {
                     locked([](Private &p) { p.module.advance(SimulatedModule::Clock::now()); });
                 },
                 [this] { locked([](Private &p) { p.module.restarted(); }); })
    {}

    // Runs f on the state under the lock and returns what it returns.
    template <typename F> auto locked(F f) -> decltype(f(*this))
    {
        std::lock_guard<std::mutex> lock(m);
        return f(*this);
    }
    template <typename F> auto locked(F f) const -> decltype(f(*this))
    {
        std::lock_guard<std::mutex> lock(m);
        return f(*this);
    }

    ModbusServer::Reply handle(const quint8 *adu, int length);
};

ModbusServer::Reply ModuleSimulator::Private::handle(const quint8 *adu, int length)
{
    ModbusServer::Reply reply;
    ModbusFrame::Request request;
    if (!ModbusFrame::parse(adu, length, request)) {
        reply.close = true;
        return reply;
    }

    std::lock_guard<std::mutex> lock(m);
    Transaction t;
    t.function = request.function;
    t.readAddress = request.readAddress;
    t.readCount = request.readCount;
    t.writeAddress = request.writeAddress;
    t.writeCount = request.writeCount;
    t.address = request.writeAddress >= 0 ? request.writeAddress : request.readAddress;
    reply.delayMs = faults.answerDelay();

    if (faults.dropNow()) {
        // Gone before the request had any effect.
        t.outcome = Transaction::Dropped;
        log.add(std::move(t));
        reply.close = true;
        return reply;
    }

    auto refuse = [&](ModbusFrame::Exception code) {
        reply.adu = ModbusFrame::exceptionAnswer(request, code);
        t.outcome = Transaction::Exception;
    };
    bool restart = false;
    if (request.malformed != ModbusFrame::NoException) {
        refuse(request.malformed);
    } else {
        t.written = request.values;
        if (request.writeAddress >= 0)
            restart = module.write(uint(request.writeAddress), request.values);
        if (request.readAddress < 0) {
            reply.adu = ModbusFrame::writeAnswer(request);
        } else if (faults.readFails(uint(request.readAddress), uint(request.readCount))) {
            refuse(ModbusFrame::IllegalAddress);
        } else {
            QVector<quint16> registers = module.read(
                uint(request.readAddress), uint(request.readCount), faults.headerPointCount());
            const bool window = request.readAddress == int(WaveformWindow - 1) ||
                                request.readAddress == int(SpectrumWindow - 1);
            if (window && request.writeAddress == request.readAddress)
                faults.windowTransfer(registers);
            reply.adu = ModbusFrame::readAnswer(request, registers);
        }
    }
    if (restart)
        reply.restartMs = restartMs;
    log.add(std::move(t));
    return reply;
}

// ---------------------------------------------------------------------------------------------

ModuleSimulator::ModuleSimulator(Kind kind)
    : d(std::make_unique<Private>(kind))
{}

ModuleSimulator::~ModuleSimulator()
{
    stop();
}

bool ModuleSimulator::start(const QString &address, quint16 port)
{
    return d->server.start(address, port);
}

void ModuleSimulator::stop()
{
    d->server.stop();
}

bool ModuleSimulator::isRunning() const
{
    return d->server.isRunning();
}

quint16 ModuleSimulator::port() const
{
    return d->server.port();
}

QString ModuleSimulator::address() const
{
    return d->server.address();
}

QString ModuleSimulator::errorString() const
{
    return d->server.errorString();
}

ModuleSimulator::Counters ModuleSimulator::counters() const
{
    Counters c;
    c.clients = d->server.clientCount();
    c.accepted = d->server.acceptedCount();
    static_cast<SimulatedModule::Counts &>(c) =
        d->locked([](const Private &p) { return p.module.counts(); });
    return c;
}

void ModuleSimulator::dropConnections()
{
    d->server.dropConnections();
}

// ---- contents: each one call on the module under the lock --------------------------------------

namespace {
bool validChannel(int ch)
{
    return ch >= 0 && ch < SimRegisters::Channels;
}
} // namespace

void ModuleSimulator::resetContents(Kind kind)
{
    d->locked([=](Private &p) { p.module.reset(kind); });
}

ModuleSimulator::Kind ModuleSimulator::kind() const
{
    return d->locked([](const Private &p) { return p.module.kind(); });
}

void ModuleSimulator::setInfoField(int index, const QByteArray &bytes)
{
    d->locked([&](Private &p) { p.module.setInfoField(index, bytes); });
}

void ModuleSimulator::setMode(quint16 mode)
{
    d->locked([=](Private &p) { p.module.reg(ModeRegister) = mode; });
}

quint16 ModuleSimulator::mode() const
{
    return d->locked([](const Private &p) { return p.module.reg(ModeRegister); });
}

quint16 ModuleSimulator::statusWord(int k) const
{
    if (k < 0 || k >= int(StatusCount))
        return 0;
    return d->locked([=](const Private &p) { return p.module.reg(StatusRegister + uint(k)); });
}

void ModuleSimulator::setStatusWord(int k, quint16 value)
{
    if (k >= 0 && k < int(StatusCount))
        d->locked([=](Private &p) { p.module.reg(StatusRegister + uint(k)) = value; });
}

QVector<quint16> ModuleSimulator::channelImage(int ch) const
{
    if (!validChannel(ch))
        return {};
    return d->locked([=](const Private &p) {
        const quint16 *image = p.module.at(ChannelRegister + ChannelCount * uint(ch));
        return QVector<quint16>(image, image + ChannelCount);
    });
}

void ModuleSimulator::setChannelImage(int ch, const QVector<quint16> &image)
{
    if (validChannel(ch))
        d->locked([&](Private &p) { p.module.setChannelImage(ch, image); });
}

void ModuleSimulator::setChannelStatus(int ch, quint16 status)
{
    if (validChannel(ch))
        d->locked([=](Private &p) { p.module.setChannelStatus(ch, status); });
}

void ModuleSimulator::setMeasurement(int ch, int slot, quint16 type, quint16 flags, float value,
                                     quint16 fsValue, quint16 baseline)
{
    if (!validChannel(ch) || slot < 0 || slot >= MeasSlots)
        return;
    d->locked([=](Private &p) {
        p.module.setMeasurement(ch, slot, type, flags, value, fsValue, baseline);
        p.module.bumpStatus(uint(ch));
    });
}

void ModuleSimulator::setMovingValues(bool on, int periodMs)
{
    d->locked([=](Private &p) { p.module.setMovingValues(on, periodMs); });
}

void ModuleSimulator::setRelayStatus(quint32 status)
{
    d->locked([=](Private &p) { p.module.setRelayStatus(status); });
}

quint32 ModuleSimulator::relayStatus() const
{
    return d->locked([](const Private &p) { return p.module.relayStatus(); });
}

void ModuleSimulator::setSettings(const t_orvo_settings &settings)
{
    d->locked([&](Private &p) { p.module.setSettings(settings); });
}

void ModuleSimulator::settings(t_orvo_settings &out) const
{
    d->locked(
        [&](const Private &p) { std::memcpy(&out, p.module.at(SettingsRegister), sizeof out); });
}

void ModuleSimulator::writeArea(t_orvo_settings &out) const
{
    d->locked(
        [&](const Private &p) { std::memcpy(&out, p.module.at(WriteAreaRegister), sizeof out); });
}

void ModuleSimulator::setCommitStatus(quint16 value)
{
    d->locked([=](Private &p) { p.module.setCommitStatus(value); });
}

void ModuleSimulator::setCaptureDelay(int ms)
{
    d->locked([=](Private &p) { p.module.setCaptureDelay(ms); });
}

void ModuleSimulator::setCaptureAutoReady(bool on)
{
    d->locked([=](Private &p) { p.module.setCaptureAutoReady(on); });
}

void ModuleSimulator::setWaveformPoints(int ch, quint32 count)
{
    d->locked([=](Private &p) { p.module.setWaveformPoints(ch, count); });
}

void ModuleSimulator::setSpectrumPoints(int ch, quint32 count)
{
    d->locked([=](Private &p) { p.module.setSpectrumPoints(ch, count); });
}

void ModuleSimulator::setRestartTime(int ms)
{
    d->locked([=](Private &p) { p.restartMs = std::max(0, ms); });
}

// ---- faults -------------------------------------------------------------------------------------

void ModuleSimulator::setDropAfter(int n)
{
    d->locked([=](Private &p) { p.faults.setDropAfter(n); });
}

void ModuleSimulator::setWrongEcho(int goodTransfers)
{
    d->locked([=](Private &p) { p.faults.setWrongEcho(goodTransfers); });
}

void ModuleSimulator::setAnswerDelay(int ms)
{
    d->locked([=](Private &p) { p.faults.setAnswerDelay(ms); });
}

void ModuleSimulator::setRefuseIdentification(bool on)
{
    d->locked([=](Private &p) { p.faults.setRefuseIdentification(on); });
}

void ModuleSimulator::setHeaderPointCountOverride(bool on, quint32 count)
{
    d->locked([=](Private &p) {
        p.faults.setHeaderPointCount(on ? std::optional<quint32>(count) : std::nullopt);
    });
}

void ModuleSimulator::addReadFailRange(uint firstRegister, uint count)
{
    d->locked([=](Private &p) { p.faults.addReadFailRange(firstRegister, count); });
}

void ModuleSimulator::clearReadFailRanges()
{
    d->locked([](Private &p) { p.faults.clearReadFailRanges(); });
}

void ModuleSimulator::clearFaults()
{
    d->locked([](Private &p) { p.faults.clear(); });
}

// ---- transaction log
// ------------------------------------------------------------------------------

QVector<ModuleSimulator::Transaction> ModuleSimulator::transactions() const
{
    return d->locked([](const Private &p) { return p.log.entries(); });
}

int ModuleSimulator::transactionCount() const
{
    return d->locked([](const Private &p) { return p.log.count(); });
}

void ModuleSimulator::clearTransactions()
{
    d->locked([](Private &p) { p.log.clear(); });
}
