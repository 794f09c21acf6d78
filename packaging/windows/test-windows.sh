#!/usr/bin/env bash
# Tests what scripts/build-windows.sh made, under Wine (64-bit) on an X display
# (a virtual one when there is none), in a fresh Wine prefix of its own:
#   - the unit tests, cross-built for Windows (the replay fingerprint among them);
#   - the zip: its files, and the .exe's subsystem, DLLs, icon, version and
#     manifest (and the installer's);
#   - the zip's game started from another folder, its lines through a redirect,
#     and in cmd's console when it has no redirect; started as from Explorer
#     without its font, a message box that says why;
#   - the native window tests driving the zip's game: the smoke test (the
#     window's icon among its checks), and the game without its font or a
#     music file; with PLUMWICK_WINE_MUSIC=1, the music test;
#   - the installer: a silent install, its files, shortcut and Apps & features
#     entry, the smoke test of the installed game, a silent uninstall that
#     leaves nothing; an install over an older version in a folder of the
#     player's, which it finds, leaving none of the older files and one
#     entry; neither uninstaller nor installer touching a file while the game
#     runs; the player's own files kept by the uninstaller;
#   - a library pin the archive no longer has: one line, and no build;
#   - another build of the same sources (scripts/check-reproducible.sh): the
#     same zip and installer, byte for byte (and, when asked, the libraries
#     built again in another folder: the same OpenAL32.dll).
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
    if [ "${#plumwick_failures[@]}" -eq 0 ]; then rm -rf "$work"; else echo "kept $work for a look" >&2; fi
    plumwick_stop_display
}
plumwick_start_display
trap cleanup EXIT
# A Unix path as Windows programs under Wine see it.
windows_path() { echo "Z:${1//\//\\}"; }
# What a console showed, as text: Wine's console writes a space as "move one
# column right" (ESC [ C), and wraps every character in cursor escapes.
console_text() {
    tr -d '\r' <"$1" | perl -pe 's/\e\[(\d*)C/" " x ($1 || 1)/ge; s/\e\[[0-9;?]*[A-Za-z]//g'
}
# The game's own lines of an output file.
game_lines() { tr -d '\r' <"$1" | grep -E '^(PROGRAMMA AVVIATO!|ERRORE:)' || true; }
# The game (and the unit tests, which draw with OpenGL too) is started through
# cmd /c, which waits for it and ends with its exit code, as Windows reports
# it. Wine's server kills (SIGKILL) a process that has not finished exiting a
# second after it ended, and on a loaded machine the game's Linux side (Mesa,
# X and the rest unloading) once took longer: wine64 itself then ends
# "killed", whatever the game's status (CI at 086f0cc). cmd has none of that
# to unload.
# game_script FILE EXE: writes FILE, a script that starts EXE so.
game_script() {
    printf '#!/bin/sh\nexec %q cmd /c %q\n' "$wine" "$(windows_path "$2")" >"$1"
    chmod +x "$1"
}
# start_game DIR EXE: the game under Wine in the folder DIR, its output in
# $work/stdout and $work/stderr; sets game_pid, and wid to its window.
start_game() {
    (cd "$1" && exec "$wine" cmd /c "$(windows_path "$2")" \
        </dev/null >"$work/stdout" 2>"$work/stderr") &
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
(cd "$PLUMWICK_ROOT/assets" && WINEPATH=$(windows_path "$libraries/bin") "$wine" cmd /c \
    "$(windows_path "$build/tests/plumwick_tests.exe")" </dev/null >"$work/unit.log" 2>&1) || status=$?
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
# The tarball it names, kept with the libraries for a release's windows-sources/.
tarball=$(sed -n '4s/^ *//p' "$game_dir/licenses/openal-soft/SOURCE" | tr -d '\r')
grep -q "beside this zip, in windows-sources/" "$game_dir/licenses/openal-soft/SOURCE" ||
    plumwick_fail "OpenAL Soft's SOURCE does not name the release's windows-sources/"
plumwick_expect "sha256 of $tarball, kept for the release" \
    "$(sed -n '5s/^ *sha256 //p' "$game_dir/licenses/openal-soft/SOURCE" | tr -d '\r')" \
    "$(sha256sum <"$(bash "$PLUMWICK_ROOT/packaging/windows/libraries.sh" --prefix)/share/sources/$tarball" |
        cut -d' ' -f1)"

echo "== windows: the .exe: subsystem, DLLs, icon, version"
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
plumwick_expect "subsystem" "00000002 (Windows GUI)" \
    "$(sed -n 's/^Subsystem[[:space:]]*//p' <<<"$headers" | tr '\t' ' ')"
# Beside the game only OpenAL32.dll: every other DLL it or OpenAL Soft loads
# is one that every Windows 10 and 11 has, named here (Wine's system32 also
# holds ones a player may lack, such as vcruntime140.dll), none of MinGW's.
grep -q 'DLL Name: OpenAL32.dll' <<<"$headers" || plumwick_fail "the game does not link OpenAL32.dll"
windows_own=" advapi32.dll avrt.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll opengl32.dll shell32.dll user32.dll winmm.dll "
for binary in "$exe" "$game_dir/OpenAL32.dll"; do
    for dll in $(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
        [ "$dll" = OpenAL32.dll ] || [[ "$windows_own" == *" ${dll,,} "* ]] ||
            plumwick_fail "$(basename "$binary") needs $dll, which is not among Windows' own"
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
# The manifests (type 24, named 1): the game runs as the player, declares
# Windows 10 and 11 and its DPI awareness; the installer asks for elevation.
manifest=$(wrestool -x --raw --type=24 --name=1 "$exe" | tr -s ' \n' ' ')
for part in '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>' \
    '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' \
    '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>'; do
    [[ "$manifest" == *"$part"* ]] || plumwick_fail "the game's manifest lacks $part: $manifest"
done
[[ "$(wrestool -x --raw --type=24 --name=1 "$setup" | tr -s ' \n' ' ')" == \
    *'<requestedExecutionLevel level="requireAdministrator"'* ]] ||
    plumwick_fail "the installer's manifest does not ask for elevation"

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
# With a console the lines are read there: no message box, which would hold
# it up (hence the time limit).
(cd "$work/console" && TERM=dumb timeout 120 script -qec "$wine cmd /c 'start /wait plumwick.exe & echo status %ERRORLEVEL%'" \
    "$work/console.log" </dev/null >/dev/null 2>&1) || true
plumwick_expect "console lines" "PROGRAMMA AVVIATO!
ERRORE: impossibile caricare la musica del menu!
ERRORE: impossibile caricare la musica del gioco!
ERRORE: Font non trovato!
status 1" \
    "$(console_text "$work/console.log" | grep -E '^(PROGRAMMA AVVIATO!|ERRORE:|status )' || true)"

echo "== windows: one stream redirected, the other in cmd's console"
# A redirect keeps its stream; the other one, and what SFML itself writes
# (sf::err(): here that the font, an .ogg by that name, cannot be read), still
# reach the console.
mkdir "$work/partial"
cp "$exe" "$game_dir/OpenAL32.dll" "$work/partial"
cp "$game_dir/menu_music.ogg" "$work/partial/pixel_font.ttf"
sfml_line='Failed to load font "pixel_font.ttf" (failed to create the font face)'
music_lines="ERRORE: impossibile caricare la musica del menu!
ERRORE: impossibile caricare la musica del gioco!"
for redirect in "> out.txt" "2> err.txt"; do
    rm -f "$work/partial/out.txt" "$work/partial/err.txt"
    (cd "$work/partial" && TERM=dumb timeout 120 script -qec \
        "$wine cmd /c 'plumwick.exe $redirect & echo status %ERRORLEVEL%'" "$work/partial.log" \
        </dev/null >/dev/null 2>&1) || true
    console=$(console_text "$work/partial.log" | grep -E '^(PROGRAMMA|ERRORE:|Failed|status )' || true)
    if [ "$redirect" = "> out.txt" ]; then
        plumwick_expect "console with $redirect" "$music_lines
$sfml_line
status 1" "$console"
        plumwick_expect "out.txt" "PROGRAMMA AVVIATO!
ERRORE: Font non trovato!" "$(tr -d '\r' <"$work/partial/out.txt")"
    else
        plumwick_expect "console with $redirect" "PROGRAMMA AVVIATO!
ERRORE: Font non trovato!
status 1" "$console"
        plumwick_expect "err.txt" "$music_lines
$sfml_line" "$(tr -d '\r' <"$work/partial/err.txt" | grep -E '^(ERRORE:|Failed)')"
    fi
done

echo "== windows: without its font, started as from Explorer: a message box"
# No console and no redirect: the line that says why the game stopped would go
# nowhere, so a message box titled PLUMWICK shows it, and the game exits with
# status 1 once it is dismissed. (Wine's start, itself without a console,
# starts the game as Explorer does; the box's text is read from Wine's trace
# of MessageBox.)
mkdir "$work/explorer"
cp "$exe" "$game_dir/OpenAL32.dll" "$game_dir/menu_music.ogg" "$game_dir/game_music.ogg" "$work/explorer"
status_file=$work/explorer-status
(cd "$work/explorer" && { status=0 && WINEDEBUG=trace+msgbox "$wine" start /wait /unix \
    "$work/explorer/plumwick.exe" </dev/null >"$work/explorer.log" 2>&1 || status=$?
    echo "$status" >"$status_file"; }) &
# The game's window shows first and goes; the box is the small window of that
# title after it. Wine may replace a window's X window as it shows it, so the
# box is looked for afresh before each Return, until the game has ended.
message_box() {
    local window size
    for window in $(xdotool search --onlyvisible --name '^PLUMWICK$' 2>/dev/null); do
        size=$(xdotool getwindowgeometry "$window" 2>/dev/null | sed -n 's/^ *Geometry: //p')
        [[ "$size" =~ ^([0-9]+)x([0-9]+)$ ]] && ((BASH_REMATCH[1] > 50 && BASH_REMATCH[1] < 500 &&
            BASH_REMATCH[2] > 30 && BASH_REMATCH[2] < 300)) && echo "$window" && return 0
    done
    return 0
}
seen_box=no
for _ in $(seq 120); do
    [ -s "$status_file" ] && break
    box=$(message_box)
    if [ -n "$box" ]; then
        seen_box=yes
        xdotool windowfocus --sync "$box" key Return >/dev/null 2>&1 || true
    fi
    sleep 0.5
done
plumwick_expect "a message box seen" yes "$seen_box"
plumwick_expect "status after the message box" 1 "$(cat "$status_file" 2>/dev/null)"
# Nothing of it may be left for the window tests to find.
[ -s "$status_file" ] || /usr/lib/wine/wineserver64 -k 2>/dev/null || true
grep -qF 'ERRORE: Font non trovato!' "$work/explorer.log" ||
    plumwick_fail "the message box does not say 'ERRORE: Font non trovato!': $(grep -i msgbox "$work/explorer.log")"

echo "== windows: window tests, built for this machine, driving the zip's game"
plumwick_build "$host" -DPLUMWICK_TESTS=ON -- plumwick_window_tests plumwick_robustness_tests
smoke=PlumwickWindow.MenuHighlightInstructionsFieldAndExit
# The tests start the game in a folder of their own holding the files they
# chose; for the bad-file cases the .exe and its DLL are copied there, or it
# would read the good files beside it.
game_script "$work/zip-game" "$exe"
printf '#!/bin/sh\ncp %q %q . && exec %q cmd /c plumwick.exe\n' "$exe" "$game_dir/OpenAL32.dll" "$wine" \
    >"$work/game-here"
chmod +x "$work/game-here"
# Wine's GetAsyncKeyState answers "not pressed" from a cache for up to 50
# ms (its tick count's, so a millisecond more): the held-arrow check allows it.
export PLUMWICK_KEY_PRESS_LAG=0.051
# The window's icon, as Wine hands it to X (_NET_WM_ICON): the .exe's small
# and large icons at Wine's system sizes, which the smoke test compares with
# the heart, pixel for pixel.
export PLUMWICK_WINDOW_ICON_SIZES="16 32"
PLUMWICK_GAME_UNDER_TEST=$work/zip-game "$host/tests/window/plumwick_window_tests" \
    --gtest_filter="$smoke" || plumwick_fail "the window smoke test of the zip's game"
PLUMWICK_GAME_UNDER_TEST=$work/game-here "$host/tests/window/plumwick_robustness_tests" \
    --gtest_filter='BadDataFiles.AFontThatCannotBeOpened*:BadDataFiles.AMusicThatCannotBeOpened*' ||
    plumwick_fail "the zip's game without its font or a music file"

echo "== windows: the music a player hears, through Wine's sound driver"
# The native music test (tests/window/music_test.cpp) driving the zip's game:
# a private PulseAudio null sink is recorded while keys drive the menu. The
# Windows OpenAL32.dll picks its own backend (WASAPI), which Wine plays to
# PulseAudio; the ALSOFT_DRIVERS=pulse that the test sets for Linux's OpenAL
# names one the Windows library lacks. On a loaded machine Wine's sound drops
# and falls seconds behind (docs/performance.md): asked for only, like SFML 3's.
if [ "${PLUMWICK_WINE_MUSIC:-}" = 1 ]; then
    plumwick_install_missing -- pulseaudio pulseaudio-utils
    plumwick_build "$host" -DPLUMWICK_TESTS=ON -- plumwick_music_tests
    printf '#!/bin/sh\nexec env -u ALSOFT_DRIVERS %q\n' "$work/zip-game" >"$work/zip-game-heard"
    chmod +x "$work/zip-game-heard"
    PLUMWICK_GAME_UNDER_TEST=$work/zip-game-heard "$host/tests/window/plumwick_music_tests" \
        >"$work/music.log" 2>&1 || plumwick_fail "the zip's game's music; $work/music.log"
    grep -E '^\[  (PASSED|SKIPPED|FAILED) ' "$work/music.log" || true
    ! grep -q '^\[  SKIPPED' "$work/music.log" || plumwick_fail "the music test skipped; $work/music.log"
else
    echo "not run: PLUMWICK_WINE_MUSIC=1 runs it, on a machine not shared with other runs"
fi

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
# has_values FILE VALUE...: the output of reg query holds each value line.
has_values() {
    local file=$1 value
    shift
    for value in "$@"; do
        tr -d '\r' <"$file" | sed 's/^ *//; s/  */ /g' | grep -qxF "$value" ||
            plumwick_fail "Apps & features entry lacks '$value': $(cat "$file")"
    done
}
# The size of the installed files in KiB, as Apps & features shows it.
size_kb=$(find "$game_dir" -type f -printf '%s\n' | awk '{ b += $1 } END { print int((b + 1023) / 1024) }')
has_values "$work/registry" "DisplayName REG_SZ PLUMWICK" "DisplayVersion REG_SZ $version" \
    'InstallLocation REG_SZ C:\Program Files\PLUMWICK' \
    "EstimatedSize REG_DWORD $(printf '0x%x' "$size_kb")" \
    'UninstallString REG_SZ "C:\Program Files\PLUMWICK\uninstall.exe"' \
    'QuietUninstallString REG_SZ "C:\Program Files\PLUMWICK\uninstall.exe" /S'

echo "== windows: the installed game"
game_script "$work/installed-game" "$installed/plumwick.exe"
PLUMWICK_GAME_UNDER_TEST=$work/installed-game "$host/tests/window/plumwick_window_tests" \
    --gtest_filter="$smoke" || plumwick_fail "the window smoke test of the installed game"

echo "== windows: the uninstaller, silently"
status=0
"$wine" "$installed/uninstall.exe" /S </dev/null >"$work/uninstall.log" 2>&1 || status=$?
plumwick_expect "uninstaller's status" 0 "$status"
# It runs on from a copy of itself in the temporary folder, so that it can
# remove itself: wait for every Wine program to end, however slow the machine.
wait_for_wine() {
    timeout 120 /usr/lib/wine/wineserver64 -w || plumwick_fail "Wine's programs still ran after 120 s"
}
wait_for_wine
[ ! -e "$installed" ] || plumwick_fail "left after uninstalling: $(find "$installed")"
[ ! -e "$shortcut" ] || plumwick_fail "the shortcut is left after uninstalling"
"$wine" reg query "$key" </dev/null >"$work/registry" 2>&1 &&
    plumwick_fail "the Apps & features entry is left after uninstalling"

echo "== windows: over an older version elsewhere, with a player's files and the game running"
# An older version, made here from the same script, had a file this one has
# not; it went to a folder of the player's choosing, where the player also
# keeps files of their own.
{ cat "$build/nsis/files.nsh"; printf 'SetOutPath "$INSTDIR"\nFile "%s"\n' "$work/retired.txt"; } \
    >"$work/old-files.nsh"
{ printf 'Delete "$INSTDIR\\retired.txt"\n'; cat "$build/nsis/remove.nsh"; } >"$work/old-remove.nsh"
echo "a file of 0.9.0" >"$work/retired.txt"
makensis -NOCD -V2 -DVERSION=0.9.0 -DOUTFILE="$work/old-setup.exe" \
    -DICON="$build/packaging/windows/icon/plumwick.ico" -DSIZE_KB=1 \
    -DFILES="$work/old-files.nsh" -DREMOVE="$work/old-remove.nsh" \
    "$PLUMWICK_ROOT/packaging/windows/plumwick.nsi" >"$work/old-setup.log"
games=$drive_c/Games/PLUMWICK
status=0
"$wine" "$work/old-setup.exe" /S '/D=C:\Games\PLUMWICK' </dev/null >>"$work/setup.log" 2>&1 || status=$?
plumwick_expect "the older installer's status" 0 "$status"
[ -f "$games/retired.txt" ] || plumwick_fail "the older version did not install in C:\Games\PLUMWICK"
echo "notes" >"$games/my-notes.txt"
echo "more notes" >"$games/licenses/my-licence-notes.txt"
players_files=$(printf '%s\n' my-notes.txt licenses/my-licence-notes.txt | sort)

# This version, asked for no folder, goes to the same one and leaves nothing
# of the older version but the player's files.
status=0
"$wine" "$setup" /S </dev/null >>"$work/setup.log" 2>&1 || status=$?
plumwick_expect "the installer's status over the older version" 0 "$status"
installed_there() { (cd "$games" && find . -type f | sed 's|^\./||' | sort); }
plumwick_expect "files over the older version" \
    "$(printf '%s\nuninstall.exe\n%s\n' "$zip_files" "$players_files" | sort)" "$(installed_there)"
[ ! -e "$installed" ] || plumwick_fail "the second install went to $installed"
"$wine" reg query "$key" </dev/null >"$work/registry" 2>&1 || true
has_values "$work/registry" "DisplayVersion REG_SZ $version" 'InstallLocation REG_SZ C:\Games\PLUMWICK'
"$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s </dev/null \
    >"$work/entries" 2>&1 || true
plumwick_expect "Apps & features entries named PLUMWICK" 1 \
    "$(tr -d '\r' <"$work/entries" | grep -cE '^ +DisplayName +REG_SZ +PLUMWICK$' || true)"

# While the game runs, neither the uninstaller (run in place, _?=, to give
# its status) nor the installer touches a file; once it is closed the
# uninstaller removes what was installed, and only that.
start_game "$games" "$games/plumwick.exe"
for program in "uninstall.exe /S _?=C:\Games\PLUMWICK" "$(windows_path "$setup") /S"; do
    status=0
    # shellcheck disable=SC2086 # the program and its arguments
    (cd "$games" && timeout 120 "$wine" $program </dev/null >>"$work/uninstall.log" 2>&1) ||
        status=$?
    plumwick_expect "status of '${program%% *}' while the game runs" 2 "$status"
    plumwick_expect "files after '${program%% *}' while the game runs" \
        "$(printf '%s\nuninstall.exe\n%s\n' "$zip_files" "$players_files" | sort)" "$(installed_there)"
done
"$wine" reg query "$key" </dev/null >/dev/null 2>&1 ||
    plumwick_fail "the Apps & features entry went while the game ran"
plumwick_leave_by_menu "$wid" "$game_pid" || exit 1
game_pid=""
status=0
"$wine" "$games/uninstall.exe" /S </dev/null >>"$work/uninstall.log" 2>&1 || status=$?
plumwick_expect "the uninstaller's status once the game is closed" 0 "$status"
wait_for_wine
plumwick_expect "files left after uninstalling" "$players_files" "$(installed_there)"
"$wine" reg query "$key" </dev/null >"$work/registry" 2>&1 &&
    plumwick_fail "the Apps & features entry is left after uninstalling"

echo "== windows: a pin the archive no longer has"
# As after a point release: libogg pinned to a version the archive never had.
# The library build stops at once with one line naming the pin and what the
# archive has, and builds nothing.
moved=$work/moved-pin
mkdir -p "$moved/packaging" "$moved/scripts"
cp -r "$PLUMWICK_ROOT/packaging/windows" "$moved/packaging/"
cp "$PLUMWICK_ROOT/scripts/setup.sh" "$moved/scripts/"
sed -i 's/^    "libogg 1\.3\.5-3 /    "libogg 1.3.5-0 /' "$moved/packaging/windows/libraries.sh"
status=0
PLUMWICK_WINDOWS_CACHE=$moved/cache bash "$moved/packaging/windows/libraries.sh" \
    >"$moved/out" 2>"$moved/err" || status=$?
plumwick_expect "status with a moved pin" 1 "$status"
plumwick_expect "its last line" \
    "the pin 'libogg 1.3.5-0' (bookworm) is gone from the archive, which has 1.3.5-3: move the pin (docs/windows.md)" \
    "$(tail -n 1 "$moved/err")"
[ -z "$(find "$moved/cache" -name '*.dll' -o -name '*.a')" ] || plumwick_fail "it built with a moved pin"

echo "== windows: the same bytes from another build"
# Elsewhere, later, by another user: the same commit must give the same zip and installer.
# With PLUMWICK_WINDOWS_LIBRARIES_TWICE=1 (run-tests.sh --windows sets it when
# it found the library cache empty) the libraries are built again too.
twice=()
[ "${PLUMWICK_WINDOWS_LIBRARIES_TWICE:-}" != 1 ] || twice=(--libraries)
bash "$PLUMWICK_ROOT/scripts/check-reproducible.sh" --windows "${twice[@]}" "$zip" "$setup" ||
    plumwick_fail "the zip or the installer does not reproduce"

plumwick_end_checks "windows tests" || exit 1
echo "== windows tests passed"
