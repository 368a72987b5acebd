#pragma once

#include "nodestatus.h"

#include <QRandomGenerator>
#include <QtGlobal>

struct SimNode;

// Builds the NodeStatus a simulated node sends at a given time: values from the waveforms,
// condition flags from the thresholds, channel states from the input faults, and a relay word
// whose states follow the node's alarms.
class StatusGenerator
{
public:
    explicit StatusGenerator(quint32 seed);

    NodeStatus build(const SimNode &node, double t);

    // Flags of a measurement at fraction of full scale, or of one whose input is faulty.
    static quint32 conditionFlags(double fraction, double alert, double danger, bool faulty);
    // Whether channel input is faulty at t, and which ChannelState it then reports.
    static bool channelFaulty(double faultEvery, double faultLength, double t);

private:
    QRandomGenerator rng;
    quint32 sequence = 0;
};
