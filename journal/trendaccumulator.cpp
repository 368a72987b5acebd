#include "trendaccumulator.h"

#include "statusconversion.h"

#include <cmath>

void TrendAccumulator::add(const NodeStatus &msg, qint64 timeMs)
{
    if (msg.node_id == 0 || msg.node_id > 32)
        return;
    const int node = int(msg.node_id);
    // Floor division: receive times before 1970 would otherwise round the wrong way.
    const qint64 startMs = timeMs - ((timeMs % IntervalMs) + IntervalMs) % IntervalMs;
    for (int c = 0; c < 4; ++c) {
        const ChannelStatus *channel = channelAt(msg, c);
        if (!channel)
            continue;
        const bool valid = channelStatusCode(channelStateOf(*channel)) == 0;
        for (int m = 0; m < 8; ++m) {
            const MeasStatus *meas = measAt(*channel, m);
            if (!meas)
                continue;
            const quint32 type = validMeasType(meas->type);
            if (type == 0)
                continue;
            const float value = meas->value;
            // A NaN or an infinity is no reading; counted, it would spoil every mean above it.
            if (!std::isfinite(value))
                continue;
            Open &open = table[node - 1][c][m];
            // A new second, or another measurement in the same slot, ends what was open.
            if (open.count > 0 && (open.startMs != startMs || open.type != type))
                finish(node, c + 1, m + 1, open, &closed);
            if (open.count == 0) {
                open.startMs = startMs;
                open.type = type;
                open.min = open.max = value;
            } else {
                open.min = qMin(open.min, value);
                open.max = qMax(open.max, value);
            }
            ++open.count;
            open.sum += double(value);
            open.last = value;
            open.valid = open.valid && valid;
        }
    }
}

void TrendAccumulator::finish(int node, int channel, int slot, Open &open,
                              QVector<TrendInterval> *out)
{
    TrendInterval interval;
    interval.node = node;
    interval.channel = channel;
    interval.slot = slot;
    interval.measType = open.type;
    interval.startMs = open.startMs;
    interval.intervalS = IntervalMs / 1000;
    interval.count = open.count;
    interval.min = open.min;
    interval.max = open.max;
    interval.sum = open.sum;
    interval.last = open.last;
    interval.valid = open.valid;
    out->append(interval);
    open = Open();
}

void TrendAccumulator::takeFinished(qint64 nowMs, QVector<TrendInterval> *out)
{
    out->append(closed);
    closed.clear();
    for (int n = 0; n < 32; ++n) {
        for (int c = 0; c < 4; ++c) {
            for (int m = 0; m < 8; ++m) {
                Open &open = table[n][c][m];
                if (open.count > 0 && open.startMs + IntervalMs <= nowMs)
                    finish(n + 1, c + 1, m + 1, open, out);
            }
        }
    }
}

void TrendAccumulator::takeAll(QVector<TrendInterval> *out)
{
    out->append(closed);
    closed.clear();
    for (int n = 0; n < 32; ++n) {
        for (int c = 0; c < 4; ++c) {
            for (int m = 0; m < 8; ++m) {
                if (table[n][c][m].count > 0)
                    finish(n + 1, c + 1, m + 1, table[n][c][m], out);
            }
        }
    }
}
