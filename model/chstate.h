#pragma once

#include "chmeas.h"

#include <QtGlobal>

#include <memory>
#include <vector>

// The live state of one measurement channel, built once from the module's 88-register
// channel image and never changed afterwards, so it can be shared across threads.
class ChState
{
public:
    // The channel image: a status register, then one entry of EntryRegisters per measurement
    // slot from FirstEntry on.
    static constexpr int ImageRegisters = 88;
    static constexpr int FirstEntry = 8;
    static constexpr int EntryRegisters = 10;
    enum EntryRegister {
        TypeRegister = 0, // 0: slot not in use
        FlagsRegister,    // conditions at bits 0-1, 2-3, 4-5; baseline valid 8; extra flag 9
        ValueLowRegister, // the single-precision value's bit pattern, low half first
        ValueHighRegister,
        FsValueRegister,
        BaselineRegister,
    };
    static constexpr int entryOffset(int slot) { return FirstEntry + EntryRegisters * slot; }

    static constexpr quint16 NoValidData = 0xFFFF;

    ChState(int ch, const quint16 *image);
    ChState(const ChState &) = delete;
    ChState &operator=(const ChState &) = delete;
    ~ChState();

    const int ch;                              // channel index 0..3
    const int status;                          // 0 valid, 1 short, 2 open, 0xFFFF no valid data
    std::vector<std::unique_ptr<ChMeas>> meas; // slots in use, ascending; owned

    // Decodes one 2-bit condition field: 2 or 3 mean undetermined (-1).
    static int decodeCondition(quint16 flags, int shift);
};
