#!/usr/bin/env bash
# Runs the README's test command on fresh Debian releases: for each SUITE
# (bookworm, trixie, sid, ...) a new root made with mmdebstrap from Debian's
# archive with git only, a clean clone of the current commit inside it, and
# `bash scripts/run-tests.sh` there as root, exactly as a player would type it.
# Prints one summary line per release; exits non-zero if any failed.
#
#   sudo bash scripts/test-on-debian.sh trixie sid
#
# Each release's output goes to $PLUMWICK_DEBIAN_LOGS/SUITE.log (build-debian/
# by default), its lines also on stdout prefixed with the suite; on a failure
# the step that failed and the log's tail are printed. The mirror is the one
# this machine's apt uses. PLUMWICK_KEEP_ROOT=1 keeps the root (unmounted) for
# a look inside after the run.
set -euo pipefail
PLUMWICK_ROOT=$(cd "$(dirname "$0")/.." && pwd)

[ $# -ge 1 ] || { echo "usage: $0 SUITE..." >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "$0 needs root (it makes a root and mounts into it)" >&2; exit 1; }
command -v mmdebstrap >/dev/null || { echo "mmdebstrap is needed: apt-get install mmdebstrap" >&2; exit 1; }

# The Debian archive this machine's apt is set up with (deb822 or one-line sources).
debian_mirror() {
    local file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [ ! -f "$file" ] || cat "$file"
    done |
        sed -n -e 's/^URIs:[[:space:]]*//p' -e 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?//p' |
        tr ' ' '\n' | grep -E '^https?://[^ ]+/debian/?$' | head -n 1
}
mirror=$(debian_mirror)
[ -n "$mirror" ] || { echo "no Debian archive in this machine's apt sources" >&2; exit 1; }

commit=$(git -C "$PLUMWICK_ROOT" rev-parse HEAD)
[ -z "$(git -C "$PLUMWICK_ROOT" status --porcelain --untracked-files=no)" ] ||
    echo "note: uncommitted changes are not tested; the root gets commit ${commit:0:12}"
logs=${PLUMWICK_DEBIAN_LOGS:-$PLUMWICK_ROOT/build-debian}
mkdir -p "$logs"

root=""
# Stops what still runs inside the root, unmounts everything below it and
# removes it; refuses to remove anything while a mount is left under it.
remove_root() {
    [ -n "$root" ] && [ -d "$root" ] || return 0
    local link pid
    for link in $(find /proc/[0-9]*/root -maxdepth 0 -lname "$root" 2>/dev/null); do
        pid=${link#/proc/}
        kill -9 "${pid%/root}" 2>/dev/null || true
    done
    local mounts
    mounts=$(awk -v r="$root/" 'index($2 "/", r) == 1 { print $2 }' /proc/self/mounts | sort -r)
    for mount in $mounts; do umount -R "$mount" 2>/dev/null || umount -R -l "$mount" || true; done
    if awk -v r="$root/" 'index($2 "/", r) == 1 { found = 1 } END { exit !found }' /proc/self/mounts; then
        echo "still mounted under $root, not removed:" >&2
        grep -F "$root" /proc/self/mounts >&2
        return 1
    fi
    if [ -n "${PLUMWICK_KEEP_ROOT:-}" ]; then
        echo "kept $root"
    else
        rm -rf --one-file-system "$root"
    fi
    root=""
}
# Each release runs as a background job in a process group of its own (job
# control), and the script waits for it: a signal then reaches the trap at
# once, which ends the whole group (mmdebstrap, chroot and all) before the
# root is removed.
set -m
job=""
stop_job() {
    [ -n "$job" ] || return 0
    kill -TERM -- "-$job" 2>/dev/null || true
    wait "$job" 2>/dev/null || true  # it ends by the signal: no error here
    job=""
}
trap 'stop_job; remove_root' EXIT
trap 'stop_job; remove_root; exit 130' INT
trap 'stop_job; remove_root; exit 143' TERM

# test_suite SUITE: fills the empty $root and runs the test command in it.
test_suite() {
    local suite=$1
    echo "== $suite: a fresh root from the mirror apt uses here"
    # Check-Valid-Until: the archive's snapshot of unstable carries an expired Release date.
    mmdebstrap --variant=apt --include=git --aptopt='Acquire::Check-Valid-Until "false"' \
        "$suite" "$root" "$mirror" || return 1
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    mount --make-rslave "$root/dev"
    git clone --quiet --no-hardlinks "$PLUMWICK_ROOT" "$root/root/plumwick"
    git -C "$root/root/plumwick" checkout --quiet --detach "$commit"
    echo "== $suite: bash scripts/run-tests.sh"
    chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        /bin/bash -c 'cd /root/plumwick && status=0 && bash scripts/run-tests.sh || status=$?
            for deb in build-package/*.deb; do
                [ -f "$deb" ] && echo "Depends: $(dpkg-deb -f "$deb" Depends)"
            done
            exit $status'
}

# The figures of a run, from its log: tests passed per ctest run, the bad-file
# matrix, the soak's frames, the package's Depends.
figures() {
    local log=$1 ctests matrix frames
    ctests=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$log" |
        awk '{ printf "%s%d/%d", (NR > 1 ? " + " : ""), $2 - $1, $2 }')
    matrix=$(sed -n '/^== bad data files/,$p' "$log" |
        sed -n 's/.*\[  PASSED  \] \([0-9]*\) tests\?\..*/\1 tests passed/p' | head -n 1)
    frames=$(sed -n 's/^soak: [0-9]* s, \([0-9]*\) frames.*/\1/p' "$log" | head -n 1)
    echo "ctest ${ctests:-none}, bad-file matrix ${matrix:-not run}, soak frames ${frames:-none}"
}

status=0
summary=()
for suite in "$@"; do
    log="$logs/$suite.log"
    start=$(date +%s)
    result=PASS
    root=$(mktemp -d "${TMPDIR:-/var/tmp}/plumwick-$suite-XXXXXX")
    chmod 755 "$root"  # apt downloads as its own user, _apt
    rm -f "$log.status"
    { (test_suite "$suite"); echo $? >"$log.status"; } 2>&1 | tee "$log" | sed -u "s/^/[$suite] /" &
    job=$(jobs -p | tail -n 1)
    wait
    job=""
    [ "$(cat "$log.status" 2>/dev/null)" = 0 ] || result=FAIL
    rm -f "$log.status"
    remove_root || result=FAIL
    seconds=$(($(date +%s) - start))
    line="$suite: $result in $((seconds / 60)) min $((seconds % 60)) s; $(figures "$log")"
    if [ "$result" = FAIL ]; then
        status=1
        step=$(grep -E '^== ' "$log" | tail -n 1)
        line="$line; failed in step '${step#== }' (log: $log)"
        echo "---- $suite failed in '${step#== }'; the last lines of $log:"
        tail -n 40 "$log" | sed "s/^/[$suite] /"
    fi
    depends=$(sed -n 's/^Depends: //p' "$log" | tail -n 1)
    [ -n "$depends" ] && line="$line; Depends: $depends"
    summary+=("$line")
done
echo "== summary"
printf '%s\n' "${summary[@]}"
exit "$status"
