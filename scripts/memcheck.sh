#!/usr/bin/env bash
# Runs the game under valgrind's memcheck for a short real session: start,
# menu, PLAY, a few seconds of play, Escape, EXIT THE GAME. Fails on any
# memory error or definite leak that tests/valgrind.supp does not explain.
set -euo pipefail
PLUMWICK_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$PLUMWICK_ROOT/scripts/setup.sh"
plumwick_install_missing
plumwick_build_game
plumwick_start_display

log=$(mktemp)
cd "$PLUMWICK_ROOT/assets"
valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
    --errors-for-leak-kinds=definite --error-exitcode=99 --num-callers=40 \
    --suppressions="$PLUMWICK_ROOT/tests/valgrind.supp" --log-file="$log" \
    "$PLUMWICK_ROOT/build/plumwick" >/dev/null 2>&1 &
game=$!
plumwick_focus_window 120 >/dev/null
sleep 5  # under valgrind the first frames take seconds
for step in Return:8 Escape:2 Up:2 Return:0; do  # PLAY, play, menu, EXIT THE GAME
    xdotool key "${step%%:*}"
    sleep "${step##*:}"
done
status=0
wait "$game" || status=$?
grep -E "ERROR SUMMARY|definitely lost|Invalid (read|write)" "$log" | sed 's/^==[0-9]*== //'
echo "memcheck exit status: $status (log: $log)"
exit "$status"
