#!/usr/bin/env bash
# The program on a Wayland desktop: under weston, headless and drawing with pixman, its window is
# painted, carries the desktop entry's id as its app id (which is how a Wayland desktop finds the
# entry's name and icon), and the program exits with status 0 once the compositor asks that window
# to close, as when the user clicks its close button. The module weston_closer.so watches the
# painted frames, logs the window and asks it to close.
# Usage: check_wayland.sh PROGRAM CLOSER_MODULE SCRATCH_DIR APP_ID
set -euo pipefail
program=$1 closer=$(realpath "$2") scratch=$3 id=$4
title="LMX2330A Dual Frequency synthesizers"
log=$scratch/weston.log
fail() {
    echo "FAIL: $*" >&2
    [ -f "$log" ] && sed 's/^/weston: /' "$log" >&2
    exit 1
}
# await_log PATTERN PID: waits up to 15 s, while PID runs, for a line of weston's log to match.
await_log() {
    for _ in $(seq 150); do
        grep -q "$1" "$log" 2>/dev/null && return 0
        kill -0 "$2" 2>/dev/null || break
        sleep 0.1
    done
    grep -q "$1" "$log" 2>/dev/null
}

rm -rf "$scratch"
mkdir -p "$scratch"
# The compositor's socket goes here: private (mktemp makes it 0700), and in /tmp, where its path
# stays within the 108 bytes a socket's name may have, however deep the build tree lies.
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR

weston='' app=''
# Waits for weston too: one still shutting down would remove a later run's socket.
trap 'kill $app $weston 2>/dev/null || true; wait; rm -rf "$XDG_RUNTIME_DIR"' EXIT
weston --no-config --backend=headless-backend.so --use-pixman --socket=wayland-test \
    --modules="$closer" --log="$log" &
weston=$!
await_log 'closer: watching' "$weston" || fail "weston did not start with the closer module"

# No X display to fall back to: the window is Wayland's or nothing.
env -u DISPLAY WAYLAND_DISPLAY=wayland-test QT_QPA_PLATFORM=wayland "$program" &
app=$!
await_log 'closer: asked it to close' "$app" || fail "no window of the program was painted"
painted=$(grep 'closer: painted toplevel' "$log")
[[ $painted == *"app_id \"$id\" title \"$title\"" ]] || fail "the painted window is not ours: $painted"

for _ in $(seq 50); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$app" 2>/dev/null && fail "the program still runs 5 s after its window was asked to close"
status=0
wait "$app" || status=$?
app=''
[ "$status" -eq 0 ] || fail "the program exited with status $status"
echo "the program closed with its Wayland window, status 0"
