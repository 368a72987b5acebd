#pragma once

#include <QByteArray>
#include <QtGlobal>

// Protocol Buffers wire format, written by hand so that tests do not check nanopb against
// itself, and so that they can write what no encoder would: over-long varints, wrong wire
// types, tag 0, groups, lengths that run past the end.
namespace Wire {

enum WireType : quint8 {
    Varint = 0,
    Fixed64 = 1,
    LengthDelimited = 2,
    StartGroup = 3,
    EndGroup = 4,
    Fixed32 = 5,
    Reserved6 = 6,
    Reserved7 = 7,
};

// Shortest varint of value.
QByteArray varint(quint64 value);
// value as a varint of exactly length bytes (1..more than 10), padded with continuation bytes;
// length must be at least the shortest encoding.
QByteArray paddedVarint(quint64 value, int length);
// The key of a field: (field << 3) | wireType as a varint. Field 0 is allowed.
QByteArray key(quint32 field, quint8 wireType);

QByteArray uint32Field(quint32 field, quint64 value);
// Signed 32-bit value as a standard encoder writes it: negatives sign-extended to ten bytes.
QByteArray int32Field(quint32 field, qint32 value);
QByteArray fixed32Field(quint32 field, quint32 value);
QByteArray floatField(quint32 field, float value);
QByteArray fixed64Field(quint32 field, quint64 value);
QByteArray lengthDelimited(quint32 field, const QByteArray &payload);

} // namespace Wire
