#!/bin/bash
# Fuzzes the datagram path (decode, convert, channel image, channel state) with libFuzzer under
# AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   fuzz/run-fuzz.sh [SECONDS]          default 60
#
# Build directory: $ORVO_FUZZ_BUILD_DIR, default build-fuzz at the top of the tree. The corpus
# found so far is kept in <build>/fuzz-corpus and reused by the next run; crash inputs land in
# <build>/fuzz-artifacts. Exits non-zero on any crash, leak, timeout or sanitizer report.
set -euo pipefail

seconds=${1:-60}
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
    echo "usage: $0 [SECONDS]" >&2
    exit 2
fi

src=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVO_FUZZ_BUILD_DIR:-$src/build-fuzz}
jobs=${ORVO_FUZZ_BUILD_JOBS:-2}

for tool in clang clang++ cmake ninja; do
    command -v "$tool" >/dev/null || { echo "run-fuzz: $tool is not installed" >&2; exit 2; }
done

CC=clang CXX=clang++ cmake -S "$src" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVO_BUILD_FUZZ=ON -DORVO_SANITIZE=ON -DORVO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzz_datagram fuzz_datagram_seeds -j "$jobs"

corpus=$build/fuzz-corpus
seeds=$build/fuzz-seeds
artifacts=$build/fuzz-artifacts
log=$build/fuzz-datagram.log
mkdir -p "$corpus" "$seeds" "$artifacts"
"$build/bin/fuzz_datagram_seeds" "$seeds"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

status=0
"$build/bin/fuzz_datagram" -max_total_time="$seconds" -max_len=2048 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "$seeds" 2>&1 | tee "$log" \
    || status=$?

if [ "$status" -ne 0 ] || grep -qE 'runtime error|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)' "$log"; then
    echo "run-fuzz: FAILED (exit $status); see $log and $artifacts" >&2
    exit 1
fi
echo "run-fuzz: clean after $seconds s; log in $log"
