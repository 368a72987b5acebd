#pragma once

#include "journalevent.h"

#include <QByteArray>
#include <vector>

// The statistics of one interval as a trend block stores them.
struct TrendRecord
{
    quint32 count = 0; // 0: nothing was measured in this interval
    float min = 0.0f;
    float max = 0.0f;
    double sum = 0.0;
    float last = 0.0f;
    bool valid = true;

    // Adds a later interval: exact, because sums are kept instead of means.
    void merge(const TrendRecord &later);
};

// One tier's intervals of one measurement over a fixed span, stored as one compressed row:
// a row per interval would need several times the disk for the same numbers.
class TrendBlock
{
public:
    TrendBlock(int intervalS, int slotCount);

    int intervalS() const { return m_intervalS; }
    int slotCount() const { return int(m_records.size()); }
    qint64 spanMs() const { return qint64(m_intervalS) * 1000 * qint64(m_records.size()); }
    // The start of the block that holds an interval starting at timeMs.
    qint64 blockStart(qint64 timeMs) const;

    void set(int slot, const TrendRecord &record);
    const TrendRecord &at(int slot) const { return m_records[slot]; }
    // Merged statistics of slots [first, first + n).
    TrendRecord aggregate(int first, int n) const;

    QByteArray encode() const;
    // False for data that is no block of this shape; the block is then empty.
    bool decode(const QByteArray &data);

private:
    int m_intervalS = 1;
    std::vector<TrendRecord> m_records;
};
