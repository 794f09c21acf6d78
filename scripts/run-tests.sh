#!/usr/bin/env bash
# Builds PLUMWICK and runs every test: once in a plain build, once with
# AddressSanitizer and UndefinedBehaviorSanitizer. Starts a virtual display
# when there is none.
# `bash scripts/run-tests.sh --arch arm64` builds for that Debian architecture
# instead (in build-ARCH/, with Debian's cross compiler and libraries) and runs
# under qemu the unit tests, on arm64 the window smoke test (menu, PLAY, EXIT),
# and the package test of the .deb for that architecture.
# `bash scripts/run-tests.sh --windows` runs the README's Windows command
# (scripts/build-windows.sh) instead, then tests what it made under Wine
# (packaging/windows/test-windows.sh).
set -euo pipefail
PLUMWICK_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$PLUMWICK_ROOT/scripts/setup.sh"

if [ "${1:-}" = --arch ]; then
    arch=${2:?usage: $0 [--arch ARCH]}
    plumwick_install_missing "$arch"
    echo "== $arch programs run here (qemu-user-static; binfmt_misc, flag F in a root)"
    arch-test "$arch"
    plumwick_start_display
    # A Raspberry Pi 4's core. qemu's default one has pointer authentication,
    # which Debian 13's arm64 code uses in every function and qemu slows tenfold.
    # armhf, i386 and riscv64 keep qemu's default core (no pointer
    # authentication there).
    [ "$arch" != arm64 ] || export QEMU_CPU=cortex-a72
    # The window smoke test on arm64 alone: it checks that the game's window
    # works on another CPU, once. The other architectures (armhf, i386,
    # riscv64) are here for the game's arithmetic, which the unit tests hold
    # (the replay fingerprint), window or not, and qemu is slow enough.
    window_tests=()
    [ "$arch" != arm64 ] || window_tests=(plumwick_window_tests plumwick_frame_counter)
    echo "== build for $arch"
    read -ra cross <<<"$(plumwick_cross_options "$arch")"
    plumwick_build "$PLUMWICK_ROOT/build-$arch" "${cross[@]}" -- \
        plumwick plumwick_tests "${window_tests[@]}"
    echo "== unit tests on $arch"
    (cd "$PLUMWICK_ROOT/build-$arch" && ctest --output-on-failure -LE window)
    # The replay's line, kept by ctest: the fingerprint this CPU played.
    grep -h '^replay:' "$PLUMWICK_ROOT/build-$arch/Testing/Temporary/LastTest.log" || true
    if [ ${#window_tests[@]} -gt 0 ]; then
        echo "== window smoke test on $arch"
        # The other window tests time frames and keys, which qemu slows down. This
        # one reads the game's own frame times (the frame counter library, built
        # for $arch and preloaded into the game) for its held arrow.
        "$PLUMWICK_ROOT/build-$arch/tests/window/plumwick_window_tests" \
            --gtest_filter=PlumwickWindow.MenuHighlightInstructionsFieldAndExit
    fi
    echo "== package test on $arch"
    # The .deb for $arch, installed in a fresh root of $arch (root only).
    exec bash "$PLUMWICK_ROOT/packaging/test-package.sh" --arch "$arch"
fi

if [ "${1:-}" = --windows ]; then
    # An empty library cache (a fresh machine, or new pins) has the libraries
    # built now; the test then builds them a second time, elsewhere, and
    # compares OpenAL32.dll.
    libraries=$(bash "$PLUMWICK_ROOT/packaging/windows/libraries.sh" --prefix)
    [ -f "$libraries/.complete" ] || export PLUMWICK_WINDOWS_LIBRARIES_TWICE=1
    bash "$PLUMWICK_ROOT/scripts/build-windows.sh"
    exec bash "$PLUMWICK_ROOT/packaging/windows/test-windows.sh"
fi

plumwick_install_missing

echo "== style"
# The layout is clang-format 14's (Debian 12's): each major lays out some
# lines its own way, so another one would fail good code. It is checked where
# 14 is, and said so elsewhere.
style_major=14
major=$(clang-format --version | sed -n 's/.*clang-format version \([0-9]*\).*/\1/p')
if [ "$major" = "$style_major" ]; then
    mapfile -t sources < <(cd "$PLUMWICK_ROOT" && git ls-files '*.cpp' '*.hpp' 2>/dev/null ||
        find src tests bench tools -name '*.[ch]pp')
    (cd "$PLUMWICK_ROOT" && clang-format --dry-run --Werror "${sources[@]}")
else
    echo "style check skipped: clang-format $major here, the layout is clang-format $style_major's"
fi

plumwick_start_display

echo "== build"
plumwick_build "$PLUMWICK_ROOT/build" -DPLUMWICK_TESTS=ON
echo "== tests"
(cd "$PLUMWICK_ROOT/build" && ctest --output-on-failure)
echo "== soak, short form"
# Thirty seconds of random play in a real window: closes with status 0, its
# memory and frame rate hold (bash scripts/soak.sh runs the full ten minutes).
bash "$PLUMWICK_ROOT/scripts/soak.sh" 30

echo "== build with sanitizers"
plumwick_build "$PLUMWICK_ROOT/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DPLUMWICK_SANITIZE=ON
echo "== tests with sanitizers"
# Leak checking is off: Mesa's GL driver is unloaded before LeakSanitizer
# reports, so its own small leaks come out as "<unknown module>" and cannot
# be told apart from ours by a suppression.
# The frame counter library, preloaded into the game by the window tests that
# time its frames, comes before AddressSanitizer's runtime: allowed, it
# intercepts nothing AddressSanitizer does.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:verify_asan_link_order=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The bad-data-file matrix is left to the next step. The music heard is the
# plain build's to check: the sanitized game, several times slower, dropped
# sound at every loop crossing on a loaded machine (CI at 19e4dac, Debian 13).
(cd "$PLUMWICK_ROOT/build-sanitize" && ctest --output-on-failure -E '^(plumwick_bad_files|plumwick_music)$')
echo "== bad data files, sanitized game"
# The twenty-one spoilt-file cases of tests/window/bad_files_test.cpp, run by the
# plain test binary against the sanitized game: any AddressSanitizer or UBSan
# report in the game's stderr fails them.
PLUMWICK_GAME_UNDER_TEST="$PLUMWICK_ROOT/build-sanitize/plumwick" \
    "$PLUMWICK_ROOT/build/tests/window/plumwick_robustness_tests" --gtest_filter='BadDataFiles.*'

echo "== package test"
# Builds the .deb, installs it in a fresh root, plays its menu and removes it
# (root only).
bash "$PLUMWICK_ROOT/packaging/test-package.sh"

echo "== benchmarks: build and smoke run"
# Every figure of plumwick_bench for a few seconds, so that it never rots;
# bash scripts/run-bench.sh alone takes the figures worth quoting.
PLUMWICK_BENCH_BUILD="$PLUMWICK_ROOT/build" bash "$PLUMWICK_ROOT/scripts/run-bench.sh" --quick
