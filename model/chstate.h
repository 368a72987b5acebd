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
    static constexpr int ImageRegisters = 88;
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
