#!/usr/bin/env bash
# Checks that the same sources give the same bytes: builds the checked-out
# commit (with any uncommitted change to its files) the README's way in a new
# folder elsewhere, later, a year on by the clock (faketime), under another
# user (nobody, when run as root), time zone and locale, and compares what it made with each FILE given:
# a package this checkout built, or one published for this commit. Without a
# FILE it builds twice, the first time here and now, and compares the two.
# On a difference diffoscope says where; the exit status is then 1.
#   bash scripts/check-reproducible.sh                          # the .deb, twice
#   bash scripts/check-reproducible.sh ~/plumwick_1.0.0_amd64.deb   # against one
# With --arch ARCH, the .deb for that Debian architecture, cross-built:
#   bash scripts/check-reproducible.sh --arch arm64 build-package-arm64/plumwick_1.0.0_arm64.deb
# With --windows, the same for the Windows zip and installer, built by
# scripts/build-windows.sh (its libraries are built beforehand as this user):
#   bash scripts/check-reproducible.sh --windows dist/*.zip dist/*-setup.exe
# With --windows --libraries the libraries are built again first, in another
# folder: the same OpenAL32.dll, and the second build links those (CI does
# this when its library cache was empty, on a fresh machine).
# Builds in $TMPDIR (or /var/tmp), removed afterwards.
set -euo pipefail
PLUMWICK_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$PLUMWICK_ROOT/scripts/setup.sh"

windows=no libraries=no cross=()
[ "${1:-}" != --windows ] || { windows=yes && shift; }
if [ "${1:-}" = --arch ]; then
    read -ra cross <<<"$(plumwick_cross_options "${2:?usage: $0 --arch ARCH [FILE...]}")"
    shift 2
fi
[ "$windows" = no ] || [ "${1:-}" != --libraries ] || { libraries=yes && shift; }
plumwick_install_missing -- build-essential cmake pkg-config libsfml-dev libopenal-dev \
    dpkg-dev git faketime diffoscope-minimal
work=$(mktemp -d "${TMPDIR:-/var/tmp}/plumwick-reproducible-XXXXXX")
trap 'rm -rf "$work"' EXIT
# Every build takes its time from the commit, as a build from a clone would.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$PLUMWICK_ROOT" log -1 --format=%ct)}

# copy_sources DIR: the tracked files as they are in the work tree.
copy_sources() {
    local tree
    tree=$(git -C "$PLUMWICK_ROOT" stash create)
    mkdir -p "$1"
    git -C "$PLUMWICK_ROOT" archive "${tree:-HEAD}" | tar -x -C "$1"
}

# build_package SOURCES [WRAPPER...]: the .deb (or the Windows zip and
# installer), the README's way, each command run through WRAPPER when given;
# prints their paths.
build_package() {
    local sources=$1
    shift
    if [ "$windows" = yes ]; then
        "$@" bash "$sources/scripts/build-windows.sh" >"$work/build.log" 2>&1 ||
            { cat "$work/build.log" >&2; return 1; }
        ls "$sources"/dist/*.zip "$sources"/dist/*-setup.exe
        return
    fi
    "$@" cmake -S "$sources" -B "$sources/build-package" -DCMAKE_BUILD_TYPE=Release \
        -DPLUMWICK_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr "${cross[@]}" >"$work/build.log" 2>&1 &&
        "$@" cmake --build "$sources/build-package" -j "$(nproc)" --target package \
            >>"$work/build.log" 2>&1 || { cat "$work/build.log" >&2; return 1; }
    ls "$sources"/build-package/plumwick_*.deb
}

if [ "$windows" = yes ]; then
    # The cached libraries, which another user may read but not build.
    PLUMWICK_WINDOWS_PREFIX=$(bash "$PLUMWICK_ROOT/packaging/windows/libraries.sh" | tail -n 1)
    if [ "$libraries" = yes ]; then
        # Built again in another folder, for the second build below:
        # OpenAL32.dll, shipped as it is, must come out the same (the static
        # libraries are in plumwick.exe, which the zip compares).
        echo "== reproducible: the Windows libraries again, in another folder"
        again=$(PLUMWICK_WINDOWS_CACHE=$work/libraries/a/longer/path \
            bash "$PLUMWICK_ROOT/packaging/windows/libraries.sh" 2>"$work/libraries.log" |
            tail -n 1) || { cat "$work/libraries.log" >&2 && exit 1; }
        dll=bin/OpenAL32.dll
        if cmp -s "$PLUMWICK_WINDOWS_PREFIX/$dll" "$again/$dll"; then
            echo "same bytes: $(sha256sum "$again/$dll" | cut -d' ' -f1)  OpenAL32.dll"
        else
            echo "DIFFERENT: OpenAL32.dll of $PLUMWICK_WINDOWS_PREFIX and of $again" >&2
            diffoscope --text - "$PLUMWICK_WINDOWS_PREFIX/$dll" "$again/$dll" >&2 || true
            exit 1
        fi
        PLUMWICK_WINDOWS_PREFIX=$again
    fi
    export PLUMWICK_WINDOWS_PREFIX
fi
if [ $# -eq 0 ]; then
    echo "== reproducible: the first build, here and now"
    copy_sources "$work/first"
    first=$(umask 022 && TZ=UTC LC_ALL=C.UTF-8 build_package "$work/first")
    mapfile -t first <<<"$first"
    set -- "${first[@]}"
fi
echo "== reproducible: the second build, elsewhere and later"
second=$work/second/a/longer/path
copy_sources "$second"
# What another builder and day would change: the user, the clock, the zone
# and the locale (not the umask: cpack gives the .deb's own members its mode).
someone_else=()
if [ "$(id -u)" -eq 0 ]; then
    chmod 755 "$work" && chown -R nobody:nogroup "$work/second"
    someone_else=(runuser -u nobody --)
fi
rebuilds=$(umask 022 && TZ=Pacific/Chatham LC_ALL=C LANG=C \
    build_package "$second" "${someone_else[@]}" faketime -f +400d)

status=0
for file in "$@"; do
    rebuilt=$(grep -F "/$(basename "$file")" <<<"$rebuilds" || echo "(no $(basename "$file"))")
    if cmp -s "$file" "$rebuilt"; then
        echo "same bytes: $(sha256sum "$rebuilt" | cut -d' ' -f1)  $(basename "$file")"
    else
        echo "DIFFERENT: $file and its rebuild $(basename "$rebuilt")" >&2
        diffoscope --text - "$file" "$rebuilt" >&2 || true
        status=1
    fi
done
exit $status
