#include "statusdatagram.h"

#include <cstring>

namespace Wire {

QByteArray varint(quint64 value, int length)
{
    QByteArray out;
    do {
        out.append(char((value & 0x7F) | 0x80));
        value >>= 7;
    } while (value || out.size() < length);
    out[out.size() - 1] = char(out.back() & 0x7F);
    return out;
}

QByteArray key(quint32 field, quint8 wireType)
{
    return varint((quint64(field) << 3) | wireType);
}

QByteArray uint32Field(quint32 field, quint64 value)
{
    return key(field, Varint) + varint(value);
}

QByteArray fixedField(quint32 field, quint64 value, int bytes)
{
    QByteArray out = key(field, bytes == 8 ? Fixed64 : Fixed32);
    for (int i = 0; i < bytes; ++i)
        out.append(char(value >> (8 * i)));
    return out;
}

QByteArray floatField(quint32 field, float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    return fixedField(field, bits);
}

QByteArray lengthDelimited(quint32 field, const QByteArray &payload)
{
    return key(field, LengthDelimited) + varint(quint64(payload.size())) + payload;
}

} // namespace Wire

namespace StatusDatagram {
using namespace Wire;

QByteArray measBody(const MeasSample &meas)
{
    return floatField(1, meas.value) + uint32Field(2, meas.flags) + uint32Field(7, meas.type) +
           floatField(8, meas.fs_fraction) + floatField(9, meas.baseline_fraction);
}

QByteArray auxBody()
{
    return fixedField(1, 1) + fixedField(2, 2) + uint32Field(3, 3) + uint32Field(4, 4);
}

QByteArray node(const NodeSample &node)
{
    QByteArray out =
        uint32Field(1, node.word1) + uint32Field(2, node.word2) + uint32Field(3, node.node_id);
    for (const ChannelSample &channel : node.channels) {
        QByteArray body;
        for (const MeasSample &meas : channel.meas)
            body += lengthDelimited(quint32(meas.slot), measBody(meas));
        body += uint32Field(10, quint64(qint64(channel.state))) + lengthDelimited(11, auxBody());
        out += lengthDelimited(quint32(3 + channel.channel), body);
    }
    if (node.relay_status)
        out += lengthDelimited(10, fixedField(1, *node.relay_status));
    return out;
}

NodeSample fullNode(quint32 nodeId)
{
    NodeSample node{nodeId, {}, 0xFF0F33C5, 0x01020304, 0xFFFFFFFF};
    for (int c = 1; c <= 4; ++c) {
        ChannelSample channel{c, c - 2, {}}; // states -1 .. 2
        for (int m = 1; m <= 8; ++m)
            channel.meas.append(
                MeasSample{m, -12.5f + 3.75f * float(c * m),
                           quint32(0x0100 | (m % 4) | ((c % 3) << 2) | (((m + c) % 2) << 4)),
                           quint32(2 * m - c % 2), 0.1f * float(m), 0.05f * float(c)});
        node.channels.append(channel);
    }
    return node;
}

} // namespace StatusDatagram
