#!/usr/bin/env bash
# Mutation run: applies each small fault of scripts/mutants.txt to src/ alone,
# rebuilds only the unit tests (in build-mutants/), runs them and reports
# which faults they kill. A fault that does not build is stillborn: it tests
# nothing, so it is left out of the count, and the run fails until its line
# is rewritten. Every mutated file is restored from a copy saved before the
# run, on every exit path, so uncommitted work is never lost. The last line
# is the summary: "mutants: K killed, S survived, B stillborn of N".
#
#   bash scripts/mutants.sh                 # every fault
#   bash scripts/mutants.sh obstacles.cpp   # only the lines that match
set -uo pipefail
PLUMWICK_ROOT=$(cd "$(dirname "$0")/.." && pwd)
LIST="$PLUMWICK_ROOT/scripts/mutants.txt"
BUILD="$PLUMWICK_ROOT/build-mutants"
FILTER="${1:-}"
TEST_TIMEOUT="${PLUMWICK_MUTANT_TIMEOUT:-120}"

# shellcheck source=scripts/setup.sh
source "$PLUMWICK_ROOT/scripts/setup.sh"
plumwick_start_display || exit 1

SAVED=$(mktemp -d)
current=""
object=""
# The source comes back with its own time stamp, and its object from the
# unmutated build with a fresh one: the next build relinks without compiling
# it again. A header comes back with a fresh time stamp instead, so that
# everything built from its mutant is compiled again.
restore() {
    if [[ -n "$current" ]]; then cp ${object:+-p} "$SAVED/original" "$PLUMWICK_ROOT/$current"; fi
    if [[ -n "$object" ]]; then cp -p "$SAVED/original.o" "$object" && touch "$object"; fi
    current=""
    object=""
}
# Replaces the display's own trap: the display still goes at the end.
cleanup() {
    restore
    rm -rf "$SAVED"
    plumwick_stop_display
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

build() { cmake --build "$BUILD" -j2 --target plumwick_tests >"$SAVED/build.log" 2>&1; }
runTests() {
    (cd "$PLUMWICK_ROOT/assets" && timeout "$TEST_TIMEOUT" "$BUILD/tests/plumwick_tests" \
        --gtest_brief=1 --gtest_fail_fast >"$SAVED/test.log" 2>&1)
}

echo "== unmutated build and tests"
cmake -S "$PLUMWICK_ROOT" -B "$BUILD" -DPLUMWICK_TESTS=ON >/dev/null || exit 1
if ! build; then cat "$SAVED/build.log"; exit 1; fi
if ! runTests; then
    cat "$SAVED/test.log"
    echo "the unit tests fail without any fault: nothing to measure" >&2
    exit 1
fi

total=0
survivors=()
unbuilt=()
while IFS=$'\t' read -r file expression description; do
    [[ -z "$file" || "$file" == \#* ]] && continue
    [[ -n "$FILTER" && "$file $description" != *"$FILTER"* ]] && continue
    if [[ -z "$expression" || -z "$description" ]]; then
        echo "malformed line in mutants.txt: $file" >&2
        exit 1
    fi
    total=$((total + 1))
    cp -p "$PLUMWICK_ROOT/$file" "$SAVED/original"
    current="$file"
    candidate=$(find "$BUILD" -path "*/$file.o" | head -n 1)
    if [[ -n "$candidate" ]] && cp -p "$candidate" "$SAVED/original.o"; then object="$candidate"; fi
    sed -e "$expression" "$SAVED/original" >"$PLUMWICK_ROOT/$file"
    if cmp -s "$SAVED/original" "$PLUMWICK_ROOT/$file"; then
        echo "mutant $total changes nothing: $file: $expression" >&2
        exit 1
    fi
    if ! build; then
        verdict="STILLBORN"
    elif runTests; then
        verdict="SURVIVED"
    elif [[ $? -eq 124 ]]; then
        verdict="killed (timeout)"
    else
        verdict="killed"
    fi
    restore
    [[ "$verdict" != SURVIVED ]] || survivors+=("$file: $description")
    [[ "$verdict" != STILLBORN ]] || unbuilt+=("$file: $description")
    printf '%3d %-9s %-28s %s\n' "$total" "$verdict" "${file#src/}" "$description"
done <"$LIST"

for s in "${survivors[@]}"; do echo "survived: $s"; done
for s in "${unbuilt[@]}"; do echo "stillborn (rewrite its line): $s"; done
stillborn=${#unbuilt[@]}
echo "mutants: $((total - ${#survivors[@]} - stillborn)) killed, ${#survivors[@]} survived," \
    "$stillborn stillborn of $total"
[[ ${#survivors[@]} -eq 0 && $stillborn -eq 0 ]]
