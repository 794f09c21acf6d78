#!/usr/bin/env bash
# Runs the test command on fresh Debian releases: for each SUITE (bookworm,
# trixie, sid, ...) a new root made with mmdebstrap from the archive this
# machine's apt uses, with git only, a clean clone of the commit inside it, and
# `bash scripts/run-tests.sh` there as root, as a player would type it.
# SUITE:ARCH runs `run-tests.sh --arch ARCH` there, SUITE:windows
# `run-tests.sh --windows` (the Windows build, tested under Wine; the built
# libraries are kept in this machine's /var/cache/plumwick, or
# $PLUMWICK_WINDOWS_CACHE, which the root shares); `here` runs it in this
# checkout. The arguments run side by side; A+B runs B after A:
#   sudo bash scripts/test-on-debian.sh trixie sid bookworm:arm64
# Installs what it needs here (mmdebstrap, mount; qemu for another architecture).
# Output: build-debian/SUITE[-ARCH].log (or in $PLUMWICK_DEBIAN_LOGS), and on
# stdout each line prefixed with the release and architecture; a summary line
# per run names them, and a failure the step. PLUMWICK_KEEP_ROOT=1 keeps roots.
# --command CMD runs CMD instead of run-tests.sh, with the same arguments;
# --collect DIR then copies what it left in dist/part/ of each clone into DIR
# (scripts/release.sh builds its files so).
set -euo pipefail
PLUMWICK_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$PLUMWICK_ROOT/scripts/setup.sh"

command="bash scripts/run-tests.sh" collect=""
[ "${1:-}" != --command ] || { command=${2:?} && shift 2; }
[ "${1:-}" != --collect ] || { collect=${2:?} && shift 2; }
[ $# -ge 1 ] || { echo "usage: $0 [--command CMD] [--collect DIR] here|SUITE[:ARCH][+...]..." >&2; exit 2; }
native=$(dpkg --print-architecture)
read -ra runs <<<"${*//+/ }"
foreign=$(printf '%s\n' "${runs[@]}" | sed -n 's/.*://p' | grep -vx -e "$native" -e windows | sort -u || true)
if printf '%s\n' "${runs[@]}" | grep -qvx here; then
    [ "$(id -u)" -eq 0 ] || { echo "$0 needs root: it makes roots and mounts into them" >&2; exit 1; }
    plumwick_install_missing -- mmdebstrap mount ${foreign:+qemu-user-static binfmt-support dpkg-dev}
fi
for arch in $foreign; do  # qemu, registered with flag F: it then runs inside a root too
    mountpoint -q /proc/sys/fs/binfmt_misc || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    cpu=$(dpkg-architecture -a "$arch" -qDEB_HOST_GNU_CPU 2>/dev/null)
    if [ "$arch" = i386 ]; then
        # Debian's qemu-user-static registers qemu-i386 only on hosts that are
        # not x86; a 64-bit kernel without 32-bit support (CI's) needs it too.
        # By hand, then: i386 ELF executables and shared objects (e_machine 3).
        # A kernel that runs them itself would hand them to qemu too: slower, the same.
        magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
        mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
        [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] || printf '%s\n' \
            ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F" >/proc/sys/fs/binfmt_misc/register
        continue
    fi
    update-binfmts --enable "qemu-$cpu" 2>/dev/null || true  # says so if it already is
done

commit=$(git -C "$PLUMWICK_ROOT" rev-parse HEAD)
[ -z "$(git -C "$PLUMWICK_ROOT" status --porcelain --untracked-files=no)" ] ||
    echo "note: uncommitted changes are not tested in roots; they get commit ${commit:0:12}"
logs=${PLUMWICK_DEBIAN_LOGS:-$PLUMWICK_ROOT/build-debian}
windows_cache=${PLUMWICK_WINDOWS_CACHE:-/var/cache/plumwick}
mkdir -p "$logs"
# The runs record the music one at a time (tests/window/music_test.cpp): a
# lock file in a folder every root shares.
sound_lock_dir=/run/plumwick-sound
mkdir -p "$sound_lock_dir"
export PLUMWICK_SOUND_LOCK=$sound_lock_dir/lock

# Each chain of runs is a job of its own: a signal ends each whole (mmdebstrap,
# chroot and all), then the roots left are removed.
roots=${TMPDIR:-/var/tmp}/plumwick-$$
cleanup() {
    plumwick_stop_jobs
    for root in "$roots"-*; do plumwick_remove_root "$root"; done
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The test command in a checkout, then the Depends of the package it built.
test_command='status=0 && '"$command"' "$@" || status=$?
    for deb in build-package/*.deb; do
        [ -f "$deb" ] && echo "Depends: $(dpkg-deb -f "$deb" Depends)"
    done
    exit $status'

# in_root SUITE ROOT [--arch ARCH]: fills the empty ROOT and runs the test command in it.
in_root() {
    local suite=$1 root=$2
    shift 2
    echo "== $suite: a fresh root from the mirror apt uses here"
    plumwick_make_root "$suite" "$root" --include=git &&
        mkdir -p "$root$sound_lock_dir" && mount --bind "$sound_lock_dir" "$root$sound_lock_dir" &&
        git clone --quiet --no-hardlinks "$PLUMWICK_ROOT" "$root/root/plumwick" &&
        git -C "$root/root/plumwick" checkout --quiet --detach "$commit" || return 1
    if [ "${1:-}" = --windows ]; then
        mkdir -p "$windows_cache" "$root/var/cache/plumwick" &&
            mount --bind "$windows_cache" "$root/var/cache/plumwick" || return 1
    fi
    echo "== $suite: $command $*"
    chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        PLUMWICK_SOUND_LOCK="$PLUMWICK_SOUND_LOCK" /bin/bash -c "cd /root/plumwick && $test_command" bash "$@" ||
        return 1
    [ -z "$collect" ] || cp -r "$root/root/plumwick/dist/part/." "$collect/"
}

# The figures of a run, from its log: tests passed per ctest run, the replay's
# fingerprint (printed by --arch runs), the bad-file matrix, the soak's frames,
# the package's Depends.
figures() {
    local log=$1 ctests fingerprint matrix frames depends wine same
    ctests=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$log" |
        awk '{ printf "%s%d/%d", (NR > 1 ? " + " : ""), $2 - $1, $2 }')
    fingerprint=$(sed -n 's/^replay: .*fingerprint \(0x[0-9a-f]*\)$/\1/p' "$log" | head -n 1)
    matrix=$(sed -n '/^== bad data files/,$p' "$log" |
        sed -n 's/.*\[  PASSED  \] \([0-9]*\) tests\?\..*/\1 tests passed/p' | head -n 1)
    frames=$(sed -n 's/^soak: [0-9]* s, \([0-9]*\) frames.*/\1/p' "$log" | head -n 1)
    depends=$(sed -n 's/^Depends: //p' "$log" | tail -n 1)
    # The Windows unit tests' lines come from Wine with CR LF line ends.
    wine=$(sed -n '/^== windows: unit tests under Wine/,/^== /p' "$log" | tr -d '\r' |
        sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' | head -n 1)
    same=$(grep -c '^same bytes: ' "$log" || true)
    if [ -n "$wine" ]; then
        fingerprint=$(tr -d '\r' <"$log" | sed -n 's/^replay: .*fingerprint \(0x[0-9a-f]*\)$/\1/p' | head -n 1)
        echo -n "Windows unit tests under Wine $wine passed${fingerprint:+, replay fingerprint $fingerprint}"
        echo ", $same of 2 artefacts the same bytes twice"
        return
    fi
    echo -n "ctest ${ctests:-none}${fingerprint:+, replay fingerprint $fingerprint}"
    echo -n "${matrix:+, bad-file matrix $matrix}"
    echo "${frames:+, soak frames $frames}${depends:+; Depends: $depends}"
}

# The first check that failed in a log, as "; first: FAIL: ...", at most a
# line's worth: the summary then says why a run failed, not only where.
first_failure() {
    local line
    line=$(grep -a -m 1 '^FAIL: ' "$1") || return 0
    echo "; first: ${line:0:200}"
}

# run ENTRY: one run (here, SUITE or SUITE:ARCH); its summary line goes to LOG.result.
run() {
    local suite=${1%:*} arch=$native args=() where="fresh root" log=$logs/${1/:/-}.log root result=PASS
    [[ $1 != *:* ]] || arch=${1#*:}
    [ "$arch" = "$native" ] || args=(--arch "$arch")
    [ "$arch" != windows ] || args=(--windows)
    local start=$SECONDS
    if [ "$suite" = here ]; then
        suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-debian}") where="this machine"
        plumwick_logged "$suite $arch" "$log" \
            bash -c "cd '$PLUMWICK_ROOT' && $test_command" bash "${args[@]}" || result=FAIL
    else
        root=$(mktemp -d "$roots-$suite-$arch-XXXXXX")
        plumwick_logged "$suite $arch" "$log" in_root "$suite" "$root" "${args[@]}" || result=FAIL
        plumwick_remove_root "$root" >>"$log" 2>&1 || result=FAIL
    fi
    local seconds=$((SECONDS - start))
    local line="$suite $arch ($where): $result in $((seconds / 60)) min $((seconds % 60)) s"
    [ $result = PASS ] || line+="; failed in step '$(plumwick_last_step "$log")'$(first_failure "$log") (log: $log)"
    echo "$line; $(figures "$log")" >"$log.result"
}
run_chain() { for entry; do run "$entry"; done; }

for chain in "$@"; do plumwick_start_job run_chain ${chain//+/ }; done
wait
passed=0 summary=()
for entry in "${runs[@]}"; do
    log=$logs/${entry/:/-}.log
    summary+=("$(cat "$log.result" 2>/dev/null || echo "$entry: no result")")
    rm -f "$log.result"
    [[ ${summary[-1]} == *": PASS in"* ]] && passed=$((passed + 1)) && continue
    echo "---- the last lines of $log:"
    tail -n 40 "$log" 2>/dev/null || true
done
echo "== summary"
printf '%s\n' "${summary[@]}"
echo "whole run: $((SECONDS / 60)) min"
echo "runs: $passed passed, $((${#runs[@]} - passed)) failed"
[ "$passed" -eq "${#runs[@]}" ]
