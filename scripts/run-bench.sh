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

# In build-bench/, or in the folder PLUMWICK_BENCH_BUILD names: run-tests.sh
# gives its build/, whose game objects the benchmarks then share.
dir=${PLUMWICK_BENCH_BUILD:-$PLUMWICK_ROOT/build-bench}
options=(-DPLUMWICK_BENCH=ON)
[ -f "$dir/CMakeCache.txt" ] || options+=(-DPLUMWICK_TESTS=OFF)
echo "== build with benchmarks"
plumwick_build "$dir" "${options[@]}"
echo "== benchmarks"
"$dir/bench/plumwick_bench" "$@"
