#pragma once

#include <QtGlobal>

// The register map the simulated module serves, in register numbers counted from 1 (the
// protocol address is the number minus 1).
//
// Written out here on purpose rather than taken from the link's map: the simulator is the
// tests' independent oracle, so a wrong number in the link's map shows as a failing test
// instead of being served back consistently wrong.
struct SimRegisters
{
    static constexpr uint InfoRegister = 1; // four 32-byte Latin-1 fields
    static constexpr uint InfoCount = 96;
    static constexpr uint ModeRegister = 97;
    static constexpr uint StatusRegister = 0x400;
    static constexpr uint StatusCount = 125;
    static constexpr uint ChannelRegister = 0x500; // + ChannelCount * channel
    static constexpr uint ChannelCount = 88;
    static constexpr uint RelayRegister = 0x660;
    static constexpr uint RelayCount = 20;
    static constexpr uint WaveformWindow = 0x9000;
    static constexpr uint WaveformHeader = 0x9100;
    static constexpr uint SpectrumWindow = 0x9200;
    static constexpr uint SpectrumHeader = 0x9300;
    static constexpr uint WindowSpan = 0x200; // a window and its header
    static constexpr uint HeaderCount = 125;
    static constexpr uint WindowPoints = 60; // points behind the four echo registers
    static constexpr uint TriggerRegister = 0xA000;
    static constexpr uint SettingsRegister = 0xB000;
    static constexpr uint WriteAreaRegister = 0xD000;
    static constexpr uint CommitRegister = 0xF000;
    static constexpr uint CommitStatusRegister = 0xF00F;
    static constexpr uint ServiceRegister = 0xFF00;
    static constexpr uint TestModeRegister = 0xFF04;

    static constexpr quint16 BootMode = 1;
    static constexpr quint16 WorkMode = 2;
    static constexpr quint16 TestMode = 3;
    static constexpr quint16 WaveformTrigger = 0x2F96;
    static constexpr quint16 SpectrumTrigger = 0x5E58;
    static constexpr quint32 CommitWord1 = 0x4B515A54;
    static constexpr quint32 CommitWord2 = 0x52E7139C;

    // Status block words (word k is register StatusRegister + k); per-channel words start at
    // the given word for channel 0.
    static constexpr uint WordWaveformId = 4;
    static constexpr uint WordWaveformCount = 8;
    static constexpr uint WordSpectrumReady0 = 16;
    static constexpr uint WordSpectrumReady1 = 24;
    static constexpr uint WordSettingsCounter = 28;
    static constexpr uint WordRelayCounter = 29;

    static constexpr int Channels = 4;
    static constexpr int MeasSlots = 8;
};
