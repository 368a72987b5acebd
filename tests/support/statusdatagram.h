#pragma once

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

#include <optional>

// Builds NodeStatus datagrams from a short description, with the hand-written wire format of
// wireformat.h (independent of nanopb). Fields are written in tag order, all required ones
// included; tests that need a broken message compose it from the pieces below and Wire.
//
//   NodeSpec node;
//   node.node_id = 5;
//   node.channels = {ChannelSpec{1, CH_STATE_VALID, {MeasSpec{1, 2.5f, 0x0001, 3, 0.25f, 0.1f}}}};
//   node.relay_status = 0x0F000000;           // relays 1..4 enabled; leave unset for no relay
//   sender.send(StatusDatagram::node(node));
//
// Values follow the schema: ChannelState -1 (undefined) .. 3 (open circuit), flags bits 0-1
// failure, 2-3 alert, 4-5 danger (0 false, 1 true, 2/3 undetermined), bit 8 baseline valid.

struct MeasSpec
{
    int slot = 1; // measurement slot 1..8 (field meas1..meas8)
    float value = 0.0f;
    quint32 flags = 0;
    quint32 type = 1;         // 1..16 measurement type, 0 none
    float fs_fraction = 0.0f; // 1.0 = full scale
    float baseline_fraction = 0.0f;
};

struct ChannelSpec
{
    int channel = 1;               // channel 1..4 (field channel1..channel4)
    qint32 state = 0;              // ChannelState; negatives go out as ten-byte varints
    QVector<MeasSpec> meas;        // written in the given order
    quint32 aux[4] = {0, 0, 0, 0}; // ChannelAux, not read by the viewer
};

struct NodeSpec
{
    quint32 node_id = 1;
    QVector<ChannelSpec> channels;       // written in the given order
    std::optional<quint32> relay_status; // unset: the message has no relay
    quint32 word1 = 0;
    quint32 word2 = 0;
};

namespace StatusDatagram {

// The body (without key and length) of a MeasStatus, ChannelStatus, ChannelAux, RelayStatus.
QByteArray measBody(const MeasSpec &meas);
QByteArray channelBody(const ChannelSpec &channel);
QByteArray auxBody(const quint32 (&aux)[4]);
QByteArray relayBody(quint32 relayStatus);

// The whole datagram.
QByteArray node(const NodeSpec &node);

// A node with four channels of eight measurements each and a relay word: the largest
// datagram a node sends (about 800 bytes), with varied values, flags and types.
NodeSpec fullNode(quint32 nodeId);

} // namespace StatusDatagram
