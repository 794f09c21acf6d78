# What the scripts in this folder share: the Debian packages to install, the
# build, the virtual display, finding the game's window, and logged runs.
# Sourced, not run: the caller sets PLUMWICK_ROOT.

# To build and play: a compiler, CMake and SFML, nothing more.
plumwick_play_packages=(build-essential cmake pkg-config libsfml-dev libopenal-dev)
# To pack the .deb and test it: check it, make a fresh root to install it in,
# and read what it laid down (mount: the root needs /proc and /dev; not essential).
plumwick_package_packages=(dpkg-dev desktop-file-utils appstream lintian faketime diffoscope-minimal
    mmdebstrap mount man-db)
# To test, measure and package on top of that.
plumwick_test_packages=(
    libgtest-dev libbenchmark-dev libx11-dev
    xvfb xauth x11-utils xdotool imagemagick clang-format valgrind
    pulseaudio pulseaudio-utils
    "${plumwick_package_packages[@]}"
)

# To build the Windows zip and installer (scripts/build-windows.sh) on top of
# the play set, which renders the icon; and to test them under Wine.
plumwick_cross_windows_packages=(g++-mingw-w64-x86-64-posix nsis zip icoutils)
plumwick_wine_packages=(
    wine wine64 libgtest-dev libx11-dev xvfb xauth x11-utils xdotool imagemagick unzip
    liblnk-utils
)

# plumwick_install_missing [play|test|windows|wine|ARCH|-- PACKAGE...]: installs
# the packages of that set that are missing (the test set includes the play
# set, and so do windows and wine, which includes windows; ARCH's, e.g.
# arm64, is what a cross build for it and its tests under qemu need: this
# machine's tools, that architecture's libraries); as root, else says how.
plumwick_install_missing() {
    local set=${1:-test} wanted=("${plumwick_play_packages[@]}") missing=() package arch=""
    case $set in
    play) ;;
    test) wanted+=("${plumwick_test_packages[@]}") ;;
    windows) wanted+=("${plumwick_cross_windows_packages[@]}") ;;
    wine) wanted+=("${plumwick_cross_windows_packages[@]}" "${plumwick_wine_packages[@]}") ;;
    --) wanted=("${@:2}") ;;
    *) arch=$set wanted=(build-essential cmake dpkg-dev arch-test xvfb xauth x11-utils xdotool imagemagick
           "crossbuild-essential-$set" libsfml-dev:"$set" libopenal-dev:"$set" libgtest-dev:"$set"
           libx11-dev:"$set" libgl1-mesa-dri:"$set" "${plumwick_package_packages[@]}") ;;
    esac
    for package in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages: ${missing[*]}" >&2
        [ -z "$arch" ] || echo "First: sudo dpkg --add-architecture $arch && sudo apt-get update" >&2
        echo "Install them with: sudo apt-get install ${missing[*]}" >&2
        return 1
    fi
    echo "Installing ${missing[*]}"
    [ -z "$arch" ] || dpkg --add-architecture "$arch"
    # Quiet unless it fails: dpkg's lines for hundreds of packages bury the rest.
    local log status=0
    log=$(mktemp)
    { apt-get update -q && DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${missing[@]}"; } >"$log" 2>&1 || status=$?
    [ "$status" -eq 0 ] || cat "$log" >&2
    rm -f "$log"
    return "$status"
}

# The Debian archive this machine's apt is set up with (deb822 or one-line sources).
plumwick_mirror() {
    local mirror
    mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.{list,sources} 2>/dev/null |
        sed -n -e 's/^URIs:[[:space:]]*//p' -e 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?//p' |
        tr ' ' '\n' | grep -E '^https?://[^ ]+/debian/?$' | head -n 1 || true)
    [ -n "$mirror" ] || { echo "no Debian archive in this machine's apt sources" >&2 && return 1; }
    echo "$mirror"
}

# plumwick_make_root SUITE ROOT [MMDEBSTRAP_OPTION...]: a fresh Debian root in
# the empty folder ROOT (as root), from the archive apt uses here, with /proc
# and /dev mounted; plumwick_remove_root undoes it.
plumwick_make_root() {
    local suite=$1 root=$2 mirror
    shift 2
    mirror=$(plumwick_mirror) || return 1
    chmod 755 "$root"  # apt downloads as its own user, _apt
    # Check-Valid-Until: the archive's snapshot of unstable carries an expired Release date.
    mmdebstrap --variant=apt --aptopt='Acquire::Check-Valid-Until "false"' "$@" \
        "$suite" "$root" "$mirror" && mount -t proc proc "$root/proc" &&
        mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev"
}

# plumwick_remove_root ROOT: stops what still runs inside it, unmounts everything below
# it and removes it; refuses to remove anything while a mount is left under it.
plumwick_remove_root() {
    local root=$1 mount
    [ -d "$root" ] || return 0
    find /proc/[0-9]*/root -maxdepth 0 -lname "$root" 2>/dev/null | cut -d/ -f3 |
        xargs -r kill -9 2>/dev/null || true
    # A path can be listed twice (mounts stacked, or one gone with another):
    # each is unmounted while something is still mounted there.
    for mount in $(awk -v r="$root/" 'index($2 "/", r) == 1 { print $2 }' /proc/self/mounts | sort -r); do
        mountpoint -q "$mount" || continue
        umount -R "$mount" 2>/dev/null || umount -R -l "$mount" || true
    done
    if grep -F " $root/" /proc/self/mounts >&2; then
        echo "still mounted (above): $root not removed" >&2
        return 1
    fi
    [ -n "${PLUMWICK_KEEP_ROOT:-}" ] && echo "kept $root" || rm -rf --one-file-system "$root"
}

# plumwick_build BUILD_DIR [CMAKE_OPTION...] [-- TARGET...]: configures, then
# builds the targets given, or everything.
plumwick_build() {
    local dir=$1 options=() targets=()
    shift
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        options+=("$1")
        shift
    done
    [ $# -gt 0 ] && shift && targets=(--target "$@")
    cmake -S "$PLUMWICK_ROOT" -B "$dir" "${options[@]}" >/dev/null &&
        cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
}

# plumwick_cross_options ARCH: CMake's options for a build for the Debian
# architecture ARCH with Debian's cross compiler (crossbuild-essential-ARCH).
plumwick_cross_options() {
    local gnu
    gnu=$(dpkg-architecture -a "$1" -qDEB_HOST_GNU_TYPE 2>/dev/null) || return 1
    echo "-DCMAKE_SYSTEM_NAME=Linux -DCMAKE_SYSTEM_PROCESSOR=${gnu%%-*} -DCMAKE_CXX_COMPILER=$gnu-g++"
}

# plumwick_build_game: the game alone, in build/. A new build/ leaves the tests
# out, so that playing needs none of their packages; one that run-tests.sh
# configured keeps them.
plumwick_build_game() {
    local options=()
    [ -f "$PLUMWICK_ROOT/build/CMakeCache.txt" ] || options=(-DPLUMWICK_TESTS=OFF)
    plumwick_build "$PLUMWICK_ROOT/build" "${options[@]}" -- plumwick
}

# A virtual display when there is none, and silent sound (both stopped when the
# script exits, or by plumwick_stop_display), so no screen or sound card is needed.
plumwick_start_display() {
    plumwick_silent_sound || return 1
    # A script with a cleanup of its own calls plumwick_stop_display there.
    [ -n "$(trap -p EXIT)" ] || trap plumwick_stop_display EXIT
    [ -n "${DISPLAY:-}" ] && return 0
    local number
    number=$(mktemp)
    # Xvfb takes a display number no other X server holds (its lock file, socket
    # and abstract socket, which every root on the machine shares) and writes it
    # once it answers. A square screen: SFML 2.5 centres new windows by the
    # screen's width. No auto-repeat within a minute: on a loaded machine
    # xdotool's key-up can come late, and the server would add presses. No
    # reset when the last client leaves: a reset drops the connections made
    # meanwhile, and a test that starts as the one before it ends is refused.
    Xvfb -displayfd 3 -screen 0 1600x1600x24 -ardelay 60000 -noreset -nolisten tcp \
        3>"$number" >/dev/null 2>&1 &
    plumwick_xvfb_pid=$!
    for _ in $(seq 600); do
        [ -s "$number" ] || ! kill -0 "$plumwick_xvfb_pid" 2>/dev/null && break
        sleep 0.1
    done
    export DISPLAY=":$(cat "$number")"
    rm -f "$number"
    xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start ($DISPLAY)" >&2 && return 1; }
}

# Sound that plays into nothing at a real device's pace. SFML 2's OpenAL has a
# null driver for it. SFML 3's miniaudio has no such switch: it takes the first
# backend that lists a device, and a root with ALSA's PulseAudio plugin lists
# one that no server is behind, so the game would find no device and say so.
# It gets a PulseAudio daemon of its own with a null sink instead.
plumwick_silent_sound() {
    export ALSOFT_DRIVERS=null
    local major
    major=$(pkg-config --modversion sfml-audio 2>/dev/null | cut -d. -f1)
    [ "${major:-2}" -ge 3 ] && [ -z "${plumwick_sound_dir:-}" ] || return 0
    plumwick_sound_dir=$(mktemp -d)
    # Long enough for the slowest whole test run, so that none outlives it by much.
    PULSE_SERVER=$(bash "$PLUMWICK_ROOT/tests/support/pulse-sink.sh" start "$plumwick_sound_dir" 7200) ||
        return 1
    export PULSE_SERVER
}

plumwick_stop_display() {
    [ -z "${plumwick_xvfb_pid:-}" ] || kill "$plumwick_xvfb_pid" 2>/dev/null || true
    [ -z "${plumwick_sound_dir:-}" ] || {
        bash "$PLUMWICK_ROOT/tests/support/pulse-sink.sh" stop "$plumwick_sound_dir"
        rm -rf "$plumwick_sound_dir"
    }
}

# plumwick_focus_window SECONDS: waits that long at most for the game's window
# to be shown, focuses it (keys sent with xdotool go to the focused window)
# and prints its id. Only a mapped window can take the focus. xdotool search
# walks every window, and one destroyed meanwhile (Wine makes and drops some as
# a program starts) ends it at once with BadWindow: it is asked again until the
# time is up (CI's Windows run at 7d31275 gave up at the first).
plumwick_focus_window() {
    local window deadline=$((SECONDS + $1))
    while [ "$SECONDS" -lt "$deadline" ]; do
        window=$(timeout "$((deadline - SECONDS + 1))" \
            xdotool search --sync --onlyvisible --name '^PLUMWICK$' | head -n 1) || true
        [ -n "$window" ] && timeout "$((deadline - SECONDS + 1))" xdotool windowfocus --sync "$window" &&
            echo "$window" && return 0
        sleep 0.1
    done
    return 1
}

# Runs side by side, each in a process group of its own (job control), so that
# plumwick_stop_jobs (a trap's work) ends each whole, whatever it started.
plumwick_jobs=()
plumwick_start_job() { set -m; "$@" & plumwick_jobs+=("$!"); }
plumwick_stop_jobs() { kill -TERM -- "${plumwick_jobs[@]/#/-}" 2>/dev/null || true; wait || true; }
# plumwick_logged LABEL LOG COMMAND...: runs COMMAND with its output kept in LOG
# and shown with each line prefixed "[LABEL] "; returns its status. A failed run
# stopped in the last step its log names (a "== STEP" line): plumwick_last_step LOG.
plumwick_logged() { "${@:3}" 2>&1 | tee "$2" | sed -u "s/^/[$1] /"; return "${PIPESTATUS[0]}"; }
plumwick_last_step() { grep -E '^== ' "$1" | tail -n 1 | sed 's/^== //'; }

# Checks that go on after a failure; plumwick_failures holds the failures' lines.
plumwick_failures=()
plumwick_fail() {
    echo "FAIL: $*" >&2
    plumwick_failures+=("FAIL: $*")
}
# plumwick_end_checks WHAT: with failures, says "== WHAT: N failures" and each
# failure again under it, and returns 1: a log's last lines (all that CI shows
# of it) then say what failed, however much came after.
plumwick_end_checks() {
    [ "${#plumwick_failures[@]}" -ne 0 ] || return 0
    echo "== $1: ${#plumwick_failures[@]} failures" >&2
    printf '%s\n' "${plumwick_failures[@]}" >&2
    return 1
}
plumwick_expect() {  # WHAT EXPECTED ACTUAL
    [ "$2" = "$3" ] || plumwick_fail "$1: expected '$2', got '$3'"
}
# How many pixels of the area WxH+X+Y of an image have exactly the colour
# given as ImageMagick writes it in txt: output (#RRGGBB, or #RRGGBBAA).
plumwick_count_colour() {  # FILE AREA COLOUR
    convert "$1" -crop "$2" +repage txt:- | grep -c " $3 " || true
}

# plumwick_check_icon FILE SIZE: the icon is the game's life heart (12x9
# pixels, 66 of them drawn), enlarged by the largest whole factor that fits
# and centred on transparency, as packaging/render_icon.cpp renders it.
plumwick_check_icon() {
    local icon=$1 size=$2 drawn box
    read -r drawn box < <(awk -v size="$size" '$1 == size { print $2, $3 }' <<'EOF_SIZES'
16 66 12x9+2+3
24 264 24x18+0+3
32 264 24x18+4+7
48 1056 48x36+0+6
64 1650 60x45+2+9
128 6600 120x90+4+19
256 29106 252x189+2+33
EOF_SIZES
    )
    plumwick_expect "$icon size" "${size}x${size}" "$(identify -format '%wx%h' "$icon")"
    plumwick_expect "$icon crimson pixels" "$drawn" \
        "$(plumwick_count_colour "$icon" "${size}x${size}+0+0" '#8C1450FF')"
    plumwick_expect "$icon transparent pixels" "$((size * size - drawn))" \
        "$(plumwick_count_colour "$icon" "${size}x${size}+0+0" '#00000000')"
    plumwick_expect "$icon heart box" "$box" \
        "$(convert "$icon" -alpha extract -trim -format '%wx%h%X%Y' info:)"
}

# plumwick_check_menu WINDOW SHOT [PLAY_WHITE]: screenshots the game's title
# menu into the PNG file SHOT until PLAY is highlighted and two shots running
# show the same menu (50 shots at most), then checks it: PLAY in pure white
# (414 pixels, or PLAY_WHITE), HOW TO PLAY in grey (100,100,100).
plumwick_check_menu() {
    local window=$1 shot=$2 play_white=${3:-414} menu previous=""
    # import waits for ever on a window that has gone (a game that stopped):
    # a time limit, and then a failure without a shot. A shot can catch a
    # frame half copied into the window (slow under qemu): the menu is still,
    # so a whole frame is one that the next shot shows again.
    for _ in $(seq 50); do
        timeout 10 import -window "$window" "$shot" || { rm -f "$shot" && break; }
        menu=$(convert "$shot" -crop 180x90+290+320 +repage rgb:- | sha256sum)
        [ "$menu" = "$previous" ] &&
            [ "$(plumwick_count_colour "$shot" 70x30+350+320 '#FFFFFF')" -gt 0 ] && break
        previous=$menu
        sleep 0.1
    done
    [ -f "$shot" ] || { plumwick_fail "no screenshot of window $window" && return 0; }
    plumwick_expect "screenshot size" 800x600 "$(identify -format '%wx%h' "$shot")"
    plumwick_expect "white pixels of PLAY" "$play_white" \
        "$(plumwick_count_colour "$shot" 70x30+350+320 '#FFFFFF')"
    plumwick_expect "grey pixels of HOW TO PLAY" 999 \
        "$(plumwick_count_colour "$shot" 180x30+290+380 '#646464')"
    plumwick_expect "white pixels of HOW TO PLAY" 0 \
        "$(plumwick_count_colour "$shot" 180x30+290+380 '#FFFFFF')"
    plumwick_expect "box of the white pixels of PLAY" 64x19+350+331 "$(convert "$shot" \
        -crop 70x30+350+320 -fill black +opaque white -trim -format '%wx%h%X%Y' info:)"
}

# plumwick_leave_by_menu WINDOW PID [SECONDS]: Up from PLAY highlights EXIT THE
# GAME and Enter leaves; the game (a child of this shell) must end within 10 s
# (or SECONDS: a game under qemu is some ten times slower) with status 0.
# Returns 1 when it does not end.
plumwick_leave_by_menu() {
    local window=$1 pid=$2 seconds=${3:-10} status=0
    xdotool windowfocus --sync "$window"
    xdotool key Up
    xdotool key Return
    if ! timeout "$seconds" tail --pid="$pid" -f /dev/null; then
        plumwick_fail "the game did not leave within $seconds s of Up, Enter"
        return 1
    fi
    wait "$pid" || status=$?
    plumwick_expect "exit status" 0 "$status"
}
