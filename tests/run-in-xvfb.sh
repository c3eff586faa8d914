#!/usr/bin/env bash
# run-in-xvfb.sh [--wm] -- command [args...]
# Runs the command against an X server of its own (and, with --wm, an EWMH window manager), then
# ends both. Only the processes started here are ever signalled.
set -euo pipefail

with_wm=0
while [ $# -gt 0 ]; do
    case "$1" in
    --wm) with_wm=1; shift ;;
    --) shift; break ;;
    *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--wm] -- command [args...]" >&2; exit 2; }

command -v Xvfb >/dev/null || { echo "run-in-xvfb: Xvfb is not installed (Debian package xvfb)" >&2; exit 2; }

fifo_dir=$(mktemp -d)
mkfifo "$fifo_dir/display"
# -noreset: by default the server starts over whenever its last client leaves, as the readiness probe
# below does, and a client connecting meanwhile (the window manager, say) is refused.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo_dir/display" 2>"$fifo_dir/xvfb.log" &
xvfb_pid=$!
wm_pid=
cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$fifo_dir"
}
trap cleanup EXIT

if ! read -r -t 20 display_number <"$fifo_dir/display"; then
    echo "run-in-xvfb: Xvfb did not start" >&2
    cat "$fifo_dir/xvfb.log" >&2
    exit 2
fi
export DISPLAY=":$display_number"
unset WAYLAND_DISPLAY

if [ "$with_wm" = 1 ]; then
    command -v openbox >/dev/null || { echo "run-in-xvfb: openbox is not installed (Debian package openbox)" >&2; exit 2; }
    # An empty but well-formed configuration: openbox's defaults, and none of the user's settings. (An
    # unreadable one makes openbox open a syntax-error dialog that takes the focus at some moment.)
    printf '<?xml version="1.0"?>\n<openbox_config xmlns="http://openbox.org/3.4/rc"/>\n' >"$fifo_dir/rc.xml"
    openbox --sm-disable --config-file "$fifo_dir/rc.xml" >"$fifo_dir/wm.log" 2>&1 &
    wm_pid=$!
    # The window manager is ready once it has published its client list, the last step of its start:
    # it claims the screen (the EWMH check window) earlier, and a window mapped between the two is
    # left unmanaged.
    wm_ready=0
    for _ in $(seq 1 200); do
        case "$(xprop -root _NET_CLIENT_LIST 2>/dev/null || true)" in
        "_NET_CLIENT_LIST(WINDOW)"*) wm_ready=1; break ;;
        esac
        kill -0 "$wm_pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ "$wm_ready" != 1 ]; then
        echo "run-in-xvfb: the window manager did not start" >&2
        cat "$fifo_dir/wm.log" >&2
        exit 2
    fi
fi

set +e
"$@"
status=$?
set -e
exit $status
