#!/usr/bin/env bash
# Builds PLUMWICK for 64-bit Windows on Debian 12 and writes
#   dist/plumwick-VERSION-windows-x64.zip
#   dist/plumwick-VERSION-windows-x64-setup.exe
# The libraries come from Debian's source packages, built once by
# packaging/windows/libraries.sh into a cache outside the clone; the game is
# cross-built with MinGW-w64 (packaging/windows/mingw-w64-x86_64.cmake) in
# build-windows/. The same commit gives the same bytes in any folder, at any
# time, for any user and locale: every time stored is SOURCE_DATE_EPOCH's.
# As root it installs the Debian packages it needs.
set -euo pipefail
PLUMWICK_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$PLUMWICK_ROOT/scripts/setup.sh"
export LC_ALL=C TZ=UTC
umask 022

plumwick_install_missing windows

echo "== windows: libraries"
# PLUMWICK_WINDOWS_PREFIX names a prefix built already (as by another user).
libraries=${PLUMWICK_WINDOWS_PREFIX:-$(bash "$PLUMWICK_ROOT/packaging/windows/libraries.sh" | tail -n 1)}
[ -d "$libraries" ] || { echo "libraries.sh named no folder: '$libraries'" >&2 && exit 1; }
echo "libraries in $libraries"

echo "== windows: the icon renderer, for this machine"
# packaging/render_icon.cpp draws the heart with the game's own art code; the
# Windows build of it cannot run here.
plumwick_build "$PLUMWICK_ROOT/build-windows-host" -DCMAKE_BUILD_TYPE=Release \
    -DPLUMWICK_TESTS=OFF -- plumwick_icon

echo "== windows: build"
build=$PLUMWICK_ROOT/build-windows
plumwick_build "$build" -DCMAKE_TOOLCHAIN_FILE="$PLUMWICK_ROOT/packaging/windows/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$libraries" -DPLUMWICK_WINDOWS_LIBRARIES="$libraries" \
    -DPLUMWICK_ICON_RENDERER="$PLUMWICK_ROOT/build-windows-host/packaging/plumwick_icon" \
    "$@" -- plumwick
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
epoch=$(sed -n 's/^PLUMWICK_WINDOWS_EPOCH:[A-Z]*=//p' "$build/CMakeCache.txt")
# strip stamps the PE file it writes with SOURCE_DATE_EPOCH, else the time of day.
export SOURCE_DATE_EPOCH=$epoch
name=plumwick-$version-windows-x64
dist=$PLUMWICK_ROOT/dist
stage=$dist/stage
folder=$stage/$name

echo "== windows: the folder"
rm -rf "$stage" "$dist/$name.zip" "$dist/$name-setup.exe"
cmake --install "$build" --prefix "$folder" --strip >/dev/null
# Same modes and times whoever builds, whenever.
chmod -R u=rwX,go=rX "$stage"
find "$stage" -exec touch --no-dereference --date="@$epoch" {} +

echo "== windows: zip"
# Names in a fixed order, times as UTC (zip stores local time), no extra
# fields (they hold the owner's ids and access times).
(cd "$stage" && find "$name" | sort | zip -q -X -@ "$dist/$name.zip")

echo "== windows: installer"
# The files to install and to remove, from the folder; subfolders deepest first.
nsis=$build/nsis
mkdir -p "$nsis"
(
    cd "$folder"
    find . -type d | sort | while read -r dir; do
        dir=${dir#.}
        echo "SetOutPath \"\$INSTDIR${dir//\//\\}\""
        find ".$dir" -maxdepth 1 -type f | sort | sed 's|^\./||; s|.*|File "'"$folder"'/&"|'
    done
) >"$nsis/files.nsh"
(
    cd "$folder"
    find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|Delete "$INSTDIR\\&"|'
    find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|RMDir "$INSTDIR\\&"|'
) >"$nsis/remove.nsh"
# Apps & features shows the size of the files installed, in KiB.
size_kb=$(find "$folder" -type f -printf '%s\n' | awk '{ bytes += $1 } END { print int((bytes + 1023) / 1024) }')
makensis -NOCD -V2 -DVERSION="$version" -DOUTFILE="$dist/$name-setup.exe" \
    -DICON="$build/packaging/windows/icon/plumwick.ico" \
    -DFILES="$nsis/files.nsh" -DREMOVE="$nsis/remove.nsh" -DSIZE_KB="$size_kb" \
    "$PLUMWICK_ROOT/packaging/windows/plumwick.nsi"
touch --date="@$epoch" "$dist/$name.zip" "$dist/$name-setup.exe"

echo "== windows: done"
(cd "$dist" && sha256sum "$name.zip" "$name-setup.exe")
