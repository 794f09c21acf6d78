#!/usr/bin/env bash
# A private PulseAudio daemon with one null sink, whose monitor is recorded:
# what a program plays there can be compared with what it should play
# (plumwick_sound_match). No sound card and no system service: the daemon has
# its own runtime directory, home and socket in DIR, and a time limit.
#
#   pulse-sink.sh start DIR [SECONDS]   start the daemon (killed after SECONDS,
#                                       default 900); prints PULSE_SERVER's value
#   pulse-sink.sh record DIR [SECONDS]  record the sink to DIR/recording.raw:
#                                       s16le, 44100 Hz, 2 channels
#   pulse-sink.sh stop DIR              stop the recording and the daemon
#
# A program plays there with PULSE_SERVER=unix:DIR/native (SFML 2: also
# ALSOFT_DRIVERS=pulse; SFML 3's miniaudio and Wine find PulseAudio themselves).
set -euo pipefail

command=${1:?usage: $0 start|record|stop DIR [SECONDS]}
dir=${2:?usage: $0 start|record|stop DIR [SECONDS]}
seconds=${3:-900}
socket=$dir/native

missing() {
    local tool
    for tool in pulseaudio parec pactl timeout setsid; do
        command -v "$tool" >/dev/null || echo "$tool"
    done
}

# Its own session: neither the caller's time limit nor its terminal reach it.
# The environment makes it private: runtime files, cookie and socket in DIR.
start() {
    local tools
    tools=$(missing)
    [ -z "$tools" ] || { echo "missing: $tools" >&2 && return 77; }
    mkdir -p "$dir/runtime" "$dir/home"
    chmod 700 "$dir/runtime"
    # As root the daemon warns and runs all the same: --system is the
    # system-wide service, which this is not.
    XDG_RUNTIME_DIR=$dir/runtime HOME=$dir/home PULSE_RUNTIME_PATH=$dir/runtime \
        setsid timeout -s KILL "$seconds" pulseaudio -n --daemonize=no --system=no \
        --use-pid-file=no --exit-idle-time=-1 --disable-shm=yes --realtime=yes \
        --high-priority=yes --log-target=stderr \
        -L "module-null-sink sink_name=plumwick rate=44100 channels=2 format=s16le" \
        -L "module-native-protocol-unix socket=$socket auth-anonymous=1" \
        </dev/null >"$dir/pulseaudio.log" 2>&1 &
    echo $! >"$dir/pulseaudio.pid"
    local _
    for _ in $(seq 100); do
        if PULSE_SERVER=unix:$socket timeout 5 pactl info >/dev/null 2>&1; then
            echo "unix:$socket"
            return 0
        fi
        kill -0 "$(cat "$dir/pulseaudio.pid")" 2>/dev/null || break
        sleep 0.1
    done
    echo "the PulseAudio daemon did not answer; its log:" >&2
    cat "$dir/pulseaudio.log" >&2
    stop
    return 1
}

# The daemon asks for the priority a desktop gives a sound server (real-time,
# as rtkit grants it); the recorder runs above other work too. Both need root
# for it, and do without.
record() {
    local above=()
    [ "$(id -u)" -ne 0 ] || above=(nice -n -10)
    PULSE_SERVER=unix:$socket setsid timeout -s KILL "$seconds" "${above[@]}" parec --device=plumwick.monitor \
        --raw --format=s16le --rate=44100 --channels=2 --latency-msec=50 \
        </dev/null >"$dir/recording.raw" 2>"$dir/parec.log" &
    echo $! >"$dir/parec.pid"
}

# Each started under `timeout` in a session of its own: the whole session goes.
stop_one() {
    local file=$dir/$1.pid pid _
    [ -f "$file" ] || return 0
    pid=$(cat "$file")
    kill -KILL -- "-$pid" 2>/dev/null || true
    for _ in $(seq 50); do
        kill -0 -- "-$pid" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$file"
}

stop() {
    stop_one parec
    stop_one pulseaudio
}

case $command in
start) start ;;
record) record ;;
stop) stop ;;
*) echo "usage: $0 start|record|stop DIR [SECONDS]" >&2 && exit 2 ;;
esac
