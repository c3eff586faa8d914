#!/usr/bin/env bash
# run-in-desktop.sh DESKTOP -- command [args...]
# Runs the command in a headless desktop of its own: DESKTOP is openbox, mutter-x11 or kwin-x11 (each
# on an Xvfb), or mutter-wayland or weston (each a Wayland compositor with Xwayland). The command gets
# DISPLAY, WAYLAND_DISPLAY (Wayland compositors only), a private XDG_RUNTIME_DIR and session bus, and
# QUELLEX_DESKTOP=DESKTOP. Every process started here is ended by its pid, and by nothing else. A
# desktop that does not come up within its time fails the run with its log.
set -euo pipefail

desktop=${1:-}
shift || true
[ "${1:-}" = -- ] && shift
[ -n "$desktop" ] && [ $# -gt 0 ] || { echo "usage: $0 DESKTOP -- command [args...]" >&2; exit 2; }

work=$(mktemp -d)
chmod 700 "$work"
pids=()
cleanup() {
    local pid
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        pid=${pids[i]}
        kill "$pid" 2>/dev/null || true
    done
    # Up to 5 s for each to go, then no mercy: a hung compositor must not hang the suite.
    for pid in "${pids[@]}"; do
        for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP

fail() {
    echo "run-in-desktop: $desktop: $1" >&2
    [ -f "$work/desktop.log" ] && tail -n 60 "$work/desktop.log" >&2
    exit 2
}

need() {
    command -v "$1" >/dev/null || fail "$1 is not installed (Debian package $2)"
}

# wait_until SECONDS COMMAND...: polls until COMMAND succeeds; fails when the desktop dies or time is up.
wait_until() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        kill -0 "${pids[-1]}" 2>/dev/null || fail "it ended while starting"
        [ $SECONDS -lt $deadline ] || fail "it did not come up within $seconds s"
        sleep 0.2
    done
}

export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The desktop's own settings go here, none of the user's.
export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" XDG_DATA_HOME="$work/data"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"
unset WAYLAND_DISPLAY DISPLAY XAUTHORITY QT_QPA_PLATFORM XDG_SESSION_TYPE

need dbus-daemon dbus
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus" 4>"$work/bus.pid"
pids+=("$(cat "$work/bus.pid")")
export DBUS_SESSION_BUS_ADDRESS
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")

start_xvfb() {
    need Xvfb xvfb
    mkfifo "$work/display"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
    pids+=($!)
    local number
    read -r -t 20 number <"$work/display" || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
    export DISPLAY=":$number"
}

# An EWMH window manager is ready once it names itself (wmctrl -m) and has published its client list.
ewmh_ready() {
    wmctrl -m >/dev/null 2>&1 && xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -q '^_NET_CLIENT_LIST(WINDOW)'
}

# The log line of a Wayland compositor that names its Xwayland display.
xwayland_display() {
    sed -n "s/.*$1 :\([0-9][0-9]*\).*/\1/p" "$work/desktop.log" | head -n 1 | grep .
}

socket="wl-quellex-$$"
case "$desktop" in
openbox)
    need openbox openbox
    start_xvfb
    printf '<?xml version="1.0"?>\n<openbox_config xmlns="http://openbox.org/3.4/rc"/>\n' >"$work/rc.xml"
    openbox --sm-disable --config-file "$work/rc.xml" >"$work/desktop.log" 2>&1 &
    pids+=($!)
    wait_until 20 ewmh_ready
    ;;
mutter-x11)
    need mutter mutter
    start_xvfb
    mutter --x11 --replace --sm-disable >"$work/desktop.log" 2>&1 &
    pids+=($!)
    wait_until 30 ewmh_ready
    ;;
kwin-x11)
    need kwin_x11 kwin-x11
    start_xvfb
    # KWin asks a D-Bus service that never answers here and waits for it to time out: 15 to 30 s.
    kwin_x11 --replace >"$work/desktop.log" 2>&1 &
    pids+=($!)
    wait_until 90 ewmh_ready
    ;;
mutter-wayland)
    need mutter mutter
    mutter --wayland --headless --virtual-monitor 1280x800 --wayland-display="$socket" --sm-disable \
        >"$work/desktop.log" 2>&1 &
    pids+=($!)
    wait_until 30 xwayland_display "Using public X11 display"
    export DISPLAY=":$(xwayland_display "Using public X11 display")"
    export XAUTHORITY
    XAUTHORITY=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -n 1)
    export WAYLAND_DISPLAY="$socket"
    wait_until 30 ewmh_ready
    ;;
weston)
    need weston weston
    # weston's Xwayland makes its socket there but not the directory, which a fresh machine lacks.
    mkdir -p -m 1777 /tmp/.X11-unix
    weston --backend=headless-backend.so --socket="$socket" --xwayland --width=1280 --height=800 \
        >"$work/desktop.log" 2>&1 &
    pids+=($!)
    wait_until 30 xwayland_display "xserver listening on display"
    export DISPLAY=":$(xwayland_display "xserver listening on display")"
    export WAYLAND_DISPLAY="$socket"
    # Xwayland starts on the first connection; weston's window manager keeps no client list.
    wait_until 30 xprop -root _NET_SUPPORTING_WM_CHECK
    ;;
*)
    echo "run-in-desktop: unknown desktop $desktop (openbox, mutter-x11, kwin-x11, mutter-wayland, weston)" >&2
    exit 2
    ;;
esac
export QUELLEX_DESKTOP="$desktop"

set +e
"$@"
status=$?
set -e
exit $status
