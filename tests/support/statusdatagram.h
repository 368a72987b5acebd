#pragma once

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

#include <optional>

// Builds NodeStatus datagrams with a hand-written wire format, so that tests do not check nanopb
// against itself and can write what no encoder would: over-long varints, wrong wire types,
// tag 0, groups, lengths past the end. Fields go out in tag order, all required ones included.
//
//   NodeSample node;
//   node.node_id = 5;
//   node.channels = {ChannelSample{1, CH_STATE_VALID,
//                                  {MeasSample{1, 2.5f, 0x0001, 3, 0.25f, 0.1f}}}};
//   node.relay_status = 0x0F000000; // relays 1..4 enabled; leave unset for no relay
//   sender.send(StatusDatagram::node(node));

struct MeasSample
{
    int slot = 1; // measurement slot 1..8 (field meas1..meas8)
    float value = 0.0f;
    quint32 flags = 0;
    quint32 type = 1;
    float fs_fraction = 0.0f;
    float baseline_fraction = 0.0f;
};

struct ChannelSample
{
    int channel = 1;          // channel 1..4 (field channel1..channel4)
    qint32 state = 0;         // negatives go out as ten-byte varints, as a standard encoder does
    QVector<MeasSample> meas; // written in the given order; aux is always 1, 2, 3, 4
};

struct NodeSample
{
    quint32 node_id = 1;
    QVector<ChannelSample> channels;     // written in the given order
    std::optional<quint32> relay_status; // unset: the message has no relay
    quint32 word1 = 0;
    quint32 word2 = 0;
};

namespace Wire {
enum WireType : quint8 { Varint, Fixed64, LengthDelimited, StartGroup, EndGroup, Fixed32, Bad6 };

// value as a varint of at least length bytes, padded with continuation bytes.
QByteArray varint(quint64 value, int length = 1);
QByteArray key(quint32 field, quint8 wireType); // field 0 allowed
QByteArray uint32Field(quint32 field, quint64 value);
QByteArray fixedField(quint32 field, quint64 value, int bytes = 4);
QByteArray floatField(quint32 field, float value);
QByteArray lengthDelimited(quint32 field, const QByteArray &payload);
} // namespace Wire

namespace StatusDatagram {
// Bodies (without key and length) of a MeasStatus and a ChannelAux.
QByteArray measBody(const MeasSample &meas);
QByteArray auxBody();
QByteArray node(const NodeSample &node);

// Four channels of eight measurements and a relay word: the largest datagram a node sends,
// with varied values, flags and types.
NodeSample fullNode(quint32 nodeId);
} // namespace StatusDatagram
