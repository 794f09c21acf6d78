#!/usr/bin/env bash
# bash scripts/bench-dropouts.sh [--load] [--windows] [SECONDS]: the game
# left on its menu plays its music to a private PulseAudio null sink
# (tests/support/pulse-sink.sh); SECONDS of it (60 unless given) are recorded
# and plumwick_sound_match --gaps counts the dropouts: runs of 10 ms of
# digital silence inside the music, which the tracks never hold. --load runs
# stress-ng's four CPU workers meanwhile; --windows plays the Windows zip's
# game under Wine (made by scripts/build-windows.sh) instead of build/'s.
# A benchmark, not a test: it prints a figure and fails only when it cannot
# measure. Needs the test build (bash scripts/run-tests.sh, or build/ with
# PLUMWICK_TESTS=ON).
set -euo pipefail
PLUMWICK_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$PLUMWICK_ROOT/scripts/setup.sh"

seconds=60 load="" windows=""
for argument; do
    case $argument in
    --load) load=1 ;;
    --windows) windows=1 ;;
    *) seconds=$argument ;;
    esac
done
plumwick_install_missing -- pulseaudio pulseaudio-utils stress-ng ${windows:+wine64 unzip}
build=$PLUMWICK_ROOT/build
match=$build/tests/window/plumwick_sound_match
[ -x "$match" ] || { echo "no $match: build the tests first" >&2 && exit 1; }

work=$(mktemp -d)
sink=$PLUMWICK_ROOT/tests/support/pulse-sink.sh
pids=()
cleanup() {
    kill "${pids[@]}" 2>/dev/null || true
    bash "$sink" stop "$work/sink" || true
    [ -z "$windows" ] || WINEPREFIX=$work/wine /usr/lib/wine/wineserver64 -k 2>/dev/null || true
    rm -rf "$work"
    plumwick_stop_display
}
trap cleanup EXIT
plumwick_start_display

mkdir -p "$work/game" "$work/sink"
if [ -n "$windows" ]; then
    zip=$(ls "$PLUMWICK_ROOT"/dist/plumwick-*-windows-x64.zip)
    unzip -q "$zip" -d "$work/game"
    folder=$(ls -d "$work"/game/plumwick-*)
    export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    timeout 300 /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
    game=(timeout $((seconds + 120)) /usr/lib/wine/wine64 plumwick.exe)
else
    folder=$work/game
    cp "$PLUMWICK_ROOT"/assets/{pixel_font.ttf,menu_music.ogg,game_music.ogg} "$folder"
    game=(timeout $((seconds + 120)) "$build/plumwick")
fi

server=$(bash "$sink" start "$work/sink" $((seconds + 300)))
if [ -n "$load" ]; then
    stress-ng --cpu 4 --timeout $((seconds + 120)) >/dev/null 2>&1 &
    pids+=($!)
fi
# Linux's OpenAL is told to play to PulseAudio; Windows' picks its own backend
# (WASAPI), which Wine plays to PulseAudio, and lacks that one.
sound=(env ALSOFT_DRIVERS=pulse)
[ -z "$windows" ] || sound=(env -u ALSOFT_DRIVERS)
(cd "$folder" && PULSE_SERVER=$server exec "${sound[@]}" "${game[@]}") >"$work/game.log" 2>&1 &
pids+=($!)
plumwick_focus_window 60 >/dev/null || { echo "no PLUMWICK window within 60 s" >&2 && exit 1; }
# The recording stops itself after SECONDS (pulse-sink.sh's time limit).
bash "$sink" record "$work/sink" "$seconds"
sleep $((seconds + 1))
echo "dropouts: $([ -n "$windows" ] && echo "Windows game under Wine" || echo "native game")," \
    "$([ -n "$load" ] && echo "stress-ng --cpu 4" || echo "no load"), $seconds s recorded"
"$match" --gaps "$work/sink/recording.raw" "$PLUMWICK_ROOT"/assets/{menu_music,game_music}.ogg
