#pragma once

// The decoded status datagram: NodeStatus with up to four ChannelStatus and a RelayStatus,
// plain fixed-size C records generated from orvo_status.proto.
#include "orvo_status.pb.h"

#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>

// The record's `state` member has the C enum type, whose C++ value range is only -4..3,
// while a datagram may carry any 32-bit value there. Read it through this accessor: loading
// an out-of-range value as the enum type is undefined behaviour in C++.
inline int32_t channelStateOf(const ChannelStatus &channel)
{
    static_assert(sizeof channel.state == sizeof(int32_t), "state is decoded as a 32-bit field");
    int32_t state;
    std::memcpy(&state, &channel.state, sizeof state);
    return state;
}

// The presence flag and the record of channel c (0..3) or of measurement slot m (0..7), for
// a const or a mutable message alike; both null outside the range. nanopb gives every one its
// own named member, so the index is mapped here once.
template <typename Msg> auto channelField(Msg &msg, int c)
{
    using Field = std::pair<decltype(&msg.has_channel1), decltype(&msg.channel1)>;
    const Field fields[] = {{&msg.has_channel1, &msg.channel1},
                            {&msg.has_channel2, &msg.channel2},
                            {&msg.has_channel3, &msg.channel3},
                            {&msg.has_channel4, &msg.channel4}};
    return c >= 0 && c < int(std::size(fields)) ? fields[c] : Field{nullptr, nullptr};
}

template <typename Channel> auto measField(Channel &channel, int m)
{
    using Field = std::pair<decltype(&channel.has_meas1), decltype(&channel.meas1)>;
    const Field fields[] = {
        {&channel.has_meas1, &channel.meas1}, {&channel.has_meas2, &channel.meas2},
        {&channel.has_meas3, &channel.meas3}, {&channel.has_meas4, &channel.meas4},
        {&channel.has_meas5, &channel.meas5}, {&channel.has_meas6, &channel.meas6},
        {&channel.has_meas7, &channel.meas7}, {&channel.has_meas8, &channel.meas8}};
    return m >= 0 && m < 8 ? fields[m] : Field{nullptr, nullptr};
}

// Channel c (0..3) of the message, or nullptr when the message does not carry it.
inline const ChannelStatus *channelAt(const NodeStatus &msg, int c)
{
    const auto field = channelField(msg, c);
    return field.first && *field.first ? field.second : nullptr;
}

// Measurement slot m (0..7) of the channel, or nullptr when the channel does not carry it.
inline const MeasStatus *measAt(const ChannelStatus &channel, int m)
{
    const auto field = measField(channel, m);
    return field.first && *field.first ? field.second : nullptr;
}

// For building a message: channel c (0..3) marked present and returned for filling, or
// nullptr for any other c.
inline ChannelStatus *addChannelAt(NodeStatus &msg, int c)
{
    const auto field = channelField(msg, c);
    if (field.first)
        *field.first = true;
    return field.second;
}

// For building a message: measurement slot m (0..7) marked present and returned for filling,
// or nullptr for any other m.
inline MeasStatus *addMeasAt(ChannelStatus &channel, int m)
{
    const auto field = measField(channel, m);
    if (field.first)
        *field.first = true;
    return field.second;
}
