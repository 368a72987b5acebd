# Sourced by run.sh and test.sh: installs the Debian packages a step needs when any is missing.
# Runs `apt-get update` at most once per call and only when something has to be installed.

orvo_need_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Need root (or sudo) to install: ${missing[*]}" >&2; return 1; }
        sudo="sudo"
    fi
    echo "Installing Debian packages: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# What building the viewer, its tools and its tests needs.
ORVO_BUILD_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qtbase5-dev qttools5-dev qttools5-dev-tools qttranslations5-l10n libqt5svg5-dev help2man
    libnanopb-dev nanopb
    libmodbus-dev
    libqwt-qt5-dev
    zlib1g-dev
)
# The tests also encode datagrams with the reference protobuf compiler, and run the journal on
# real SQLite files and on a PostgreSQL server they start themselves.
ORVO_TEST_PACKAGES=(protobuf-compiler postgresql libqt5sql5-sqlite libqt5sql5-psql)
# Fuzzing needs clang with libFuzzer's runtime.
ORVO_FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# Showing a window on a machine without a display.
ORVO_DISPLAY_PACKAGES=(xvfb xauth)
