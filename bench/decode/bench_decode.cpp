// Run from a Release build:
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_BUILD_BENCH=ON
//   cmake --build build-bench --target bench_decode && build-bench/bin/bench_decode
//
// Goal: the unchanged-message path (decode, convert into a zeroed scratch record, compare
// with the stored record) costs at most 1.5 times the decode alone.
#include "nodestatusdecoder.h"
#include "statusconversion.h"
#include "t_orvo_settings.h"

#include <benchmark/benchmark.h>
#include <pb_encode.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {
void fillChannel(ChannelStatus &channel, int c, int measCount)
{
    channel.state = c == 3 ? CH_STATE_UNDEFINED : CH_STATE_VALID; // one ten-byte varint
    channel.aux = ChannelAux{0x3F800000u, 0x40000000u, 123456u, 7u};
    for (int m = 0; m < measCount; ++m)
        *addMeasAt(channel, m) = MeasStatus{12.345f * float(m + 1), 0x0125u, quint32(1 + 2 * m),
                                            0.3f + 0.05f * float(m), 0.25f};
}

// A node with four channels of eight measurements and relays (the largest datagram), or
// with one channel of two measurements.
std::string datagram(bool full)
{
    NodeStatus msg = NodeStatus_init_default;
    msg.word1 = 0x01020304u;
    msg.word2 = 99u;
    msg.node_id = 17;
    for (int c = 0; c < (full ? 4 : 1); ++c)
        fillChannel(*addChannelAt(msg, c), c, full ? 8 : 2);
    if (full) {
        msg.has_relay = true;
        msg.relay.relay_status = 0xFF0F3355u;
    }
    pb_byte_t buffer[NodeStatus_size];
    pb_ostream_t stream = pb_ostream_from_buffer(buffer, sizeof buffer);
    if (!pb_encode(&stream, &NodeStatus_msg, &msg))
        std::abort();
    return std::string(reinterpret_cast<const char *>(buffer), stream.bytes_written);
}

void decodeOnly(benchmark::State &state, bool full)
{
    const std::string bytes = datagram(full);
    NodeStatus msg;
    for (auto _ : state) {
        const bool ok = decodeNodeStatus(bytes.data(), qsizetype(bytes.size()), msg);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(msg);
    }
    state.counters["bytes"] = double(bytes.size());
}

// What the main window does for a message from a present node whose layout has not changed.
void unchangedPath(benchmark::State &state, bool full)
{
    const std::string bytes = datagram(full);
    NodeStatus msg;
    auto stored = std::make_unique<t_orvo_settings>();
    auto scratch = std::make_unique<t_orvo_settings>();
    if (!decodeNodeStatus(bytes.data(), qsizetype(bytes.size()), msg))
        std::abort();
    convertStatus(msg, *stored);
    for (auto _ : state) {
        const bool ok = decodeNodeStatus(bytes.data(), qsizetype(bytes.size()), msg);
        std::memset(scratch.get(), 0, sizeof *scratch);
        convertStatus(msg, *scratch);
        const bool same = std::memcmp(scratch.get(), stored.get(), sizeof *scratch) == 0;
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(same);
        if (!ok || !same)
            state.SkipWithError("the datagram should decode and leave the record unchanged");
    }
    state.counters["bytes"] = double(bytes.size());
}

// The record part of the path on its own, to see where time goes.
void recordOnly(benchmark::State &state, bool full)
{
    const std::string bytes = datagram(full);
    NodeStatus msg;
    if (!decodeNodeStatus(bytes.data(), qsizetype(bytes.size()), msg))
        std::abort();
    auto stored = std::make_unique<t_orvo_settings>();
    auto scratch = std::make_unique<t_orvo_settings>();
    convertStatus(msg, *stored);
    for (auto _ : state) {
        benchmark::DoNotOptimize(msg);
        std::memset(scratch.get(), 0, sizeof *scratch);
        convertStatus(msg, *scratch);
        const bool same = std::memcmp(scratch.get(), stored.get(), sizeof *scratch) == 0;
        benchmark::DoNotOptimize(same);
    }
}
} // namespace

BENCHMARK_CAPTURE(decodeOnly, full, true);
BENCHMARK_CAPTURE(unchangedPath, full, true);
BENCHMARK_CAPTURE(recordOnly, full, true);
BENCHMARK_CAPTURE(decodeOnly, small, false);
BENCHMARK_CAPTURE(unchangedPath, small, false);
BENCHMARK_CAPTURE(recordOnly, small, false);

BENCHMARK_MAIN();
