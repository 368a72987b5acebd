#pragma once

#include "requestlog.h"
#include "simulatedmodule.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <memory>

struct t_orvo_settings;

// A Modbus TCP server that behaves like an Orvo measurement (ICP or PROX) or relay module as far
// as the register link and the measurement poller see it. It runs its own thread and serves any
// number of clients one request at a time, so a test can drive it from the GUI thread while a
// link talks to it. Every public member function is thread-safe.
//
// The parts: SimulatedModule (what the registers do), ModbusFrame (the wire format),
// FaultInjector, RequestLog and ModbusServer (sockets and thread); this class joins them under
// one lock.
//
// Register numbers in this interface are counted from 1, exactly as the link names them; the
// protocol address on the wire is the number minus 1. The transaction log records protocol
// addresses (what the server saw) and offers the register numbers as helpers.
//
// Register map served (register numbers; the constants are in SimRegisters):
//   1..96           information block: four 32-byte Latin-1 fields (type name, three texts),
//                   64 further bytes; two characters per register, first in the low byte
//   97              device mode: 2 = work mode, 1 = boot loader, 3 = test mode
//   0x400 (125)     status block: words 0-3 channel change counters, 4-7 last waveform id,
//                   8-11 waveform counts, 16-19 / 24-27 spectrum of type 0 / 1 ready,
//                   28 settings change counter, 29 relay change counter
//   0x500 + 88*ch   channel state images (88 registers each, ch 0..3)
//   0x660 (20)      relay block; registers 0-1 the 32-bit relay status, low half first
//   0x9000 / 0x9200 waveform / spectrum request window (4 request registers, answers of
//                   4 echo registers and up to 60 points of two registers each)
//   0x9100 / 0x9300 waveform / spectrum header (125 registers, point count in bytes 4-7)
//   0xA000          capture trigger: 0x2F96 waveform, 0x5E58 spectrum
//   0xB000 (3286)   current settings record
//   0xD000 (3286)   settings record to take over
//   0xF000 (2)      commit words: 0x4B515A54 then 0x52E7139C, low half first
//   0xF00F          commit status (non-zero after a commit, see setCommitStatus)
//   0xFF00 (4)      "KXQZMWPA" restart, "KXQZJRVD" boot loader
//   0xFF04 (4)      "PWJQZXMV" test mode
// Reads use function 4 (function 3 reads the same registers), writes function 16 (or 6), the
// windows function 23. Registers outside the map read as they were last written (zero first).
class ModuleSimulator : public SimRegisters
{
public:
    using Kind = SimulatedModule::Kind;
    using Transaction = RequestLog::Entry;

    // Commits, triggers and service requests seen since construction, and the connections.
    struct Counters : SimulatedModule::Counts
    {
        int clients = 0;  // connections open now
        int accepted = 0; // connections accepted since start()
    };

    // A fresh simulator of the given kind with its default contents (see resetContents); it
    // does not listen until start().
    explicit ModuleSimulator(Kind kind = Kind::Icp);
    ~ModuleSimulator(); // stops the server
    ModuleSimulator(const ModuleSimulator &) = delete;
    ModuleSimulator &operator=(const ModuleSimulator &) = delete;

    // Listens on address:port (IPv4 or IPv6 literal or host name; port 0 picks a free port) and
    // starts the server thread. False with errorString() when the address cannot be bound.
    bool start(const QString &address = QStringLiteral("127.0.0.1"), quint16 port = 0);
    void stop(); // closes every connection and the listening socket, joins the thread
    bool isRunning() const;
    quint16 port() const;    // the bound port, valid after a successful start()
    QString address() const; // the address given to start()
    QString errorString() const;

    Counters counters() const;
    int clientCount() const { return counters().clients; }
    int acceptedCount() const { return counters().accepted; }
    // Closes every client connection at once (a module that vanished from the network); the
    // server keeps listening.
    void dropConnections();

    // ---- Contents ------------------------------------------------------------------------
    // Default contents for a kind: type name, information texts "Sim module", "1.0", "SIM-0001",
    // work mode, and for Icp/Prox channels 1-4 active (channel_mask 0xF, full_scale 65535,
    // node_id 1) with measurement types 1, 2 and 5 in slots 0-2 of every channel, channel images
    // matching them with status 0, 256 waveform and 128 spectrum points per channel; for Relay
    // relays 1-6 in use named "Relay 1".."Relay 6", relay status 0x3F000005 (relays 1-6 enabled,
    // relays 1 and 3 logically on). Moving values are on for measurement kinds.
    // Keeps faults, the log and the connection state.
    void resetContents(Kind kind);
    Kind kind() const;

    // Information block field 0..3 (0 = type name): the raw bytes, at most 32; shorter fields
    // are padded with NUL, a field of exactly 32 bytes has no NUL.
    void setInfoField(int index, const QByteArray &bytes);
    void setTypeName(const QByteArray &name) { setInfoField(0, name); }
    void setMode(quint16 mode);
    quint16 mode() const;

    // Status block word k (0..124), read or set directly.
    quint16 statusWord(int k) const;
    void setStatusWord(int k, quint16 value);

    // Channel state image of channel ch (0..3). Every setter that changes the image advances
    // the channel's change counter (status word ch).
    QVector<quint16> channelImage(int ch) const;
    void setChannelImage(int ch, const QVector<quint16> &image);
    void setChannelStatus(int ch, quint16 status);
    // Entry slot (0..7): type (0 = not in use), flags, value (float, low half first), full
    // scale value and baseline.
    void setMeasurement(int ch, int slot, quint16 type, quint16 flags, float value, quint16 fsValue,
                        quint16 baseline);
    // While on, every periodMs the values of all entries in use of the active channels change
    // and their counters advance.
    void setMovingValues(bool on, int periodMs = 250);

    // Relay status word (0x660-0x661); a change advances status word 29.
    void setRelayStatus(quint32 status);
    quint32 relayStatus() const;

    // Settings record at 0xB000; a change advances status word 28. The write area at 0xD000
    // holds what a client last wrote there.
    void setSettings(const t_orvo_settings &settings);
    void settings(t_orvo_settings &out) const;
    void writeArea(t_orvo_settings &out) const;
    // Value register 0xF00F takes on after a commit (default 1); 0 before the first commit.
    void setCommitStatus(quint16 value);
    int commitCount() const { return counters().commits; }

    // Capture: after a trigger the ready words are cleared, and captureDelayMs later (default
    // 20 ms) they show the new capture for every channel of the settings' channel_mask:
    // waveform id (word 4 + c, advancing) and count 1 (word 8 + c); spectrum ready 1 in words
    // 16 + c and 24 + c. With auto-ready off the words stay cleared until set by hand.
    void setCaptureDelay(int ms);
    void setCaptureAutoReady(bool on);
    int waveformTriggerCount() const { return counters().waveformTriggers; }
    int spectrumTriggerCount() const { return counters().spectrumTriggers; }

    // Point counts announced by the headers, per channel (0..3); the points themselves are
    // pointValue(). Any 32-bit count is served: points are computed, not stored. Header
    // register k (0..124) as served: 0 = channel, 1 = id or type, 2-3 = point count (low half
    // first), the rest the fixed pattern 0x5A00 + k.
    void setWaveformPoints(int ch, quint32 count);
    void setSpectrumPoints(int ch, quint32 count);
    // The value of point `index` of the waveform (spectrum = false, selector = id) or spectrum
    // (spectrum = true, selector = type) of channel ch: a 32-bit float (VibrationSignal).
    static quint32 pointValue(bool spectrum, int ch, quint16 selector, quint32 index)
    {
        return SimulatedModule::pointValue(spectrum, ch, selector, index);
    }

    // Service requests seen (restart, boot loader, test mode).
    int restartCount() const { return counters().restarts; }
    int bootCount() const { return counters().boots; }
    int testModeCount() const { return counters().testModes; }
    // After a restart signature the write is answered, every connection is closed and the
    // listening socket is closed for restartMs (connections refused), then it listens again on
    // the same port with the mode back at 2. Default 500 ms.
    void setRestartTime(int ms);

    // ---- Faults (each stays until changed unless said otherwise) ---------------------------
    // Answer the next n requests, then close the connection on the one after instead of
    // carrying it out (a write it carries has no effect); one-shot. -1 disables.
    void setDropAfter(int n);
    // Window transfers (function 23 on a request window): the first `goodTransfers` from now
    // echo correctly, every later one echoes an offset one higher. -1 disables.
    void setWrongEcho(int goodTransfers);
    // Every answer is sent this many milliseconds late (0 = at once).
    void setAnswerDelay(int ms);
    // Reads touching the information block are answered with exception 2.
    void setRefuseIdentification(bool on);
    // The headers announce this raw 32-bit point count (for example 0xFFFFFFFF, taken as -1 by
    // a signed reader) instead of the channel's count.
    void setHeaderPointCountOverride(bool on, quint32 count = 0);
    // Reads (function 3, 4 or the read part of 23) touching registers first..first+count-1 are
    // answered with exception 2.
    void addReadFailRange(uint firstRegister, uint count);
    void clearReadFailRanges();
    void clearFaults(); // all of the above off

    // ---- Transaction log (at most 100000 entries; the oldest go first) ------------------
    QVector<Transaction> transactions() const;
    int transactionCount() const;
    void clearTransactions();

private:
    struct Private;
    std::unique_ptr<Private> d;
};
