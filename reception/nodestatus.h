#pragma once

// The decoded status datagram: NodeStatus with up to four ChannelStatus and a RelayStatus,
// plain fixed-size C records generated from orvo_status.proto.
#include "orvo_status.pb.h"

#include <cstdint>
#include <cstring>

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

// Channel c (0..3) of the message, or nullptr when the message does not carry it.
inline const ChannelStatus *channelAt(const NodeStatus &msg, int c)
{
    switch (c) {
    case 0:
        return msg.has_channel1 ? &msg.channel1 : nullptr;
    case 1:
        return msg.has_channel2 ? &msg.channel2 : nullptr;
    case 2:
        return msg.has_channel3 ? &msg.channel3 : nullptr;
    case 3:
        return msg.has_channel4 ? &msg.channel4 : nullptr;
    default:
        return nullptr;
    }
}

// Measurement slot m (0..7) of the channel, or nullptr when the channel does not carry it.
inline const MeasStatus *measAt(const ChannelStatus &channel, int m)
{
    switch (m) {
    case 0:
        return channel.has_meas1 ? &channel.meas1 : nullptr;
    case 1:
        return channel.has_meas2 ? &channel.meas2 : nullptr;
    case 2:
        return channel.has_meas3 ? &channel.meas3 : nullptr;
    case 3:
        return channel.has_meas4 ? &channel.meas4 : nullptr;
    case 4:
        return channel.has_meas5 ? &channel.meas5 : nullptr;
    case 5:
        return channel.has_meas6 ? &channel.meas6 : nullptr;
    case 6:
        return channel.has_meas7 ? &channel.meas7 : nullptr;
    case 7:
        return channel.has_meas8 ? &channel.meas8 : nullptr;
    default:
        return nullptr;
    }
}

// For building a message: channel c (0..3) marked present and returned for filling, or
// nullptr for any other c.
inline ChannelStatus *addChannelAt(NodeStatus &msg, int c)
{
    bool *has[] = {&msg.has_channel1, &msg.has_channel2, &msg.has_channel3, &msg.has_channel4};
    ChannelStatus *channels[] = {&msg.channel1, &msg.channel2, &msg.channel3, &msg.channel4};
    if (c < 0 || c > 3)
        return nullptr;
    *has[c] = true;
    return channels[c];
}

// For building a message: measurement slot m (0..7) marked present and returned for filling,
// or nullptr for any other m.
inline MeasStatus *addMeasAt(ChannelStatus &channel, int m)
{
    bool *has[] = {&channel.has_meas1, &channel.has_meas2, &channel.has_meas3, &channel.has_meas4,
                   &channel.has_meas5, &channel.has_meas6, &channel.has_meas7, &channel.has_meas8};
    MeasStatus *meas[] = {&channel.meas1, &channel.meas2, &channel.meas3, &channel.meas4,
                          &channel.meas5, &channel.meas6, &channel.meas7, &channel.meas8};
    if (m < 0 || m > 7)
        return nullptr;
    *has[m] = true;
    return meas[m];
}
