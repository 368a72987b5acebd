#!/usr/bin/env bash
# Builds the viewer, its tools and tests, and runs every test (ends with CTest's summary).
#
#   ./test.sh                 build in build/ and run the suite
#   ./test.sh --sanitize      the same with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/)
#   ./test.sh --fuzz [SECS]   also fuzz the datagram decoder for SECS seconds (default 120)
#   ORVO_WERROR=ON ./test.sh  treat compiler warnings as errors (as CI does)
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh

sanitize=0
fuzz_seconds=""
while [ $# -gt 0 ]; do
    case "$1" in
        --sanitize) sanitize=1 ;;
        --fuzz)
            fuzz_seconds=120
            if [ $# -gt 1 ] && [[ "$2" =~ ^[0-9]+$ ]]; then fuzz_seconds="$2"; shift; fi ;;
        -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
        *) echo "unknown option: $1" >&2; exit 2 ;;
    esac
    shift
done

orvo_need_packages "${ORVO_BUILD_PACKAGES[@]}" "${ORVO_TEST_PACKAGES[@]}"
[ -n "$fuzz_seconds" ] && orvo_need_packages "${ORVO_FUZZ_PACKAGES[@]}"

jobs=$(nproc 2>/dev/null || echo 2)
if [ "$sanitize" = 1 ]; then
    dir=build-asan
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVO_SANITIZE=ON -DORVO_BUILD_TESTS=ON \
        -DORVO_WERROR="${ORVO_WERROR:-OFF}"
else
    dir=build
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVO_BUILD_TESTS=ON \
        -DORVO_WERROR="${ORVO_WERROR:-OFF}"
fi
cmake --build "$dir" -j"$jobs"

if [ -n "$fuzz_seconds" ]; then
    fuzz/run-fuzz.sh "$fuzz_seconds"
fi

# The plain suite mostly waits (timers, simulators, servers), so three tests per core keep the
# cores busy; instrumented, the tests are busy themselves and more of them only slow each other.
test_jobs=$((jobs * 3))
if [ "$sanitize" = 1 ]; then test_jobs=$jobs; fi
ctest --test-dir "$dir" -j"$test_jobs" --output-on-failure
