// Writes valid status datagrams of several shapes into the directory given as argument.
#include "nodestatus.h"

#include <pb_encode.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {
void setMeas(ChannelStatus &channel, int m, uint32_t type)
{
    *addMeasAt(channel, m) =
        MeasStatus{0.5f + float(m), 0x0125u + uint32_t(m), type, 0.25f, 0.125f};
}

bool write(const std::string &dir, const char *name, const NodeStatus &msg)
{
    pb_byte_t buffer[NodeStatus_size];
    pb_ostream_t stream = pb_ostream_from_buffer(buffer, sizeof buffer);
    if (!pb_encode(&stream, &NodeStatus_msg, &msg))
        return false;
    const std::string path = dir + "/" + name;
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool ok = std::fwrite(buffer, 1, stream.bytes_written, file) == stream.bytes_written;
    return std::fclose(file) == 0 && ok;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = true;

    NodeStatus minimal = NodeStatus_init_default;
    minimal.node_id = 5;
    ok = write(dir, "minimal", minimal) && ok;

    NodeStatus relayOnly = minimal;
    relayOnly.has_relay = true;
    relayOnly.relay.relay_status = 0x81000000u;
    ok = write(dir, "relay-only", relayOnly) && ok;

    NodeStatus small = minimal;
    small.node_id = 12;
    small.has_channel2 = true;
    small.channel2.state = CH_STATE_SHORT_CIRCUIT;
    setMeas(small.channel2, 2, 3);
    setMeas(small.channel2, 5, 17);
    ok = write(dir, "one-channel", small) && ok;

    NodeStatus full = minimal;
    full.word1 = 0xFFFFFFFFu;
    full.word2 = 7;
    full.node_id = 32;
    for (int c = 0; c < 4; ++c) {
        ChannelStatus &channel = *addChannelAt(full, c);
        channel.state = c == 0 ? CH_STATE_UNDEFINED : ChannelState(c);
        channel.aux = ChannelAux{1, 2, 3, 4};
        for (int m = 0; m < 8; ++m)
            setMeas(channel, m, uint32_t(1 + 2 * m + c % 2));
    }
    full.has_relay = true;
    full.relay.relay_status = 0xFF0F3355u;
    ok = write(dir, "full", full) && ok;

    if (!ok)
        std::fprintf(stderr, "could not write the seed corpus to %s\n", dir.c_str());
    return ok ? 0 : 1;
}
