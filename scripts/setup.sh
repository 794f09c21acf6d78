# Shared set-up for run-game.sh and run-tests.sh: installs the Debian packages
# that are missing (when run as root), then configures and builds.
# Sourced, not run: the caller sets PLUMWICK_ROOT.

plumwick_packages=(
    build-essential cmake pkg-config libsfml-dev libgtest-dev libbenchmark-dev libx11-dev
    xvfb xauth x11-utils xdotool imagemagick clang-format valgrind
    dpkg-dev desktop-file-utils appstream
)

plumwick_install_missing() {
    local missing=()
    for package in "${plumwick_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages: ${missing[*]}" >&2
        echo "Install them with: sudo apt-get install ${missing[*]}" >&2
        return 1
    fi
    echo "Installing ${missing[*]}"
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

# plumwick_build BUILD_DIR [CMAKE_OPTION...]: configures and builds everything.
plumwick_build() {
    local dir=$1
    shift
    cmake -S "$PLUMWICK_ROOT" -B "$dir" "$@" >/dev/null &&
        cmake --build "$dir" -j "$(nproc)"
}

# plumwick_build_game: the game alone, in build/.
plumwick_build_game() {
    cmake -S "$PLUMWICK_ROOT" -B "$PLUMWICK_ROOT/build" >/dev/null &&
        cmake --build "$PLUMWICK_ROOT/build" -j "$(nproc)" --target plumwick
}

# A virtual display when there is none (stopped when the script exits), and
# silent audio: OpenAL plays into nothing, so no sound card is needed.
plumwick_start_display() {
    export ALSOFT_DRIVERS=null
    [ -n "${DISPLAY:-}" ] && return 0
    # A display number no other X server holds, so that ours is the one asked:
    # no lock file, no socket file and no abstract socket (those are shared by
    # every root on the machine, and X clients try them first).
    local number=90
    while [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] ||
        grep -q "@/tmp/.X11-unix/X$number\$" /proc/net/unix 2>/dev/null; do
        number=$((number + 1))
    done
    # A square screen: SFML 2.5 centres new windows by the screen's width.
    Xvfb ":$number" -screen 0 1600x1600x24 -nolisten tcp >/dev/null 2>&1 &
    plumwick_xvfb_pid=$!
    trap 'kill $plumwick_xvfb_pid 2>/dev/null || true' EXIT
    export DISPLAY=":$number"
    for _ in $(seq 100); do
        kill -0 "$plumwick_xvfb_pid" 2>/dev/null || break
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "Xvfb did not start on $DISPLAY" >&2
    return 1
}
