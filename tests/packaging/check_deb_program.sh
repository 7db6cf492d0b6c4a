#!/usr/bin/env bash
# The packaged program starts on an X desktop, shows its window with its icon, and exits with
# status 0 once the window manager closes that window, as when the user clicks the close button.
# Runs on an X server (xvfb-run): check_deb_program.sh PACKAGE.deb SCRATCH_DIR
set -euo pipefail
deb=$1 scratch=$2
title="LMX2330A Dual Frequency synthesizers"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

rm -rf "$scratch"
mkdir -p "$scratch/root" "$scratch/runtime"
chmod 700 "$scratch/runtime"
dpkg-deb -x "$deb" "$scratch/root"
export XDG_RUNTIME_DIR=$scratch/runtime

wm='' app=''
trap 'kill $wm $app 2>/dev/null || true' EXIT
matchbox-window-manager -use_titlebar no &
wm=$!
for _ in $(seq 100); do
    wmctrl -m >/dev/null 2>&1 && break
    sleep 0.1
done
wmctrl -m >/dev/null 2>&1 || fail "no window manager came up"

QT_QPA_PLATFORM=xcb "$scratch/root/usr/bin/lmx2330a-calc" &
app=$!

# The window by its exact title, from the window manager's list: id, desktop, host, title.
window=''
for _ in $(seq 100); do
    window=$(wmctrl -l | awk -v title="$title" \
        '{ t = $0; sub(/^[^ ]+ +[^ ]+ +[^ ]+ /, "", t); if (t == title) print $1 }')
    [ -n "$window" ] && break
    kill -0 "$app" 2>/dev/null || fail "the program ended before its window showed"
    sleep 0.1
done
[ -n "$window" ] || fail "no window titled \"$title\" within 10 s"
icon=$(xprop -id "$window" _NET_WM_ICON)
[[ $icon == *"Icon ("* ]] || fail "the window has no icon: $icon"

wmctrl -F -c "$title"
for _ in $(seq 50); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$app" 2>/dev/null && fail "the program still runs 5 s after its window was closed"
status=0
wait "$app" || status=$?
app=''
[ "$status" -eq 0 ] || fail "the program exited with status $status"
echo "the packaged program closed with its window, status 0"
