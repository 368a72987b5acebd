#pragma once

#include "simregisters.h"

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

#include <chrono>
#include <optional>
#include <vector>

struct t_orvo_settings;

// What an Orvo measurement (ICP or PROX) or relay module does with its registers: contents,
// moving values, captures after a trigger, the configuration commit and the service requests.
// Knows nothing of sockets or framing; not thread-safe (its owner serialises every call).
// Addresses in read() and write() are protocol addresses (register number minus 1).
class SimulatedModule : public SimRegisters
{
public:
    using Clock = std::chrono::steady_clock;

    enum class Kind {
        Icp,   // "ORVO_ICP": four measurement channels
        Prox,  // "ORVO_PROX": four measurement channels
        Relay, // "ORVO_REL": eight relays, no channels
    };

    // Service requests and captures seen since construction.
    struct Counts
    {
        int commits = 0;
        int waveformTriggers = 0;
        int spectrumTriggers = 0;
        int restarts = 0;
        int boots = 0;
        int testModes = 0;
    };

    explicit SimulatedModule(Kind kind = Kind::Icp);

    // Default contents of a kind (see ModuleSimulator::resetContents); keeps the counts and
    // the pacing settings.
    void reset(Kind kind);
    Kind kind() const { return currentKind; }
    const Counts &counts() const { return seen; }

    // Registers as a client reads them: the window answers and headers are prepared first.
    // headerCount, when set, is announced in the headers instead of the channel's count.
    QVector<quint16> read(uint address, uint count, std::optional<quint32> headerCount = {});
    // Stores what a client wrote and reacts to it; true when a restart was requested.
    bool write(uint address, const QVector<quint16> &values);
    // Brings moving values forward and completes captures whose time has come.
    void advance(Clock::time_point now);
    // The module is back from a restart.
    void restarted();

    // Direct access by register number, for the owner's setters.
    quint16 &reg(uint number) { return regs[number - 1]; }
    quint16 reg(uint number) const { return regs[number - 1]; }
    quint16 *at(uint number) { return regs.data() + (number - 1); }
    const quint16 *at(uint number) const { return regs.data() + (number - 1); }

    void setInfoField(int index, const QByteArray &bytes);
    void setMeasurement(int ch, int slot, quint16 type, quint16 flags, float value, quint16 fsValue,
                        quint16 baseline);
    void setChannelImage(int ch, const QVector<quint16> &image);
    void setChannelStatus(int ch, quint16 status);
    void setRelayStatus(quint32 status); // advances the relay counter on a change
    quint32 relayStatus() const;
    void setSettings(const t_orvo_settings &settings); // advances the counter on a change
    void bumpStatus(uint word) { ++reg(StatusRegister + word); }

    void setMovingValues(bool on, int periodMs);
    void setCaptureDelay(int ms) { captureDelayMs = qMax(0, ms); }
    void setCaptureAutoReady(bool on);
    void setCommitStatus(quint16 value) { commitStatus = value; }
    void setWaveformPoints(int ch, quint32 count);
    void setSpectrumPoints(int ch, quint32 count);

    // Point `index` of the waveform (spectrum = false, selector = id) or spectrum (selector =
    // type) of channel ch.
    static quint32 pointValue(bool spectrum, int ch, quint16 selector, quint32 index);

private:
    struct Capture
    {
        bool pending = false;
        Clock::time_point due;
    };

    quint16 channelMask() const { return reg(SettingsRegister + 112); }
    quint16 *measEntry(int ch, int slot)
    {
        return at(ChannelRegister + ChannelCount * uint(ch) + 8 + 10 * uint(slot));
    }
    void moveValues();
    void prepareWindow(bool spectrum, std::optional<quint32> headerCount);
    void afterWrite(uint address, uint count, bool &restart);

    std::vector<quint16> regs = std::vector<quint16>(0x10000, 0);
    Kind currentKind = Kind::Icp;
    Counts seen;

    quint32 waveformPoints[Channels] = {};
    quint32 spectrumPoints[Channels] = {};

    bool moving = false;
    int movePeriodMs = 250;
    Clock::time_point nextMove = Clock::now();
    quint32 movePhase = 0;

    int captureDelayMs = 20;
    bool autoReady = true;
    Capture waveform;
    Capture spectrum;

    int commitStage = 0; // 1: the first commit word has arrived
    quint16 commitStatus = 1;
};
