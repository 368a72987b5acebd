#!/usr/bin/env bash
# Builds and starts the viewer.
#
#   ./run.sh               start the viewer (it listens on UDP port 49153)
#   ./run.sh --demo        also start orvo-node-sim with a sample installation; it stops with the viewer.
#                          The viewer records it into its journal, as always unless --no-journal
#   ./run.sh --port PORT   listen on another UDP port (the demo then sends there too)
#   ./run.sh --help        show this and the viewer's own options, without building
# Further arguments are passed to the viewer.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh

demo=0
port=49153
args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --demo) demo=1 ;;
        -h|--help)
            awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"
            if [ -x build/bin/orvo-icp-view ]; then
                echo
                QT_QPA_PLATFORM=offscreen build/bin/orvo-icp-view --help 2>/dev/null
            fi
            exit 0 ;;
        --port)
            [ $# -gt 1 ] || { echo "run.sh: --port needs a value" >&2; exit 2; }
            port="$2"; args+=("$1" "$2"); shift ;;
        --port=*) port="${1#--port=}"; args+=("$1") ;;
        *) args+=("$1") ;;
    esac
    shift
done

orvo_need_packages "${ORVO_BUILD_PACKAGES[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVO_BUILD_TESTS=OFF
cmake --build build -j"$(nproc 2>/dev/null || echo 2)"

viewer=(build/bin/orvo-icp-view)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    # No display: run inside a virtual X server so the viewer still starts.
    orvo_need_packages "${ORVO_DISPLAY_PACKAGES[@]}"
    echo "No display found: running the viewer under xvfb-run."
    viewer=(xvfb-run -a -s "-screen 0 1280x1024x24" "${viewer[@]}")
fi

if [ "$demo" = 1 ]; then
    echo "The viewer records into its journal; afterwards: build/bin/orvo-journal-tool events"
    build/bin/orvo-node-sim --demo --port "$port" &
    sim=$!
    trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
fi

"${viewer[@]}" "${args[@]+"${args[@]}"}"
