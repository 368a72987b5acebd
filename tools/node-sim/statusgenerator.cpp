#include "statusgenerator.h"

#include "siminstallation.h"

#include <cmath>
#include <cstring>

namespace {
constexpr quint32 Failure = 1u << 0;
constexpr quint32 AlertTrue = 1u << 2;
constexpr quint32 AlertUndetermined = 2u << 2;
constexpr quint32 DangerTrue = 1u << 4;
constexpr quint32 DangerUndetermined = 2u << 4;
constexpr quint32 BaselineValid = 1u << 8;
constexpr quint32 OverRange = 1u << 9;

bool squareWave(double t, double period)
{
    return std::fmod(t, period) < period / 2.0;
}
} // namespace

StatusGenerator::StatusGenerator(quint32 seed)
    : rng(seed)
{}

quint32 StatusGenerator::conditionFlags(double fraction, double alert, double danger, bool faulty)
{
    if (faulty)
        return Failure | AlertUndetermined | DangerUndetermined;
    quint32 flags = BaselineValid;
    if (fraction >= alert)
        flags |= AlertTrue;
    if (fraction >= danger)
        flags |= DangerTrue;
    if (fraction > 1.0)
        flags |= OverRange;
    return flags;
}

bool StatusGenerator::channelFaulty(double faultEvery, double faultLength, double t)
{
    return faultEvery > 0.0 && std::fmod(t, faultEvery) >= faultEvery - faultLength;
}

NodeStatus StatusGenerator::build(const SimNode &node, double t)
{
    NodeStatus msg = NodeStatus_init_default;
    msg.word1 = ++sequence;
    msg.word2 = quint32(t * 1000.0);
    msg.node_id = node.id;

    bool blip = false;
    if (node.blipEvery > 0.0) {
        const qint64 moment = qint64(std::floor(t / node.blipEvery));
        qint64 &sent = blipsSent[node.id];
        blip = moment > sent;
        sent = qMax(sent, moment);
    }

    bool anyAlert = false;
    bool anyDanger = false;
    for (const SimChannel &channel : node.channelsAt(t)) {
        ChannelStatus *status = addChannelAt(msg, channel.number - 1);
        if (!status)
            continue;
        const bool faulty = channelFaulty(channel.faultEvery, channel.faultLength, t);
        // Faults alternate between short and open circuit from one episode to the next.
        const bool odd = faulty && int(std::floor(t / channel.faultEvery)) % 2;
        status->state = !faulty ? CH_STATE_VALID
                        : odd   ? CH_STATE_OPEN_CIRCUIT
                                : CH_STATE_SHORT_CIRCUIT;
        const float temperature = 35.5f;
        std::memcpy(&status->aux.aux1, &temperature, sizeof temperature);
        status->aux.aux3 = sequence;
        for (const SimMeasurement &sim : channel.meas) {
            MeasStatus *meas = addMeasAt(*status, sim.slot - 1);
            if (!meas)
                continue;
            const double value = faulty ? 0.0 : sim.value.valueAt(t, rng);
            const double fraction = value / sim.fullScale;
            meas->value = float(value);
            meas->type = sim.type;
            meas->flags = conditionFlags(fraction, sim.alert, sim.danger, faulty);
            if (blip && !faulty) {
                meas->flags |= AlertTrue | DangerTrue;
                blip = false;
            }
            meas->fs_fraction = float(fraction);
            meas->baseline_fraction = float(sim.baseline / sim.fullScale);
            anyAlert = anyAlert || (meas->flags & AlertTrue);
            anyDanger = anyDanger || (meas->flags & DangerTrue);
        }
    }

    if (node.hasRelay) {
        quint32 logical = 0;
        quint32 fault = 0;
        for (int r = 0; r < 8; ++r) {
            bool on = false;
            if (r == 0)
                on = anyDanger;
            else if (r == 1)
                on = anyAlert;
            else
                on = squareWave(t + 1.7 * r, 6.0 + 2.0 * r);
            logical |= quint32(on) << r;
        }
        // The highest relay in use reports a fault now and then; its contact then disagrees.
        for (int r = 7; r >= 0; --r) {
            if (node.relaysInUse & (1u << r)) {
                if (std::fmod(t + 3.0 * node.id, 45.0) >= 39.0)
                    fault = 1u << r;
                break;
            }
        }
        const quint32 enabled = node.relaysInUse;
        if (enabled && node.tripEvery > 0.0) {
            const quint32 lowest = enabled & (~enabled + 1);
            logical = node.trippedAt(t) ? (logical | lowest) : (logical & ~lowest);
        }
        logical &= enabled;
        const quint32 physical = (logical ^ fault) & enabled;
        msg.has_relay = true;
        msg.relay.relay_status = logical | (physical << 8) | (fault << 16) | (enabled << 24);
    }
    return msg;
}
