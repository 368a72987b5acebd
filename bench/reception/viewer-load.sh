#!/usr/bin/env bash
# The real viewer, offscreen, fed by orvo-node-sim --full from a cold start: the viewer's CPU
# (utime + stime from /proc/PID/stat) and the datagrams the kernel dropped, both for the
# viewer's socket (/proc/net/udp) and for the whole machine (Udp: RcvbufErrors).
#
#   bench/reception/viewer-load.sh RATE DURATION [REPEATS]
#
# Uses the Release build in build-bench/ (ORVO_BENCH_BIN overrides). The viewer listens on
# ORVO_BENCH_PORT (default 49163), so a viewer already running on 49153 does not interfere.
set -euo pipefail

rate=${1:?usage: $0 RATE DURATION [REPEATS]}
duration=${2:?usage: $0 RATE DURATION [REPEATS]}
repeats=${3:-3}
src=$(cd "$(dirname "$0")/../.." && pwd)
bin=${ORVO_BENCH_BIN:-$src/build-bench/bin}
hz=$(getconf CLK_TCK)
port=${ORVO_BENCH_PORT:-49163}
port_hex=$(printf %04X "$port")

machine_drops() {
    awk '/^Udp:/ { if (!seen) { for (i = 1; i <= NF; i++) if ($i == "RcvbufErrors") col = i; seen = 1 }
                   else { print $col; exit } }' /proc/net/snmp
}
socket_drops() { awk -v p=":$port_hex" '$2 ~ p"$" { print $NF; exit }' /proc/net/udp /proc/net/udp6; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

viewer=""
home=""
cleanup() {
    if [ -n "$viewer" ]; then
        kill "$viewer" 2>/dev/null || true
        wait "$viewer" 2>/dev/null || true
    fi
    if [ -n "$home" ]; then rm -rf "$home"; fi
    return 0
}
trap cleanup EXIT

for run in $(seq "$repeats"); do
    home=$(mktemp -d)
    HOME=$home XDG_CONFIG_HOME=$home/.config QT_QPA_PLATFORM=offscreen \
        "$bin/orvo-icp-view" --port "$port" >/dev/null 2>&1 &
    viewer=$!
    for _ in $(seq 100); do
        [ -n "$(socket_drops)" ] && break
        sleep 0.1
    done
    [ -n "$(socket_drops)" ] || { echo "the viewer did not bind UDP port $port" >&2; exit 1; }
    sleep 1 # start-up done

    m0=$(machine_drops); s0=$(socket_drops); c0=$(cpu_ticks "$viewer"); t0=$(date +%s.%N)
    sent=$("$bin/orvo-node-sim" --port "$port" --full --rate "$rate" --duration "$duration" 2>&1 |
        sed -n 's/.*sent \([0-9]*\) datagram.*/\1/p')
    c1=$(cpu_ticks "$viewer"); t1=$(date +%s.%N); s1=$(socket_drops); m1=$(machine_drops)
    cleanup
    viewer=""
    home=""
    awk -v c=$((c1 - c0)) -v hz="$hz" -v t0="$t0" -v t1="$t1" -v s=$((s1 - s0)) \
        -v m=$((m1 - m0)) -v r="$run" -v rate="$rate" -v sent="${sent:-0}" \
        'BEGIN { printf "run %d, 32 nodes x %s Hz: viewer CPU %5.1f %% of a core over %.1f s, " \
                        "%d sent, drops: socket %d, machine %d\n", r, rate,
                        100 * c / hz / (t1 - t0), t1 - t0, sent, s, m }'
done
