#!/usr/bin/env bash
# Builds the libraries that the Windows x64 game links, from Debian's own source
# packages, with the MinGW-w64 toolchain file beside this script, into a cached
# prefix; prints that prefix as its last line on stdout (progress goes to
# stderr; a failing step shows its log).
#   prefix=$(bash packaging/windows/libraries.sh | tail -n 1)
#   source packaging/windows/libraries.sh   # the same, and sets PLUMWICK_WINDOWS_PREFIX
# The prefix: include/, lib/ (static libogg, libvorbis*, libFLAC, libfreetype,
# libsfml-*-s, libgtest*, and libOpenAL32.dll.a), bin/OpenAL32.dll, lib/cmake/
# (SFML, GTest, ...), share/licenses/NAME/, and share/sources/: the source
# packages' files of every library the Windows files carry (a release
# publishes them beside the zip). It is
# ${PLUMWICK_WINDOWS_CACHE:-/var/cache/plumwick}/windows-libraries-KEY, KEY a
# hash of the pins, this script, the toolchain file, the compiler's version and
# the versions of the MinGW-w64 packages (compiler, binutils, headers);
# a prefix without its marker file (a build that stopped) is built anew.
# As root it installs what it needs; PLUMWICK_WINDOWS_JOBS sets make's -j.
# With --prefix it only prints the prefix, built or not (its .complete marks
# a built one).

# The sources, in the order they are built: Debian source package, version, the
# suite that has it, and the sha256 of the file relied on: the .dsc, whose own
# checksums dpkg-source checks for the files it names; for openal-soft, missing
# from bookworm and whose trixie .dsc the archive lacks, the upstream tarball.
plumwick_windows_pins=(
    "libogg 1.3.5-3 bookworm libogg_1.3.5-3.dsc dd0bac7c6961f95290250f82940aba93582edc3924372afc8fd310af5db995a0"
    "libvorbis 1.3.7-1 bookworm libvorbis_1.3.7-1.dsc b25d27beb9162607c95cf58aa2b764d110bd1a1568d3926a96c523320b49171f"
    "flac 1.4.2+ds-2 bookworm flac_1.4.2+ds-2.dsc 2f855e77c68e3e9818b47553bb4f33918fb558fe9cf58b30a089a99f811d3beb"
    "freetype 2.12.1+dfsg-5+deb12u4 bookworm freetype_2.12.1+dfsg-5+deb12u4.dsc eead829b4bc79107e8e79c4da006110dffe264f9d48b3ba02f76cf7e84b64389"
    "openal-soft 1:1.24.2-1 trixie openal-soft_1.24.2.orig.tar.gz 7efd383d70508587fbc146e4c508771a2235a5fc8ae05bf6fe721c20a348bd7c"
    "libsfml 2.5.1+dfsg-2 bookworm libsfml_2.5.1+dfsg-2.dsc 1c257034ab392948e77ddaae31a8ac3ef8f3daf74605e68b7cfab2bb7131854c"
    "googletest 1.12.1-0.2 bookworm googletest_1.12.1-0.2.dsc cc90251040c145be18d5090787d9ec79e48217c6cef3ae78eb20f0e31551404c"
)
plumwick_windows_packages=(g++-mingw-w64-x86-64-posix cmake make dpkg-dev xz-utils)
# The toolchain whose versions make the libraries what they are.
plumwick_windows_toolchain=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    gcc-mingw-w64-base binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev mingw-w64-common)

plumwick_windows_libraries() (
    set -euo pipefail
    local here toolchain compiler toolchain_packages key cache prefix work
    here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
    toolchain=$here/mingw-w64-x86_64.cmake
    PLUMWICK_ROOT=$(cd "$here/../.." && pwd)
    source "$PLUMWICK_ROOT/scripts/setup.sh"
    plumwick_install_missing -- "${plumwick_windows_packages[@]}" >&2

    compiler=$(x86_64-w64-mingw32-g++-posix --version | head -n 1)
    # A new build of the same compiler version, new binutils or new headers
    # make other libraries too: their package versions are in the key.
    toolchain_packages=$(dpkg-query -W -f='${Package} ${Version}\n' "${plumwick_windows_toolchain[@]}")
    key=$({ printf '%s\n' "${plumwick_windows_pins[@]}" "$compiler" "$toolchain_packages"
        cat "${BASH_SOURCE[0]}" "$toolchain"; } | sha256sum | cut -c1-12)
    cache=${PLUMWICK_WINDOWS_CACHE:-/var/cache/plumwick}
    prefix=$cache/windows-libraries-$key
    if [ "${1:-}" = --prefix ]; then
        echo "$prefix"
        return 0
    fi
    mkdir -p "$cache"
    # One build of a key at a time: a second caller waits, then finds it done.
    exec 9>"$prefix.lock"
    flock 9
    if [ -f "$prefix/.complete" ]; then
        echo "$prefix"
        return 0
    fi
    echo "== Windows libraries: building into $prefix" >&2
    work=$prefix.work
    rm -rf "$prefix" "$work"
    mkdir -p "$prefix" "$work/download" "$work/apt/lists/partial" "$work/apt/cache" "$work/logs"
    local start=$SECONDS

    # step NAME COMMAND...: runs it into a log of its own, shown when it fails.
    step() {
        local name=$1 log=$work/logs/$1.log began=$SECONDS
        shift
        if ! "$@" >"$log" 2>&1; then
            echo "== Windows libraries: '$name' failed; its log ($log) ends:" >&2
            tail -n 60 "$log" >&2
            return 1
        fi
        echo "   $name: $((SECONDS - began)) s" >&2
    }

    # The sources come from the Debian archive this machine's apt uses, through
    # a list of its own: apt's setup here stays as it is.
    local mirror
    mirror=$(plumwick_mirror)
    local pin suites=() apt_options
    for pin in "${plumwick_windows_pins[@]}"; do suites+=("$(cut -d' ' -f3 <<<"$pin")"); done
    printf "deb-src $mirror %s main\n" $(printf '%s\n' "${suites[@]}" | sort -u) >"$work/apt/sources.list"
    apt_options=(-o "Dir::Etc::SourceList=$work/apt/sources.list" -o Dir::Etc::SourceParts=/nonexistent
        -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache"
        -o Acquire::Check-Valid-Until=false -o APT::Sandbox::User=root)
    step "apt-get update (deb-src)" apt-get "${apt_options[@]}" update

    # A pinned version the archive no longer has (a point release replaces
    # it) stops the build with one line: the pin and what the archive has now.
    local name version suite listed
    for pin in "${plumwick_windows_pins[@]}"; do
        read -r name version suite _ <<<"$pin"
        listed=$(apt-cache "${apt_options[@]}" showsrc "$name" 2>/dev/null | sed -n 's/^Version: //p' | sort -uV)
        grep -qxF "$version" <<<"$listed" && continue
        echo "the pin '$name $version' ($suite) is gone from the archive, which has" \
            "$(echo ${listed:-no $name} | sed 's/ /, /g'): move the pin (docs/windows.md)" >&2
        return 1
    done

    # fetch PIN: downloads the source package; checks the pinned file's sha256.
    fetch() {
        local name version suite file sha256
        read -r name version suite file sha256 <<<"$1"
        # openal-soft's .dsc is missing: apt fails for it after the tarball came.
        (cd "$work/download" && apt-get "${apt_options[@]}" source --download-only "$name=$version") || true
        echo "$sha256  $work/download/$file" | sha256sum -c -
    }
    for pin in "${plumwick_windows_pins[@]}"; do step "download ${pin%% *}" fetch "$pin"; done

    # unpack PIN: the source tree, Debian's patches applied where there is a .dsc.
    unpack() {
        local name version suite file sha256
        read -r name version suite file sha256 <<<"$1"
        rm -rf "${work:?}/$name"
        if [[ $file == *.dsc ]]; then
            dpkg-source --no-check -x "$work/download/$file" "$work/$name"
        else
            mkdir "$work/$name"
            tar -xf "$work/download/$file" -C "$work/$name" --strip-components=1
        fi
    }

    # cmake_build NAME [CMAKE_OPTION...]: configures, builds and installs one
    # library into the prefix, Release, dated by its source and with no build
    # paths in what it makes; OpenAL32.dll without its debug sections (5.7 MB
    # would be 2.9 MB).
    cmake_build() {
        local name=$1 epoch
        shift
        if [ -f "$work/$name/debian/changelog" ]; then
            epoch=$(dpkg-parsechangelog -l "$work/$name/debian/changelog" -STimestamp)
        else  # the newest file in the upstream tarball
            epoch=$(find "$work/$name" -type f -printf '%T@\n' | sort -n | tail -n 1 | cut -d. -f1)
        fi
        # GCC tries the last map first: the work folder's name extends the prefix's.
        local map="-ffile-prefix-map=$prefix=. -ffile-prefix-map=$work=."
        SOURCE_DATE_EPOCH=$epoch CFLAGS=$map CXXFLAGS=$map \
            cmake -S "$work/$name" -B "$work/build-$name" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
            -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF "$@"
        SOURCE_DATE_EPOCH=$epoch nice cmake --build "$work/build-$name" -j "${PLUMWICK_WINDOWS_JOBS:-$(nproc)}"
        # --strip: DLLs only, archives keep their symbols; strip dates the PE
        # header anew, by SOURCE_DATE_EPOCH when set, else by the clock.
        SOURCE_DATE_EPOCH=$epoch cmake --install "$work/build-$name" --strip
    }

    for pin in "${plumwick_windows_pins[@]}"; do step "unpack ${pin%% *}" unpack "$pin"; done

    step libogg cmake_build libogg -DINSTALL_DOCS=OFF
    step libvorbis cmake_build libvorbis
    # libFLAC alone: SFML reads native FLAC, no Ogg FLAC. Without FORTIFY_SOURCE
    # and the stack protector, which on MinGW bring libssp into every link.
    step flac cmake_build flac -DBUILD_CXXLIBS=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF \
        -DBUILD_DOCS=OFF -DINSTALL_MANPAGES=OFF -DWITH_OGG=OFF -DWITH_FORTIFY_SOURCE=OFF \
        -DWITH_STACK_PROTECTOR=OFF
    step freetype cmake_build freetype -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
        -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
    # A DLL (LGPL-2.1), with Windows' own backends and the null one only: none
    # that loads a library that Windows lacks (PulseAudio, JACK, PipeWire, ...).
    step openal-soft cmake_build openal-soft -DBUILD_SHARED_LIBS=ON -DLIBTYPE=SHARED \
        -DALSOFT_UTILS=OFF -DALSOFT_NO_CONFIG_UTIL=ON -DALSOFT_EXAMPLES=OFF -DALSOFT_TESTS=OFF \
        -DALSOFT_INSTALL_CONFIG=OFF -DALSOFT_INSTALL_HRTF_DATA=OFF -DALSOFT_INSTALL_AMBDEC_PRESETS=OFF \
        -DALSOFT_INSTALL_EXAMPLES=OFF -DALSOFT_INSTALL_UTILS=OFF -DALSOFT_UPDATE_BUILD_VERSION=OFF \
        -DALSOFT_BACKEND_PIPEWIRE=OFF -DALSOFT_BACKEND_PULSEAUDIO=OFF -DALSOFT_BACKEND_JACK=OFF \
        -DALSOFT_BACKEND_PORTAUDIO=OFF -DALSOFT_BACKEND_SDL2=OFF -DALSOFT_BACKEND_SDL3=OFF \
        -DALSOFT_BACKEND_WAVE=OFF -DALSOFT_STATIC_LIBGCC=ON -DALSOFT_STATIC_STDCXX=ON \
        -DALSOFT_STATIC_WINPTHREAD=ON
    # SFML's Windows config asks for openal32 (the import library is OpenAL32)
    # and links OpenGL32 (MinGW's is opengl32): Linux tells case apart.
    ln -sf libOpenAL32.dll.a "$prefix/lib/libopenal32.dll.a"
    step libsfml cmake_build libsfml -DSFML_USE_SYSTEM_DEPS=ON -DSFML_BUILD_NETWORK=OFF \
        -DSFML_BUILD_EXAMPLES=OFF -DSFML_BUILD_DOC=OFF
    sed -i 's/"OpenGL32"/"opengl32"/' "$prefix/lib/cmake/SFML/SFMLConfigDependencies.cmake"
    step googletest cmake_build googletest -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON

    # licences: each library's own, plus what the LGPL asks for OpenAL32.dll.
    licence() {
        local name=$1
        shift
        mkdir -p "$prefix/share/licenses/$name"
        cp "$@" "$prefix/share/licenses/$name/"
    }
    licence libogg "$work/libogg/COPYING"
    licence libvorbis "$work/libvorbis/COPYING"
    licence flac "$work/flac/COPYING.Xiph"
    licence freetype "$work/freetype/docs/FTL.TXT"
    licence openal-soft "$work/openal-soft/COPYING" "$work/openal-soft/BSD-3Clause" \
        "$work/openal-soft/LICENSE-pffft"
    licence sfml "$work/libsfml/license.md"
    licence googletest "$work/googletest/LICENSE"
    # -static puts MinGW-w64's runtime (winpthread among it) into each program.
    licence mingw-w64-runtime /usr/share/doc/mingw-w64-x86-64-dev/copyright
    # The sources as they were built, for the release to publish: every
    # library that the game's files carry (not GoogleTest, which only the tests link).
    mkdir -p "$prefix/share/sources"
    for pin in "${plumwick_windows_pins[@]}"; do
        read -r name _ <<<"$pin"
        [ "$name" = googletest ] || cp "$work/download/${name}_"* "$prefix/share/sources/"
    done
    local openal_pin
    openal_pin=$(printf '%s\n' "${plumwick_windows_pins[@]}" | grep '^openal-soft ')
    read -r _ version suite file sha256 <<<"$openal_pin"
    cat >"$prefix/share/licenses/openal-soft/SOURCE" <<EOF
OpenAL32.dll is OpenAL Soft, under the GNU LGPL version 2.1 (COPYING here).
It was built, unmodified, from the upstream tarball of Debian's source package
openal-soft $version ($suite):
  $file
  sha256 $sha256
PLUMWICK's release publishes that file beside this zip, in windows-sources/;
the Debian archive has it too, in pool/main/o/openal-soft/, while it keeps
that version. (Debian's own packaging files for that version were not used:
the archive lacked them.) Built with $compiler
as by packaging/windows/libraries.sh of PLUMWICK; the tarball, that script and
packaging/windows/mingw-w64-x86_64.cmake rebuild it.
EOF

    rm -rf "$work"
    echo "== Windows libraries: built in $((SECONDS - start)) s, $(du -sh "$prefix" | cut -f1)" >&2
    date -u +%FT%TZ >"$prefix/.complete"
    echo "$prefix"
)

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -euo pipefail
    plumwick_windows_libraries "$@"
else
    PLUMWICK_WINDOWS_PREFIX=$(plumwick_windows_libraries) || return 1
    export PLUMWICK_WINDOWS_PREFIX
    echo "$PLUMWICK_WINDOWS_PREFIX"
fi
