#!/usr/bin/env bash
# Makes the release of the checked-out commit, every file of it, in
# dist/plumwick-VERSION/:
#   plumwick-VERSION.tar.gz            the source, from git
#   plumwick_VERSION_ARCH.deb          for amd64 and i386 (Debian 12), arm64,
#                                      armhf and riscv64 (Debian 13)
#   plumwick-VERSION-windows-x64.zip and -setup.exe
#   windows-sources/                   the source packages of the libraries
#                                      that the Windows files carry, as built
#   RELEASE-NOTES.md                   CHANGELOG.md's entry for VERSION
#   SHA256SUMS                         of all of them
#   sudo bash scripts/release.sh
# As root on Debian 12 (amd64), from a clean clone: each .deb is built in a
# fresh root of the release its README row names, with that release's cross
# compiler, and checked (lintian: no error, no warning); the Windows files in
# a fresh Debian 12 root (the libraries from /var/cache/plumwick, built there
# first when missing). The same commit gives the same SHA256SUMS, from any
# folder and machine, as long as the Debian archive holds the same versions.
# CI tests each part (docs/packaging.md says where).
# --part [--arch ARCH|--windows] is the step in each root: it leaves its files
# in dist/part/.
set -euo pipefail
PLUMWICK_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$PLUMWICK_ROOT/scripts/setup.sh"
cd "$PLUMWICK_ROOT"

if [ "${1:-}" = --part ]; then
    part=dist/part
    rm -rf "$part"
    if [ "${2:-}" = --windows ]; then
        bash scripts/build-windows.sh
        mkdir -p "$part/windows-sources"
        cp dist/plumwick-*-windows-x64.zip dist/plumwick-*-windows-x64-setup.exe "$part/"
        libraries=$(bash packaging/windows/libraries.sh --prefix)
        cp "$libraries"/share/sources/* "$part/windows-sources/"
    else
        bash packaging/test-package.sh --build-only "${@:2}"
        mkdir -p "$part"
        cp build-package*/plumwick_*.deb "$part/"
    fi
    exit 0
fi

[ "$(id -u)" -eq 0 ] || { echo "$0 needs root: it makes roots and mounts into them" >&2 && exit 1; }
# unzip reads the zip's licences; the rest test-on-debian.sh installs.
plumwick_install_missing -- git unzip
version=$(sed -n 's/^project(plumwick VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
# What git holds is what is released: a change not committed would be in no file.
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "uncommitted changes: commit them first, or stash them" >&2
    exit 1
fi
notes=$(awk -v heading="## $version " 'index($0, heading) == 1 { found = 1; next }
    found && /^## / { exit } found { print }' CHANGELOG.md)
[ -n "$notes" ] || { echo "CHANGELOG.md has no entry '## $version (DATE)'" >&2 && exit 1; }
date=$(sed -n "s/^## $version (\(.*\))$/\1/p" CHANGELOG.md)
out=$PLUMWICK_ROOT/dist/plumwick-$version
rm -rf "$out"
mkdir -p "$out"
echo "== release $version of commit $(git rev-parse --short=12 HEAD), in $out"

echo "== release: the source"
# git's tar is the same for the same commit; gzip -n keeps out name and time.
git archive --format=tar --prefix="plumwick-$version/" HEAD | gzip -9n >"$out/plumwick-$version.tar.gz"

echo "== release: the .debs and the Windows files, each in a fresh root"
bash scripts/test-on-debian.sh --command "bash scripts/release.sh --part" --collect "$out" \
    bookworm+bookworm:i386 trixie:arm64+trixie:armhf+trixie:riscv64 bookworm:windows

echo "== release: notes and checksums"
{
    echo "# PLUMWICK $version ($date)"
    echo "$notes"
} | cat -s >"$out/RELEASE-NOTES.md"
expected=(
    "plumwick-$version.tar.gz" RELEASE-NOTES.md
    "plumwick_${version}_amd64.deb" "plumwick_${version}_i386.deb" "plumwick_${version}_arm64.deb"
    "plumwick_${version}_armhf.deb" "plumwick_${version}_riscv64.deb"
    "plumwick-$version-windows-x64.zip" "plumwick-$version-windows-x64-setup.exe"
)
missing=0
for file in "${expected[@]}"; do
    [ -s "$out/$file" ] || { echo "missing: $file" >&2 && missing=$((missing + 1)); }
done
# The tarball that OpenAL32.dll was built from, named in the zip's licences.
openal=$(unzip -p "$out/plumwick-$version-windows-x64.zip" \
    "plumwick-$version-windows-x64/licenses/openal-soft/SOURCE" | sed -n '4s/^ *//p')
[ -n "$openal" ] && [ -s "$out/windows-sources/$openal" ] ||
    { echo "missing: windows-sources/$openal, which licenses/openal-soft/SOURCE names" >&2 &&
        missing=$((missing + 1)); }
[ "$missing" -eq 0 ] || exit 1
(cd "$out" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort |
    xargs sha256sum >SHA256SUMS && sha256sum --quiet -c SHA256SUMS)
echo "== release $version done: $(wc -l <"$out/SHA256SUMS") files"
sha256sum "$out/SHA256SUMS"
