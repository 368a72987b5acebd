#pragma once

#include "journalevent.h"
#include "nodestatus.h"

#include <QVector>
#include <QtGlobal>

// Exact statistics of every configured measurement per second of receive time: count, minimum,
// maximum, sum and last value, and whether its channel reported "Valid data" throughout. Kept
// in a fixed table, so a datagram costs a few comparisons and no allocation.
class TrendAccumulator
{
public:
    static constexpr int IntervalMs = 1000;

    // Adds the values of one accepted datagram (node id 1..32) received at timeMs.
    void add(const NodeStatus &msg, qint64 timeMs);
    // Appends every interval that ended at or before nowMs and forgets it.
    void takeFinished(qint64 nowMs, QVector<TrendInterval> *out);
    // Appends every interval, finished or not: for the end of recording.
    void takeAll(QVector<TrendInterval> *out);

private:
    struct Open
    {
        qint64 startMs = 0;
        quint32 type = 0;
        quint32 count = 0; // 0: nothing accumulated
        float min = 0.0f;
        float max = 0.0f;
        double sum = 0.0;
        float last = 0.0f;
        bool valid = true;
    };

    void finish(int node, int channel, int slot, Open &open, QVector<TrendInterval> *out);

    Open table[32][4][8];
    // Intervals that a later second closed before takeFinished collected them.
    QVector<TrendInterval> closed;
};
