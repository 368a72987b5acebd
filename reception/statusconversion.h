#pragma once

#include "nodestatus.h"

#include "chstate.h"

#include <QtGlobal>

#include <cstdint>

struct t_orvo_settings;

// Turning a decoded status datagram into the records the views show. Shared by the main
// window, the node simulator and the tests.

// Writes the layout the datagram describes into rec: channel_mask, node_id, full_scale
// (65535), all 32 measurement type registers and, only when the message has relay, the eight
// relay modes. Every other byte of rec is left as it was; pass a zero-filled record for a
// result that compares byte for byte.
void convertStatus(const NodeStatus &msg, t_orvo_settings &rec);

// Fills the 88-register channel image from which ChState is built. Registers nothing reads
// are zeroed.
void buildImage(const ChannelStatus &msg, quint16 image[ChState::ImageRegisters]);

// A fraction of full scale in 16-bit full-scale units (65535 = full scale). Saturates: NaN and
// values at or below 0 give 0, values at or above 1 give 65535; in between value * 65535 in
// single precision, truncated toward zero.
quint16 fractionToFullScale(float fraction);

// The channel status code of a ChannelState: 0 valid, 1 short circuit, 2 open circuit, 0xFFFF
// no valid data (also for -1, 1 and any unlisted value).
quint16 channelStatusCode(int32_t state);

// Measurement type codes 0..16 pass unchanged; anything else means no measurement (0).
quint32 validMeasType(quint32 type);
