#pragma once

#include "t_orvo_settings.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The module's register map as the link, the poller and the console use it. Registers are
// numbered from 1; the protocol address on the wire is the number minus 1. A 32-bit value spans
// two registers, low half first.
namespace ModuleRegisters {

// Identification and mode.
constexpr uint InfoRegister = 1;
constexpr uint InfoCount = 96; // type name and three texts, then 64 bytes unused
constexpr int InfoFieldBytes = 32;
constexpr uint ProbeCount = 16; // the watchdog's liveness read; its content is ignored
constexpr uint ModeRegister = 97;
constexpr quint16 BootMode = 1;
constexpr quint16 WorkMode = 2;
constexpr quint16 TestMode = 3;

// What the poller watches.
constexpr uint StatusRegister = 0x400;
constexpr uint StatusCount = 125;
constexpr uint ChannelStateRegister = 0x500; // one block per channel, back to back
constexpr uint ChannelStateCount = 88;
constexpr uint RelayRegister = 0x660; // first two registers: the 32-bit relay status
constexpr uint RelayCount = 20;
constexpr int Channels = OrvoSettings::ChannelCount;

// Words of the status block (word k is register StatusRegister + k); per-channel words start
// at the given word for channel 0.
constexpr int WordChannelCounter = 0;
constexpr int WordWaveformLastId = 4;
constexpr int WordWaveformCount = 8;           // non-zero: the channel's waveform is ready
constexpr int WordSpectrumReady[2] = {16, 24}; // per spectrum type
constexpr int WordSettingsCounter = 28;
constexpr int WordRelayCounter = 29;

// Capture trigger.
constexpr uint TriggerRegister = 0xA000;
constexpr quint16 WaveformTrigger = 0x2F96;
constexpr quint16 SpectrumTrigger = 0x5E58;

// Waveform and spectrum request windows: four request registers (channel, id or type, 32-bit
// point offset), echoed ahead of the points of an answer.
constexpr uint WaveformWindow = 0x9000;
constexpr uint WaveformHeader = 0x9100;
constexpr uint SpectrumWindow = 0x9200;
constexpr uint SpectrumHeader = 0x9300;
constexpr uint WindowRequestCount = 4;
constexpr uint HeaderCount = 125;
constexpr uint HeaderPointCount = 2; // the 32-bit point count: header registers 2 and 3
constexpr quint32 PointsPerTransfer = 60;

// Configuration transfer.
constexpr uint SettingsRegister = 0xB000;
constexpr uint WriteAreaRegister = 0xD000;
constexpr uint CommitRegister = 0xF000;
constexpr uint CommitStatusRegister = 0xF00F;
constexpr quint32 CommitWord1 = 0x4B515A54;
constexpr quint32 CommitWord2 = 0x52E7139C;

// Service requests: eight characters, two per register, the first in the low byte.
constexpr uint ServiceRegister = 0xFF00;
constexpr uint TestModeRegister = 0xFF04;
constexpr uint SignatureCount = 4;
constexpr char RestartSignature[] = "KXQZMWPA";
constexpr char BootSignature[] = "KXQZJRVD";
constexpr char TestModeSignature[] = "PWJQZXMV";

inline void signatureRegisters(const char *signature, quint16 (&regs)[SignatureCount])
{
    for (uint i = 0; i < SignatureCount; ++i)
        regs[i] = quint16(quint8(signature[2 * i]) | (quint8(signature[2 * i + 1]) << 8));
}

// A text field of the information block (the registers as bytes, low byte first): Latin-1 up
// to the first NUL, never past its bytes.
inline QString infoText(const QByteArray &block, int index)
{
    const QByteArray field = block.mid(InfoFieldBytes * index, InfoFieldBytes);
    const int nul = field.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? field : field.left(nul));
}

} // namespace ModuleRegisters
