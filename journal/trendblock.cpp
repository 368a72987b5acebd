#include "trendblock.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

// count with the valid flag in its top bit, min, max, sum, last; little-endian.
constexpr int RecordBytes = 4 + 4 + 4 + 8 + 4;
constexpr quint32 InvalidFlag = 0x80000000u;

template <typename T> void put(char *&p, T value)
{
    qToLittleEndian(value, p);
    p += sizeof(T);
}

template <typename T> T take(const char *&p)
{
    const T value = qFromLittleEndian<T>(p);
    p += sizeof(T);
    return value;
}

void putFloat(char *&p, float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    put(p, bits);
}

float takeFloat(const char *&p)
{
    const quint32 bits = take<quint32>(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace

void TrendRecord::merge(const TrendRecord &later)
{
    if (later.count == 0)
        return;
    if (count == 0) {
        *this = later;
        return;
    }
    count += later.count;
    min = qMin(min, later.min);
    max = qMax(max, later.max);
    sum += later.sum;
    last = later.last;
    valid = valid && later.valid;
}

TrendBlock::TrendBlock(int intervalS, int slotCount)
    : m_intervalS(intervalS)
    , m_records(size_t(qMax(1, slotCount)))
{}

void TrendBlock::set(int slot, const TrendRecord &record)
{
    if (slot >= 0 && slot < slotCount())
        m_records[slot] = record;
}

qint64 TrendBlock::blockStart(qint64 timeMs) const
{
    const qint64 span = spanMs();
    qint64 start = timeMs - timeMs % span;
    if (timeMs < 0 && timeMs % span != 0)
        start -= span;
    return start;
}

TrendRecord TrendBlock::aggregate(int first, int n) const
{
    TrendRecord result;
    for (int i = qMax(0, first); i < qMin(first + n, slotCount()); ++i)
        result.merge(m_records[i]);
    return result;
}

QByteArray TrendBlock::encode() const
{
    QByteArray raw(slotCount() * RecordBytes, Qt::Uninitialized);
    char *p = raw.data();
    for (const TrendRecord &r : m_records) {
        put<quint32>(p, qMin(r.count, ~InvalidFlag) | (r.valid ? 0 : InvalidFlag));
        putFloat(p, r.min);
        putFloat(p, r.max);
        quint64 sumBits;
        std::memcpy(&sumBits, &r.sum, sizeof sumBits);
        put<quint64>(p, sumBits);
        putFloat(p, r.last);
    }
    return qCompress(raw, 6);
}

bool TrendBlock::decode(const QByteArray &data)
{
    std::fill(m_records.begin(), m_records.end(), TrendRecord());
    const QByteArray raw = qUncompress(data);
    if (raw.size() != slotCount() * RecordBytes)
        return false;
    const char *p = raw.constData();
    for (TrendRecord &r : m_records) {
        const quint32 countBits = take<quint32>(p);
        r.count = countBits & ~InvalidFlag;
        r.valid = !(countBits & InvalidFlag);
        r.min = takeFloat(p);
        r.max = takeFloat(p);
        const quint64 sumBits = take<quint64>(p);
        std::memcpy(&r.sum, &sumBits, sizeof r.sum);
        r.last = takeFloat(p);
    }
    return true;
}
