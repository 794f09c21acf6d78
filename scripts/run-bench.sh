#!/usr/bin/env bash
# Builds PLUMWICK with its benchmarks in build-bench/ and runs plumwick_bench:
# the frame, simulation, start-up and memory figures, with their ratios, from
# one run. Starts a virtual display when there is none. Arguments go to
# plumwick_bench: --quick for a smoke run of a few seconds.
set -euo pipefail
PLUMWICK_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$PLUMWICK_ROOT/scripts/setup.sh"

plumwick_install_missing

# No sound card is needed: OpenAL plays into nothing.
export ALSOFT_DRIVERS=null

if [ -z "${DISPLAY:-}" ]; then
    # A square screen: SFML 2.5 centres new windows by the screen's width.
    display=":$((90 + RANDOM % 100))"
    Xvfb "$display" -screen 0 1600x1600x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
    export DISPLAY=$display
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi

echo "== build with benchmarks"
plumwick_build "$PLUMWICK_ROOT/build-bench" -DPLUMWICK_BENCH=ON -DPLUMWICK_TESTS=OFF
echo "== benchmarks"
"$PLUMWICK_ROOT/build-bench/bench/plumwick_bench" "$@"
