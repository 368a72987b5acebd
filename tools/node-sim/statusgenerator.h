#pragma once

#include "nodestatus.h"

#include <QHash>
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

    // Successive calls for one node must come in time order: a blip goes into the first
    // datagram built at or after each of its moments.
    NodeStatus build(const SimNode &node, double t);

    // Flags of a measurement at fraction of full scale, or of one whose input is faulty.
    static quint32 conditionFlags(double fraction, double alert, double danger, bool faulty);
    // Whether channel input is faulty at t, and which ChannelState it then reports.
    static bool channelFaulty(double faultEvery, double faultLength, double t);

private:
    QRandomGenerator rng;
    quint32 sequence = 0;
    QHash<quint32, qint64> blipsSent; // per node id: the last blip moment sent, as a count
};
