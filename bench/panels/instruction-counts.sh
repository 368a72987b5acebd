#!/usr/bin/env bash
# The panel benchmark's figures in instructions executed (callgrind's Ir), which, unlike times,
# hold on a machine shared with other jobs. Collection is on only around each figure's work.
#
#   bench/panels/instruction-counts.sh [TEST FUNCTION ...]   (default: all of bench_panels)
#
# Uses the Release build in build-bench/ (ORVO_BENCH_BIN overrides); needs valgrind. Prints
# instructions per operation and their ratio to nanopb's decode of the same datagram.
set -euo pipefail

src=$(cd "$(dirname "$0")/../.." && pwd)
bin=${ORVO_BENCH_BIN:-$src/build-bench/bin}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# A rebuild of 32 nodes takes minutes under valgrind, past QtTest's limit of five per function.
QTEST_FUNCTION_TIMEOUT=7200000 QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --collect-atstart=no \
    --callgrind-out-file="$out/callgrind.out.%p" "$bin/bench_panels" "$@" >"$out/log" 2>&1 ||
    { tail -20 "$out/log" >&2; exit 1; }

# One dump per figure, numbered in the order the figures ran.
for dump in $(ls -v "$out"/callgrind.out.*.*); do
    awk '/^desc: Trigger: Client Request: / { sub(/^desc: Trigger: Client Request: +/, ""); label = $0 }
         /^totals: / { print label "\t" $2 }' "$dump"
done | awk -F'\t' '
    { n = split($1, part, "/"); ops = part[n]; name = substr($1, 1, length($1) - length(ops) - 1)
      per[name] = $2 / ops; order[++count] = name }
    END {
        printf "%-48s %14s %10s\n", "figure", "instructions", "x decode"
        for (i = 1; i <= count; i++) {
            name = order[i]
            rows = name ~ /8 rows/ ? "nanopb decode, 8 rows" : "nanopb decode, 32 rows"
            ratio = (rows in per && name !~ /rebuild/) ? sprintf("%10.2f", per[name] / per[rows]) : ""
            printf "%-48s %14.0f %s\n", name, per[name], ratio
        }
    }'
