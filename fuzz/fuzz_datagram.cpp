// Feeds arbitrary bytes through everything a received datagram goes through before it
// reaches a view, and traps on any result a view could not show correctly.
#include "chstate.h"
#include "nodestatusdecoder.h"
#include "statusconversion.h"
#include "t_orvo_settings.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {
void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    NodeStatus msg;
    if (!decodeNodeStatus(reinterpret_cast<const char *>(data), qsizetype(size), msg))
        return 0;

    auto rec = std::make_unique<t_orvo_settings>(); // value-initialised: all zero
    convertStatus(msg, *rec);
    check(rec->full_scale == 0xFFFF);
    check(rec->node_id == quint16(msg.node_id));
    check((rec->channel_mask & ~0xFu) == 0);

    for (int c = 0; c < 4; ++c) {
        const ChannelStatus *channel = channelAt(msg, c);
        check(bool(rec->channel_mask & (1u << c)) == (channel != nullptr));
        if (!channel)
            continue;
        quint16 image[ChState::ImageRegisters];
        buildImage(*channel, image);
        const ChState state(c, image);
        check(state.status == 0 || state.status == 1 || state.status == 2 ||
              state.status == ChState::NoValidData);
        int previous = -1;
        for (const auto &meas : state.meas) {
            check(meas->num > previous && meas->num < 8);
            previous = meas->num;
            // Every row a channel panel lays out has a live value, and vice versa.
            check(meas->type >= 1 && meas->type <= 16);
            check(rec->channels[c].meas[meas->num].type == meas->type);
            check(meas->failure >= -1 && meas->failure <= 1);
            check(meas->alert >= -1 && meas->alert <= 1);
            check(meas->danger >= -1 && meas->danger <= 1);
        }
        for (int m = 0; m < 8; ++m) {
            if (rec->channels[c].meas[m].type == 0)
                continue;
            bool found = false;
            for (const auto &meas : state.meas)
                found = found || meas->num == m;
            check(found);
        }
    }
    return 0;
}
