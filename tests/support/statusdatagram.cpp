#include "statusdatagram.h"

#include "wireformat.h"

namespace {
// Tags of the schema, kept apart from the generated ones on purpose.
enum : quint32 {
    NodeWord1 = 1,
    NodeWord2 = 2,
    NodeId = 3,
    NodeChannel1 = 4,
    NodeRelay = 10,
    ChannelMeas1 = 1,
    ChannelState = 10,
    ChannelAux = 11,
    MeasValue = 1,
    MeasFlags = 2,
    MeasType = 7,
    MeasFsFraction = 8,
    MeasBaselineFraction = 9,
    RelayWord = 1,
};
} // namespace

namespace StatusDatagram {

QByteArray measBody(const MeasSpec &meas)
{
    return Wire::floatField(MeasValue, meas.value) + Wire::uint32Field(MeasFlags, meas.flags) +
           Wire::uint32Field(MeasType, meas.type) +
           Wire::floatField(MeasFsFraction, meas.fs_fraction) +
           Wire::floatField(MeasBaselineFraction, meas.baseline_fraction);
}

QByteArray auxBody(const quint32 (&aux)[4])
{
    return Wire::fixed32Field(1, aux[0]) + Wire::fixed32Field(2, aux[1]) +
           Wire::uint32Field(3, aux[2]) + Wire::uint32Field(4, aux[3]);
}

QByteArray channelBody(const ChannelSpec &channel)
{
    QByteArray out;
    for (const MeasSpec &meas : channel.meas)
        out += Wire::lengthDelimited(ChannelMeas1 + quint32(meas.slot - 1), measBody(meas));
    out += Wire::int32Field(ChannelState, channel.state);
    out += Wire::lengthDelimited(ChannelAux, auxBody(channel.aux));
    return out;
}

QByteArray relayBody(quint32 relayStatus)
{
    return Wire::fixed32Field(RelayWord, relayStatus);
}

QByteArray node(const NodeSpec &node)
{
    QByteArray out = Wire::uint32Field(NodeWord1, node.word1) +
                     Wire::uint32Field(NodeWord2, node.word2) +
                     Wire::uint32Field(NodeId, node.node_id);
    for (const ChannelSpec &channel : node.channels)
        out += Wire::lengthDelimited(NodeChannel1 + quint32(channel.channel - 1),
                                     channelBody(channel));
    if (node.relay_status)
        out += Wire::lengthDelimited(NodeRelay, relayBody(*node.relay_status));
    return out;
}

NodeSpec fullNode(quint32 nodeId)
{
    NodeSpec node;
    node.node_id = nodeId;
    node.word1 = 0x01020304;
    node.word2 = 0xFFFFFFFF;
    for (int c = 1; c <= 4; ++c) {
        ChannelSpec channel;
        channel.channel = c;
        channel.state = c - 2; // -1, 0, 1, 2
        channel.aux[0] = 0x3F800000;
        channel.aux[1] = quint32(c);
        channel.aux[2] = 1000u * quint32(c);
        channel.aux[3] = 0xFFFFFFFF;
        for (int m = 1; m <= 8; ++m) {
            MeasSpec meas;
            meas.slot = m;
            meas.value = -12.5f + 3.75f * float(c * m);
            meas.flags = quint32(0x0100 | (m % 4) | ((c % 3) << 2) | (((m + c) % 2) << 4));
            meas.type = quint32(2 * m - c % 2);
            meas.fs_fraction = 0.1f * float(m);
            meas.baseline_fraction = 0.05f * float(c);
            channel.meas.append(meas);
        }
        node.channels.append(channel);
    }
    node.relay_status = 0xFF0F33C5;
    return node;
}

} // namespace StatusDatagram
