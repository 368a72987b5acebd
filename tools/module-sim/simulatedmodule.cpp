#include "simulatedmodule.h"

#include "t_orvo_settings.h"
#include "vibrationsignal.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr uint AddressSpace = 0x10000;

// Protocol address of a register number.
constexpr uint pa(uint number)
{
    return number - 1;
}

bool overlaps(uint first, uint count, uint rangeFirst, uint rangeCount)
{
    return count > 0 && rangeCount > 0 && first < rangeFirst + rangeCount &&
           rangeFirst < first + count;
}

bool covers(uint first, uint count, uint rangeFirst, uint rangeCount)
{
    return first <= rangeFirst && first + count >= rangeFirst + rangeCount;
}

QByteArray signatureOf(const quint16 *regs)
{
    QByteArray text;
    for (int i = 0; i < 4; ++i) {
        text.append(char(regs[i] & 0xFF));
        text.append(char(regs[i] >> 8));
    }
    return text;
}

void putFloat(quint16 *low, float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    low[0] = quint16(bits & 0xFFFF);
    low[1] = quint16(bits >> 16);
}

} // namespace

SimulatedModule::SimulatedModule(Kind kind)
{
    reset(kind);
}

void SimulatedModule::reset(Kind kind)
{
    currentKind = kind;
    std::fill(regs.begin(), regs.end(), 0);
    setInfoField(0, kind == Kind::Icp ? "ORVO_ICP" : kind == Kind::Prox ? "ORVO_PROX" : "ORVO_REL");
    setInfoField(1, "Sim module");
    setInfoField(2, "1.0");
    setInfoField(3, "SIM-0001");
    reg(ModeRegister) = WorkMode;

    t_orvo_settings s{};
    s.full_scale = 65535;
    s.node_id = 1;
    if (kind == Kind::Relay) {
        for (int r = 0; r < 6; ++r) {
            const QByteArray relayName = "Relay " + QByteArray::number(r + 1);
            std::memcpy(s.relays[r].name, relayName.constData(), size_t(relayName.size()));
            s.relays[r].mode = 3;
        }
        reg(RelayRegister) = 0x0005;
        reg(RelayRegister + 1) = 0x3F00;
    } else {
        s.channel_mask = 0xF;
        static const quint16 types[3] = {1, 2, 5};
        for (int c = 0; c < Channels; ++c) {
            for (int m = 0; m < 3; ++m) {
                s.channels[c].meas[m].type = types[m];
                setMeasurement(c, m, types[m], 0x0100, float(1.5 * (m + 1) + c),
                               quint16(12000 + 1000 * m + 100 * c), 12000);
            }
        }
    }
    std::memcpy(at(SettingsRegister), &s, sizeof s);
    for (int c = 0; c < Channels; ++c) {
        waveformPoints[c] = kind == Kind::Relay ? 0 : 256;
        spectrumPoints[c] = kind == Kind::Relay ? 0 : 128;
    }
    moving = kind != Kind::Relay;
    nextMove = Clock::now() + std::chrono::milliseconds(movePeriodMs);
    commitStage = 0;
    waveform.pending = spectrum.pending = false;
}

// ---- contents ---------------------------------------------------------------------------------

void SimulatedModule::setInfoField(int index, const QByteArray &bytes)
{
    if (index < 0 || index > 3)
        return;
    quint8 field[32] = {};
    std::memcpy(field, bytes.constData(), size_t(std::min<int>(bytes.size(), 32)));
    quint16 *p = at(InfoRegister + uint(index) * 16);
    for (int i = 0; i < 16; ++i)
        p[i] = quint16(field[2 * i] | (field[2 * i + 1] << 8));
}

void SimulatedModule::setMeasurement(int ch, int slot, quint16 type, quint16 flags, float value,
                                     quint16 fsValue, quint16 baseline)
{
    quint16 *e = measEntry(ch, slot);
    e[0] = type;
    e[1] = flags;
    putFloat(e + 2, value);
    e[4] = fsValue;
    e[5] = baseline;
}

void SimulatedModule::setChannelImage(int ch, const QVector<quint16> &image)
{
    quint16 *p = at(ChannelRegister + ChannelCount * uint(ch));
    std::fill_n(p, ChannelCount, 0);
    std::copy_n(image.constData(), std::min<int>(image.size(), int(ChannelCount)), p);
    bumpStatus(uint(ch));
}

void SimulatedModule::setChannelStatus(int ch, quint16 status)
{
    reg(ChannelRegister + ChannelCount * uint(ch)) = status;
    bumpStatus(uint(ch));
}

void SimulatedModule::setRelayStatus(quint32 status)
{
    if (status == relayStatus())
        return;
    reg(RelayRegister) = quint16(status & 0xFFFF);
    reg(RelayRegister + 1) = quint16(status >> 16);
    bumpStatus(WordRelayCounter);
}

quint32 SimulatedModule::relayStatus() const
{
    return quint32(reg(RelayRegister)) | (quint32(reg(RelayRegister + 1)) << 16);
}

void SimulatedModule::setSettings(const t_orvo_settings &settings)
{
    if (std::memcmp(at(SettingsRegister), &settings, sizeof settings) == 0)
        return;
    std::memcpy(at(SettingsRegister), &settings, sizeof settings);
    bumpStatus(WordSettingsCounter);
}

void SimulatedModule::setMovingValues(bool on, int periodMs)
{
    moving = on;
    movePeriodMs = std::max(1, periodMs);
    nextMove = Clock::now() + std::chrono::milliseconds(movePeriodMs);
}

void SimulatedModule::setCaptureAutoReady(bool on)
{
    autoReady = on;
    if (!on)
        waveform.pending = spectrum.pending = false;
}

void SimulatedModule::setWaveformPoints(int ch, quint32 count)
{
    if (ch >= 0 && ch < Channels)
        waveformPoints[ch] = count;
}

void SimulatedModule::setSpectrumPoints(int ch, quint32 count)
{
    if (ch >= 0 && ch < Channels)
        spectrumPoints[ch] = count;
}

quint32 SimulatedModule::pointValue(bool spectrum, int ch, quint16 selector, quint32 index)
{
    return VibrationSignal::pointBits(spectrum, ch, selector, index);
}

// ---- behaviour --------------------------------------------------------------------------------

void SimulatedModule::moveValues()
{
    ++movePhase;
    const quint16 mask = channelMask();
    for (int c = 0; c < Channels; ++c) {
        if (!(mask & (1u << c)))
            continue;
        bool changed = false;
        for (int m = 0; m < MeasSlots; ++m) {
            quint16 *e = measEntry(c, m);
            if (e[0] == 0)
                continue;
            const double base = 1.5 * (m + 1) + c;
            const float value = float(base * (1.0 + 0.1 * std::sin(movePhase * 0.7 + c + m)));
            putFloat(e + 2, value);
            e[4] = quint16(std::min(65535.0, value / (base * 1.2) * 40000.0));
            changed = true;
        }
        if (changed)
            bumpStatus(uint(c));
    }
}

void SimulatedModule::advance(Clock::time_point now)
{
    if (moving && now >= nextMove) {
        nextMove = now + std::chrono::milliseconds(movePeriodMs);
        moveValues();
    }
    const quint16 mask = channelMask();
    if (waveform.pending && now >= waveform.due) {
        waveform.pending = false;
        for (uint c = 0; c < uint(Channels); ++c) {
            if (mask & (1u << c)) {
                ++reg(StatusRegister + WordWaveformId + c);
                reg(StatusRegister + WordWaveformCount + c) = 1;
            }
        }
    }
    if (spectrum.pending && now >= spectrum.due) {
        spectrum.pending = false;
        for (uint c = 0; c < uint(Channels); ++c) {
            if (mask & (1u << c)) {
                reg(StatusRegister + WordSpectrumReady0 + c) = 1;
                reg(StatusRegister + WordSpectrumReady1 + c) = 1;
            }
        }
    }
}

void SimulatedModule::restarted()
{
    reg(ModeRegister) = WorkMode;
}

void SimulatedModule::prepareWindow(bool spectrum, std::optional<quint32> headerCount)
{
    const uint window = spectrum ? SpectrumWindow : WaveformWindow;
    const quint16 ch = reg(window);
    const quint16 sel = reg(window + 1);
    const quint32 offset = quint32(reg(window + 2)) | (quint32(reg(window + 3)) << 16);
    quint32 count = 0;
    if (headerCount)
        count = *headerCount;
    else if (ch < Channels)
        count = spectrum ? spectrumPoints[ch] : waveformPoints[ch];

    quint16 *h = at(spectrum ? SpectrumHeader : WaveformHeader);
    for (uint k = 0; k < HeaderCount; ++k)
        h[k] = quint16(0x5A00 + k);
    h[0] = ch;
    h[1] = sel;
    h[2] = quint16(count & 0xFFFF);
    h[3] = quint16(count >> 16);
    quint16 *p = at(window + 4);
    for (quint32 i = 0; i < WindowPoints; ++i) {
        const quint64 index = quint64(offset) + i;
        const quint32 v = index < count ? pointValue(spectrum, ch, sel, quint32(index)) : 0;
        p[2 * i] = quint16(v & 0xFFFF);
        p[2 * i + 1] = quint16(v >> 16);
    }
}

QVector<quint16> SimulatedModule::read(uint address, uint count, std::optional<quint32> headerCount)
{
    if (address >= AddressSpace || count > AddressSpace - address)
        return {};
    if (overlaps(address, count, pa(WaveformWindow), WindowSpan))
        prepareWindow(false, headerCount);
    if (overlaps(address, count, pa(SpectrumWindow), WindowSpan))
        prepareWindow(true, headerCount);
    return QVector<quint16>(regs.data() + address, regs.data() + address + count);
}

bool SimulatedModule::write(uint address, const QVector<quint16> &values)
{
    const uint count = uint(values.size());
    if (address >= AddressSpace || count > AddressSpace - address)
        return false;
    std::copy(values.begin(), values.end(), regs.begin() + address);
    bool restart = false;
    afterWrite(address, count, restart);
    return restart;
}

void SimulatedModule::afterWrite(uint addr, uint count, bool &restart)
{
    if (overlaps(addr, count, pa(TriggerRegister), 1)) {
        const quint16 word = reg(TriggerRegister);
        const auto due = Clock::now() + std::chrono::milliseconds(captureDelayMs);
        if (word == WaveformTrigger) {
            ++seen.waveformTriggers;
            for (uint c = 0; c < uint(Channels); ++c)
                reg(StatusRegister + WordWaveformCount + c) = 0;
            waveform = {autoReady, due};
        } else if (word == SpectrumTrigger) {
            ++seen.spectrumTriggers;
            for (uint c = 0; c < uint(Channels); ++c) {
                reg(StatusRegister + WordSpectrumReady0 + c) = 0;
                reg(StatusRegister + WordSpectrumReady1 + c) = 0;
            }
            spectrum = {autoReady, due};
        }
    }
    if (overlaps(addr, count, pa(CommitRegister), 2)) {
        const quint32 word =
            quint32(reg(CommitRegister)) | (quint32(reg(CommitRegister + 1)) << 16);
        if (word == CommitWord1) {
            commitStage = 1;
        } else if (word == CommitWord2 && commitStage == 1) {
            commitStage = 0;
            std::copy_n(at(WriteAreaRegister), OrvoSettings::RegisterCount, at(SettingsRegister));
            reg(CommitStatusRegister) = commitStatus;
            ++seen.commits;
            bumpStatus(WordSettingsCounter);
        } else {
            commitStage = 0;
        }
    }
    // A signature counts only when all four of its registers arrive in one write.
    if (covers(addr, count, pa(ServiceRegister), 4)) {
        const QByteArray sig = signatureOf(at(ServiceRegister));
        if (sig == "KXQZMWPA") {
            ++seen.restarts;
            restart = true;
        } else if (sig == "KXQZJRVD") {
            ++seen.boots;
            reg(ModeRegister) = BootMode;
        }
        std::fill_n(at(ServiceRegister), 4, 0);
    }
    if (covers(addr, count, pa(TestModeRegister), 4)) {
        if (signatureOf(at(TestModeRegister)) == "PWJQZXMV") {
            ++seen.testModes;
            reg(ModeRegister) = TestMode;
        }
        std::fill_n(at(TestModeRegister), 4, 0);
    }
}
