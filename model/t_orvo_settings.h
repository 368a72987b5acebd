#pragma once

#include <QtGlobal>

#include <cstddef>

// The packed image of a module's 3286 configuration registers, register k at bytes 2k and
// 2k + 1 in host (little-endian) order. Registers this program does not interpret are kept
// as reserved arrays so that the image stays register-exact: two records are equal exactly
// when their bytes are equal, and a record read from a module can be written back unchanged.

namespace OrvoSettings {
constexpr int ChannelCount = 4;  // measurement channels of a module
constexpr int MeasSlotCount = 8; // measurement slots of a channel
constexpr int RelayCount = 8;    // relays of a module
} // namespace OrvoSettings

struct t_orvo_meas_settings
{
    quint16 type; // 0: slot unused; 1..16: measurement type code
    quint16 reserved[39];
};

struct t_orvo_ch_settings
{
    quint16 reserved0[20];
    quint16 sp_disable; // 0: channel takes part in spectrum capture
    quint16 reserved1[45];
    t_orvo_meas_settings meas[OrvoSettings::MeasSlotCount];
};

struct t_orvo_relay_settings
{
    quint8 name[80]; // UTF-8, ended by a zero byte within the field
    quint16 mode;    // (mode & 3) == 3: relay in use
    quint16 reserved[151];
};

struct t_orvo_settings
{
    quint16 reserved0[96];
    quint16 full_scale; // register value that stands for 100 % of full scale
    quint16 reserved1[15];
    quint16 channel_mask; // bit c: channel c + 1 active
    quint16 reserved2[29];
    t_orvo_ch_settings channels[OrvoSettings::ChannelCount];
    quint16 node_id;
    quint16 reserved3[63];
    t_orvo_relay_settings relays[OrvoSettings::RelayCount];
};

namespace OrvoSettings {
constexpr int RegisterCount = 3286;
constexpr int ByteCount = RegisterCount * 2;
} // namespace OrvoSettings

static_assert(sizeof(t_orvo_meas_settings) == 40 * 2, "measurement slot is 40 registers");
static_assert(sizeof(t_orvo_ch_settings) == 386 * 2, "channel record is 386 registers");
static_assert(sizeof(t_orvo_relay_settings) == 192 * 2, "relay record is 192 registers");
static_assert(sizeof(t_orvo_settings) == OrvoSettings::ByteCount,
              "settings image is 3286 registers");
static_assert(offsetof(t_orvo_settings, full_scale) == 96 * 2, "full_scale is register 96");
static_assert(offsetof(t_orvo_settings, channel_mask) == 112 * 2, "channel_mask is register 112");
static_assert(offsetof(t_orvo_settings, channels) == 142 * 2, "channels start at register 142");
static_assert(offsetof(t_orvo_settings, node_id) == 1686 * 2, "node_id is register 1686");
static_assert(offsetof(t_orvo_settings, relays) == 1750 * 2, "relays start at register 1750");
static_assert(offsetof(t_orvo_relay_settings, mode) == 40 * 2, "relay mode is register 40");
