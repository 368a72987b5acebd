#include "wireformat.h"

#include <cstring>

namespace Wire {

QByteArray varint(quint64 value)
{
    QByteArray out;
    do {
        quint8 byte = value & 0x7F;
        value >>= 7;
        if (value)
            byte |= 0x80;
        out.append(char(byte));
    } while (value);
    return out;
}

QByteArray paddedVarint(quint64 value, int length)
{
    QByteArray out = varint(value);
    Q_ASSERT(length >= out.size());
    if (out.size() == length)
        return out;
    out[out.size() - 1] = char(quint8(out.back()) | 0x80);
    while (out.size() < length - 1)
        out.append(char(0x80));
    out.append(char(0x00));
    return out;
}

QByteArray key(quint32 field, quint8 wireType)
{
    return varint((quint64(field) << 3) | (wireType & 7));
}

QByteArray uint32Field(quint32 field, quint64 value)
{
    return key(field, Varint) + varint(value);
}

QByteArray int32Field(quint32 field, qint32 value)
{
    return key(field, Varint) + varint(quint64(qint64(value)));
}

QByteArray fixed32Field(quint32 field, quint32 value)
{
    QByteArray out = key(field, Fixed32);
    for (int i = 0; i < 4; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
    return out;
}

QByteArray floatField(quint32 field, float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray out = fixed32Field(field, bits);
    return out;
}

QByteArray fixed64Field(quint32 field, quint64 value)
{
    QByteArray out = key(field, Fixed64);
    for (int i = 0; i < 8; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
    return out;
}

QByteArray lengthDelimited(quint32 field, const QByteArray &payload)
{
    return key(field, LengthDelimited) + varint(quint64(payload.size())) + payload;
}

} // namespace Wire
