#!/usr/bin/env bash
# Builds PLUMWICK with its benchmarks in build-bench/ and runs plumwick_bench:
# the frame, simulation, start-up and memory figures, with their ratios, from
# one run. Starts a virtual display when there is none. Arguments go to
# plumwick_bench: --quick for a smoke run of a few seconds.
set -euo pipefail
PLUMWICK_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$PLUMWICK_ROOT/scripts/setup.sh"

plumwick_install_missing

plumwick_start_display

echo "== build with benchmarks"
plumwick_build "$PLUMWICK_ROOT/build-bench" -DPLUMWICK_BENCH=ON -DPLUMWICK_TESTS=OFF
echo "== benchmarks"
"$PLUMWICK_ROOT/build-bench/bench/plumwick_bench" "$@"
