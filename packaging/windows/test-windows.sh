#!/usr/bin/env bash
# Tests what scripts/build-windows.sh made, under Wine (64-bit) on an X display
# (a virtual one when there is none), in a fresh Wine prefix of its own:
#   - the unit tests, cross-built for Windows (the replay fingerprint among them);
#   - the zip: its files, and the .exe's subsystem, DLLs, icon and version;
#   - the zip's game started from another folder, its lines through a redirect,
#     and in cmd's console when it has no redirect;
#   - the native window tests driving the zip's game: the smoke test, and the
#     game without its font or a music file;
#   - the installer: a silent install, its files, shortcut and Apps & features
#     entry, the smoke test of the installed game, a silent uninstall that
#     leaves nothing;
#   - another build of the same sources (scripts/check-reproducible.sh): the
#     same zip and installer, byte for byte.
# Wine's output always goes to files: its wineserver outlives the programs and
# would hold a pipe open.
set -euo pipefail
PLUMWICK_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$PLUMWICK_ROOT/scripts/setup.sh"
plumwick_install_missing wine

build=$PLUMWICK_ROOT/build-windows
host=$PLUMWICK_ROOT/build-windows-host
cached() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
version=$(cached CMAKE_PROJECT_VERSION)
libraries=$(cached PLUMWICK_WINDOWS_LIBRARIES)
name=plumwick-$version-windows-x64
zip=$PLUMWICK_ROOT/dist/$name.zip
setup=$PLUMWICK_ROOT/dist/$name-setup.exe
for file in "$zip" "$setup"; do
    [ -f "$file" ] || { echo "no $file: run scripts/build-windows.sh first" >&2 && exit 1; }
done

work=$(mktemp -d)
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
game_pid=""
cleanup() {
    [ -z "$game_pid" ] || kill "$game_pid" 2>/dev/null || true
    /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
    if [ "$plumwick_failures" -eq 0 ]; then rm -rf "$work"; else echo "kept $work for a look" >&2; fi
    plumwick_stop_display
}
plumwick_start_display
trap cleanup EXIT
# A Unix path as Windows programs under Wine see it.
windows_path() { echo "Z:${1//\//\\}"; }
# The game's own lines of an output file.
game_lines() { tr -d '\r' <"$1" | grep -E '^(PROGRAMMA AVVIATO!|ERRORE:)' || true; }
# start_game DIR EXE: the game under Wine in the folder DIR, its output in
# $work/stdout and $work/stderr; sets game_pid, and wid to its window.
start_game() {
    (cd "$1" && exec "$wine" "$2" </dev/null >"$work/stdout" 2>"$work/stderr") &
    game_pid=$!
    wid=$(plumwick_focus_window 60) || {
        plumwick_fail "no PLUMWICK window within 60 s; the game said: $(cat "$work/stdout" "$work/stderr")"
        exit 1
    }
}

echo "== windows: a fresh Wine prefix"
"$wine" wineboot -i </dev/null >"$work/wineboot.log" 2>&1
drive_c=$WINEPREFIX/drive_c

echo "== windows: unit tests under Wine"
plumwick_build "$build" -DPLUMWICK_TESTS=ON -- plumwick_tests
# They open the game's files by bare name, like the Linux ones, and find
# OpenAL32.dll on Wine's PATH.
status=0
(cd "$PLUMWICK_ROOT/assets" && WINEPATH=$(windows_path "$libraries/bin") \
    "$wine" "$build/tests/plumwick_tests.exe" </dev/null >"$work/unit.log" 2>&1) || status=$?
grep -E '^\[  (PASSED|FAILED) |^replay: ' "$work/unit.log" || true
plumwick_expect "unit tests' status" 0 "$status"
grep -q '^\[  PASSED  \]' "$work/unit.log" || plumwick_fail "the unit tests did not pass; $work/unit.log"

echo "== windows: the zip"
unpacked=$work/zip
mkdir "$unpacked"
unzip -q "$zip" -d "$unpacked"
game_dir=$unpacked/$name
exe=$game_dir/plumwick.exe
zip_files=$(sort <<EOF
OpenAL32.dll
README.txt
game_music.ogg
licenses/flac/COPYING.Xiph
licenses/freetype/FTL.TXT
licenses/libogg/COPYING
licenses/libvorbis/COPYING
licenses/mingw-w64-runtime/copyright
licenses/openal-soft/BSD-3Clause
licenses/openal-soft/COPYING
licenses/openal-soft/LGPL-2.1
licenses/openal-soft/LICENSE-pffft
licenses/openal-soft/SOURCE
licenses/pixel_font/OFL.txt
licenses/plumwick/LICENSE.txt
licenses/sfml/license.md
menu_music.ogg
pixel_font.ttf
plumwick.exe
EOF
)
plumwick_expect "folders at the top of the zip" "$name" "$(ls "$unpacked")"
plumwick_expect "files of the zip" "$zip_files" "$(cd "$game_dir" && find . -type f | sed 's|^\./||' | sort)"
for file in pixel_font.ttf menu_music.ogg game_music.ogg; do
    cmp -s "$PLUMWICK_ROOT/assets/$file" "$game_dir/$file" || plumwick_fail "$file differs from assets/"
done
cmp -s "$PLUMWICK_ROOT/LICENSE" "$game_dir/licenses/plumwick/LICENSE.txt" ||
    plumwick_fail "the game's licence differs from LICENSE"
cmp -s /usr/share/common-licenses/LGPL-2.1 "$game_dir/licenses/openal-soft/LGPL-2.1" ||
    plumwick_fail "OpenAL Soft's licence is not the LGPL 2.1"
grep -q 'pool/main/o/openal-soft/' "$game_dir/licenses/openal-soft/SOURCE" ||
    plumwick_fail "OpenAL Soft's SOURCE does not say where its source is"

echo "== windows: the .exe: subsystem, DLLs, icon, version"
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
plumwick_expect "subsystem" "00000002 (Windows GUI)" \
    "$(sed -n 's/^Subsystem[[:space:]]*//p' <<<"$headers" | tr '\t' ' ')"
# Beside the game only OpenAL32.dll: every other DLL it or OpenAL Soft loads
# is Windows' own (Wine has each in system32), none of MinGW's.
grep -q 'DLL Name: OpenAL32.dll' <<<"$headers" || plumwick_fail "the game does not link OpenAL32.dll"
for binary in "$exe" "$game_dir/OpenAL32.dll"; do
    for dll in $(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
        [ "$dll" = OpenAL32.dll ] || [ -e "$drive_c/windows/system32/${dll,,}" ] ||
            plumwick_fail "$(basename "$binary") needs $dll, which is not Windows' own"
    done
done
# The icon group (type 14) and the version information (type 16), both named 1.
resources=$(wrestool -l "$exe")
grep -q -- '--type=14 --name=1 ' <<<"$resources" || plumwick_fail "no icon group 1: $resources"
grep -q -- '--type=16 --name=1 ' <<<"$resources" || plumwick_fail "no version information: $resources"
mkdir "$work/icon"
wrestool -x --type=14 --name=1 "$exe" >"$work/icon/plumwick.ico"
icotool -x -o "$work/icon" "$work/icon/plumwick.ico"
sizes=()
for png in "$work"/icon/*.png; do
    sizes+=("$(identify -format '%w' "$png")")
    plumwick_check_icon "$png" "${sizes[-1]}"
done
plumwick_expect "icon sizes" "16 24 32 48 64 128 256" "$(printf '%s\n' "${sizes[@]}" | sort -n | xargs)"
wrestool -x --raw --type=16 --name=1 "$exe" >"$work/version.res"
# Its fixed part: after the signature FEEF04BD and the structure's version,
# FILEVERSION as two little-endian words, MAJOR<<16|MINOR and PATCH<<16|0.
le32() { local hex; hex=$(printf '%08x' "$1") && echo "${hex:6:2}${hex:4:2}${hex:2:2}${hex:0:2}"; }
IFS=. read -r major minor patch <<<"$version"
plumwick_expect "FILEVERSION" "bd04effe00000100$(le32 $((major << 16 | minor)))$(le32 $((patch << 16)))" \
    "$(od -An -tx1 -v "$work/version.res" | tr -d ' \n' | grep -o 'bd04effe.\{24\}' || true)"
# Its strings (UTF-16): each name followed by its value.
strings=$(strings -el "$work/version.res" | paste -sd '|')
for pair in "FileDescription|PLUMWICK" "FileVersion|$version" "ProductName|PLUMWICK" \
    "ProductVersion|$version" "OriginalFilename|plumwick.exe"; do
    [[ "|$strings|" == *"|$pair|"* ]] || plumwick_fail "version strings lack $pair: $strings"
done

echo "== windows: the zip's game started from another folder, through a redirect"
# It finds its files beside the .exe, and its lines reach the files.
mkdir "$work/elsewhere"
start_game "$work/elsewhere" "$exe"
plumwick_check_menu "$wid" "$work/menu.png"
plumwick_leave_by_menu "$wid" "$game_pid" || exit 1
game_pid=""
plumwick_expect "stdout" "PROGRAMMA AVVIATO!" "$(tr -d '\r' <"$work/stdout")"
plumwick_expect "game lines on stderr" "" "$(game_lines "$work/stderr")"

echo "== windows: its lines in the console of cmd, without a redirect"
# `start /wait` gives a GUI program no std handles, as a console does: the game
# attaches to cmd's console, which `script` keeps on a terminal. Without its
# files it says so on stdout and stderr and stops at once, with status 1.
mkdir "$work/console"
cp "$exe" "$game_dir/OpenAL32.dll" "$work/console"
(cd "$work/console" && script -qec "$wine cmd /c 'start /wait plumwick.exe & echo status %ERRORLEVEL%'" \
    "$work/console.log" </dev/null >/dev/null 2>&1) || true
plumwick_expect "console lines" "PROGRAMMA AVVIATO!
ERRORE: impossibile caricare la musica del menu!
ERRORE: impossibile caricare la musica del gioco!
ERRORE: Font non trovato!
status 1" \
    "$(tr -d '\r' <"$work/console.log" | sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' |
        grep -E '^(PROGRAMMA AVVIATO!|ERRORE:|status )' || true)"

echo "== windows: window tests, built for this machine, driving the zip's game"
plumwick_build "$host" -DPLUMWICK_TESTS=ON -- plumwick_window_tests plumwick_robustness_tests
smoke=PlumwickWindow.MenuHighlightInstructionsFieldAndExit
# The tests start the game in a folder of their own holding the files they
# chose; for the bad-file cases the .exe and its DLL are copied there, or it
# would read the good files beside it.
printf '#!/bin/sh\nexec %q %q\n' "$wine" "$exe" >"$work/zip-game"
printf '#!/bin/sh\ncp %q %q . && exec %q plumwick.exe\n' "$exe" "$game_dir/OpenAL32.dll" "$wine" \
    >"$work/game-here"
chmod +x "$work/zip-game" "$work/game-here"
# Wine's GetAsyncKeyState answers "not pressed" from a cache for up to 50
# ms (its tick count's, so a millisecond more): the held-arrow check allows it.
export PLUMWICK_KEY_PRESS_LAG=0.051
PLUMWICK_GAME_UNDER_TEST=$work/zip-game "$host/tests/window/plumwick_window_tests" \
    --gtest_filter="$smoke" || plumwick_fail "the window smoke test of the zip's game"
PLUMWICK_GAME_UNDER_TEST=$work/game-here "$host/tests/window/plumwick_robustness_tests" \
    --gtest_filter='BadDataFiles.AFontThatCannotBeOpened*:BadDataFiles.AMusicThatCannotBeOpened*' ||
    plumwick_fail "the zip's game without its font or a music file"

echo "== windows: the installer, silently"
status=0
"$wine" "$setup" /S </dev/null >"$work/setup.log" 2>&1 || status=$?
plumwick_expect "installer's status" 0 "$status"
installed=$drive_c/Program\ Files/PLUMWICK
plumwick_expect "installed files" "$(printf '%s\nuninstall.exe\n' "$zip_files" | sort)" \
    "$(cd "$installed" && find . -type f | sed 's|^\./||' | sort)"
(cd "$installed" && find . -type f ! -name uninstall.exe | sort) | while read -r file; do
    cmp -s "$installed/$file" "$game_dir/$file" || plumwick_fail "installed $file differs from the zip's"
done
shortcut=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/PLUMWICK.lnk
[ -f "$shortcut" ] || plumwick_fail "no Start-menu shortcut"
link=$(lnkinfo "$shortcut" 2>&1 | tr -d '\t' || true)
plumwick_expect "shortcut's target" 'Local path: C:\Program Files\PLUMWICK\plumwick.exe' \
    "$(grep '^Local path' <<<"$link" || true)"
plumwick_expect "shortcut's working folder" 'Working directory: C:\Program Files\PLUMWICK' \
    "$(grep '^Working directory' <<<"$link" || true)"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\PLUMWICK'
"$wine" reg query "$key" </dev/null >"$work/registry" 2>&1 || true
for value in "DisplayName REG_SZ PLUMWICK" "DisplayVersion REG_SZ $version" \
    'UninstallString REG_SZ "C:\Program Files\PLUMWICK\uninstall.exe"' \
    'QuietUninstallString REG_SZ "C:\Program Files\PLUMWICK\uninstall.exe" /S'; do
    tr -d '\r' <"$work/registry" | sed 's/^ *//; s/  */ /g' | grep -qxF "$value" ||
        plumwick_fail "Apps & features entry lacks '$value': $(cat "$work/registry")"
done

echo "== windows: the installed game"
printf '#!/bin/sh\nexec %q %q\n' "$wine" "$installed/plumwick.exe" >"$work/installed-game"
chmod +x "$work/installed-game"
PLUMWICK_GAME_UNDER_TEST=$work/installed-game "$host/tests/window/plumwick_window_tests" \
    --gtest_filter="$smoke" || plumwick_fail "the window smoke test of the installed game"

echo "== windows: the uninstaller, silently"
status=0
"$wine" "$installed/uninstall.exe" /S </dev/null >"$work/uninstall.log" 2>&1 || status=$?
plumwick_expect "uninstaller's status" 0 "$status"
# It runs on from a copy of itself in the temporary folder, so that it can
# remove itself: wait for that.
for _ in $(seq 300); do
    [ -e "$installed" ] || break
    sleep 0.1
done
[ ! -e "$installed" ] || plumwick_fail "left after uninstalling: $(find "$installed")"
[ ! -e "$shortcut" ] || plumwick_fail "the shortcut is left after uninstalling"
"$wine" reg query "$key" </dev/null >"$work/registry" 2>&1 &&
    plumwick_fail "the Apps & features entry is left after uninstalling"

echo "== windows: the same bytes from another build"
# Elsewhere, later, by another user: the same commit must give the same zip and installer.
bash "$PLUMWICK_ROOT/scripts/check-reproducible.sh" --windows "$zip" "$setup" ||
    plumwick_fail "the zip or the installer does not reproduce"

if [ "$plumwick_failures" -ne 0 ]; then
    echo "== windows tests: $plumwick_failures failures" >&2
    exit 1
fi
echo "== windows tests passed"
