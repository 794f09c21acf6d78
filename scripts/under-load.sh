#!/usr/bin/env bash
# bash scripts/under-load.sh RUNS COMMAND...: runs COMMAND RUNS times, one
# after another, while stress-ng keeps four CPU workers busy (twice the cores
# of the machines the tests were written for; PLUMWICK_STRESS_WORKERS sets
# another number, 0 when another run's workers load the machine already), and
# counts the runs that fail.
# The window and Wine tests must pass every time: none may depend on how fast
# the machine is. Each run's output is kept in a folder it names; the last line
# reads "N passed, N failed".
set -uo pipefail
PLUMWICK_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$PLUMWICK_ROOT/scripts/setup.sh"
runs=${1:?usage: $0 RUNS COMMAND...}
shift
[ $# -gt 0 ] || { echo "usage: $0 RUNS COMMAND..." >&2 && exit 2; }
plumwick_install_missing -- stress-ng || exit 1

logs=$(mktemp -d /tmp/plumwick-under-load.XXXXXX)
workers=${PLUMWICK_STRESS_WORKERS:-4}
if [ "$workers" -gt 0 ]; then
    stress-ng --cpu "$workers" --timeout 0 >/dev/null 2>&1 &
    stress=$!
    trap 'kill $stress 2>/dev/null; wait $stress 2>/dev/null' EXIT
fi
passed=0 failed=0
for run in $(seq "$runs"); do
    start=$SECONDS
    if "$@" >"$logs/run$run.log" 2>&1; then
        passed=$((passed + 1)) result=passed
    else
        failed=$((failed + 1)) result=FAILED
    fi
    echo "run $run of $runs: $result in $((SECONDS - start)) s, load $(cut -d' ' -f1 /proc/loadavg)"
done
echo "logs: $logs"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
