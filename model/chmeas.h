#pragma once

#include <QtGlobal>

// One measurement of a channel state; see ChState.
struct ChMeas
{
    int num = 0;           // measurement slot 0..7 within the channel
    unsigned int type = 0; // measurement type code 1..16
    double value = 0.0;    // measured value in the unit of the type
    quint16 fs_value = 0;  // value in full-scale units
    quint16 baseline = 0;  // baseline in full-scale units
    int failure = -1;      // 0 false, 1 true, -1 undetermined
    int alert = -1;
    int danger = -1;
    bool baseline_valid = false;
    bool extra_flag = false; // flags bit 9: carried, shown nowhere
};
