#include "trendblock.h"

#include <QtEndian>

#include <zlib.h>

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

// zlib with a window that fits a block: qCompress sets up (and the kernel zeroes) a quarter
// megabyte of state for every block, which cost more than the compression itself.
QByteArray deflateBytes(const QByteArray &raw)
{
    z_stream z{};
    if (deflateInit2(&z, 6, Z_DEFLATED, 12, 4, Z_DEFAULT_STRATEGY) != Z_OK)
        return QByteArray();
    // The length first, as qCompress writes it.
    QByteArray out(int(4 + deflateBound(&z, uLong(raw.size()))), Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(raw.size()), out.data());
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(raw.constData()));
    z.avail_in = uInt(raw.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data() + 4);
    z.avail_out = uInt(out.size() - 4);
    const int rc = deflate(&z, Z_FINISH);
    deflateEnd(&z);
    if (rc != Z_STREAM_END)
        return QByteArray();
    out.resize(int(4 + z.total_out));
    return out;
}

bool inflateBytes(const QByteArray &data, int expected, QByteArray *raw)
{
    if (data.size() < 4 || qFromBigEndian<quint32>(data.constData()) != quint32(expected))
        return false;
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return false;
    raw->resize(expected);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData() + 4));
    z.avail_in = uInt(data.size() - 4);
    z.next_out = reinterpret_cast<Bytef *>(raw->data());
    z.avail_out = uInt(expected);
    const int rc = inflate(&z, Z_FINISH);
    const bool ok = rc == Z_STREAM_END && z.total_out == uLong(expected);
    inflateEnd(&z);
    return ok;
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
    // Byte k of every record side by side: the counts, flags and exponents of a block barely
    // change, and compress to almost nothing once they stand together.
    const int n = slotCount();
    QByteArray planes(raw.size(), Qt::Uninitialized);
    const char *from = raw.constData();
    char *to = planes.data();
    for (int i = 0; i < n; ++i) {
        for (int k = 0; k < RecordBytes; ++k)
            to[k * n + i] = from[i * RecordBytes + k];
    }
    return deflateBytes(planes);
}

bool TrendBlock::decode(const QByteArray &data)
{
    std::fill(m_records.begin(), m_records.end(), TrendRecord());
    const int n = slotCount();
    QByteArray planes;
    if (!inflateBytes(data, n * RecordBytes, &planes))
        return false;
    QByteArray raw(planes.size(), Qt::Uninitialized);
    const char *from = planes.constData();
    char *to = raw.data();
    for (int i = 0; i < n; ++i) {
        for (int k = 0; k < RecordBytes; ++k)
            to[i * RecordBytes + k] = from[k * n + i];
    }
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
