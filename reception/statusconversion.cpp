#include "statusconversion.h"

#include "relayword.h"
#include "t_orvo_settings.h"

#include <cstring>

namespace {
constexpr int Channels = OrvoSettings::ChannelCount;
constexpr int MeasSlots = OrvoSettings::MeasSlotCount;
constexpr int Relays = OrvoSettings::RelayCount;
constexpr quint16 FullScale = 0xFFFF;
constexpr quint16 RelayInUseMode = 3;
} // namespace

quint16 fractionToFullScale(float fraction)
{
    // Written so that NaN fails the first test. Out-of-range fractions saturate: a plain cast
    // would wrap 150 % to 50 % and -10 % to 90 %, a plausible but false bar on a plant display.
    if (!(fraction > 0.0f))
        return 0;
    if (fraction >= 1.0f)
        return FullScale;
    const float scaled = fraction * 65535.0f;
    return quint16(scaled);
}

quint16 channelStatusCode(int32_t state)
{
    switch (state) {
    case CH_STATE_VALID:
        return 0;
    case CH_STATE_SHORT_CIRCUIT:
        return 1;
    case CH_STATE_OPEN_CIRCUIT:
        return 2;
    default:
        return ChState::NoValidData;
    }
}

quint32 validMeasType(quint32 type)
{
    return type <= 16 ? type : 0;
}

void convertStatus(const NodeStatus &msg, t_orvo_settings &rec)
{
    quint16 mask = 0;
    for (int c = 0; c < Channels; ++c) {
        const ChannelStatus *channel = channelAt(msg, c);
        if (channel)
            mask |= quint16(1u << c);
        for (int m = 0; m < MeasSlots; ++m) {
            const MeasStatus *meas = channel ? measAt(*channel, m) : nullptr;
            rec.channels[c].meas[m].type = meas ? quint16(validMeasType(meas->type)) : 0;
        }
    }
    rec.channel_mask = mask;
    rec.node_id = quint16(msg.node_id);
    rec.full_scale = FullScale;

    if (msg.has_relay) {
        for (int r = 0; r < Relays; ++r) {
            const bool enabled = RelayWord::isSet(msg.relay.relay_status, RelayWord::Enabled, r);
            rec.relays[r].mode = enabled ? RelayInUseMode : 0;
        }
    }
}

void buildImage(const ChannelStatus &msg, quint16 image[ChState::ImageRegisters])
{
    std::memset(image, 0, ChState::ImageRegisters * sizeof(quint16));
    image[0] = channelStatusCode(channelStateOf(msg));
    for (int m = 0; m < MeasSlots; ++m) {
        const MeasStatus *meas = measAt(msg, m);
        if (!meas)
            continue;
        quint16 *entry = image + ChState::entryOffset(m);
        quint32 bits;
        std::memcpy(&bits, &meas->value, sizeof bits);
        entry[ChState::TypeRegister] = quint16(validMeasType(meas->type));
        entry[ChState::FlagsRegister] = quint16(meas->flags);
        entry[ChState::ValueLowRegister] = quint16(bits);
        entry[ChState::ValueHighRegister] = quint16(bits >> 16);
        entry[ChState::FsValueRegister] = fractionToFullScale(meas->fs_fraction);
        entry[ChState::BaselineRegister] = fractionToFullScale(meas->baseline_fraction);
    }
}
