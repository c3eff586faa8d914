#!/usr/bin/env bash
# scripts/screenshots.sh [output folder]
# Takes the README's screenshots from the built program: the main window watching a running program
# (name box green) and the settings window. Writes main-window.png and settings-window.png to the
# output folder, docs/screenshots/ by default. Run it again after any change to the look.
#
# Everything runs in a private process namespace against a private X server, with a private settings
# folder: the program sees only the processes started here, so no click can reach anything else, and
# all of it ends with the script.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

if [ "${1:-}" != --inside ]; then
    out_dir=$(realpath -m "${1:-$project_root/docs/screenshots}")
    ensure_packages "${build_packages[@]}" xvfb xauth openbox x11-utils xdotool imagemagick util-linux
    build_project -DQUELLEX_BUILD_TESTS=ON
    [ -x "$build_dir/tests/support/quellex_test_idle" ] ||
        cmake --build "$build_dir" --target quellex_test_idle >/dev/null

    if [ "$(id -u)" -eq 0 ]; then
        isolate=(unshare --pid --fork --mount-proc)
    else
        isolate=(unshare --user --map-root-user --pid --fork --mount-proc)
    fi
    if ! "${isolate[@]}" true 2>/dev/null; then
        echo "screenshots: cannot start a private process namespace (${isolate[*]}); not taking" \
            "screenshots outside one, since the program would then see every process here" >&2
        exit 1
    fi
    mkdir -p "$out_dir"
    exec "${isolate[@]}" "$project_root/tests/run-in-xvfb.sh" --wm -- bash "$(realpath "$0")" --inside "$out_dir"
fi

# From here on: inside the namespace, with DISPLAY set to the private X server.
out_dir=$2
work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "screenshots: $*" >&2
    exit 1
}

# Waits without starting a sleep process, which the program's own sleep watcher would see.
mkfifo "$work/delay"
delay() { read -rt "$1" <>"$work/delay" || true; }

export QT_QPA_PLATFORM=xcb LANG=C.UTF-8 LC_ALL=C.UTF-8 XDG_CONFIG_HOME="$work/config"
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING QT_STYLE_OVERRIDE

# The watched program: a copy of the idle test program under a name of this run's own.
demo_name="demo-$(od -An -N4 -tx1 /dev/urandom | tr -d ' \n')"
cp "$build_dir/tests/support/quellex_test_idle" "$work/$demo_name"
"$work/$demo_name" $$ 300 &
pids+=($!)

mkdir -p "$XDG_CONFIG_HOME"
cat >"$XDG_CONFIG_HOME/ZORVIN-QUELLEX.ini" <<EOF
[Settings]
PROCESS_NAME_TEXTBOX=$demo_name
AUTO_TERMINATE_TICKBOX=0
AlwaysOnTopTimer_TICKBOX=0
LOCK_PROCESS_NAME_TICKBOX=0
SHOW_ZORVIN_DEV_TICKBOX=1
MainLeft=600
MainTop=600
AboutLeft=600
AboutTop=3600
EOF

"$build_dir/quellex" >"$work/quellex.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")

# Visible top-level windows of the program, one id a line.
program_windows() {
    xdotool search --onlyvisible --pid "$app_pid" --name '^ZORVIN - QUELLEX$' 2>/dev/null || true
}

root_window=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')

# The window manager's frame around a window: its ancestor just below the root. Prints nothing
# while the window is not framed yet.
frame_of() {
    local window=$(($1)) parent
    while parent=$(xwininfo -tree -id "$window" 2>/dev/null | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p'); do
        [ -n "$parent" ] || return 0
        if [ "$((parent))" = "$((root_window))" ]; then
            [ "$window" != "$(($1))" ] && printf '0x%x\n' "$window"
            return 0
        fi
        window=$((parent))
    done
}

# Waits for a framed program window other than the one given, and prints its frame.
wait_for_window() { # [frame to ignore]
    local id frame
    for _ in $(seq 1 100); do
        kill -0 "$app_pid" 2>/dev/null || { cat "$work/quellex.log" >&2; fail "build/quellex exited"; }
        for id in $(program_windows); do
            frame=$(frame_of "$id")
            [ -n "$frame" ] && [ "$frame" != "${1:-}" ] && { echo "$frame"; return 0; }
        done
        delay 0.2
    done
    cat "$work/quellex.log" >&2
    return 1
}

# Pixels of exactly the state colour green in an image.
green_pixels() {
    /usr/bin/convert "$1" -fill black +opaque '#00ff00' -fill white -opaque '#00ff00' \
        -format '%[fx:round(mean*w*h)]' info:
}

# The window with its frame and title bar, without metadata that changes from run to run.
capture() { # window id, file
    import -silent -window "$1" "$work/raw.png" && /usr/bin/convert "$work/raw.png" -strip "$2"
}

# Whether a window lies wholly on the screen; a part off it would be missing from the picture.
on_screen() {
    local x y w h
    read -r x y w h < <(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}')
    placement="${w}x$h at $x,$y"
    [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le "$screen_width" ] && [ $((y + h)) -le "$screen_height" ]
}
read -r screen_width screen_height < <(xwininfo -root | awk '/Width:/ {w=$NF} /Height:/ {h=$NF} END {print w, h}')

main_frame=$(wait_for_window) || fail "the main window did not appear"
# The name box turns green at a watcher tick; wait until the picture shows it.
for _ in $(seq 1 40); do
    delay 0.5
    on_screen "$main_frame" || continue
    capture "$main_frame" "$work/main-window.png"
    [ "$(green_pixels "$work/main-window.png")" -gt 4000 ] && break
done
on_screen "$main_frame" || fail "the main window is not wholly on the screen: its frame is $placement"
[ "$(green_pixels "$work/main-window.png")" -gt 4000 ] || fail "the name box did not turn green"

# The Settings button's centre, from its design place in twips (15 to a pixel at 96 dots per inch).
main_window=$(program_windows | head -n 1)
xdotool mousemove --window "$main_window" $(((4680 + 1335 / 2) / 15)) $(((960 + 375 / 2) / 15)) click 1
settings_frame=$(wait_for_window "$main_frame") || fail "the settings window did not open"
xdotool mousemove 0 0
delay 1
on_screen "$settings_frame" || fail "the settings window is not wholly on the screen: its frame is $placement"
capture "$settings_frame" "$work/settings-window.png"

cp "$work/main-window.png" "$work/settings-window.png" "$out_dir/"
echo "Wrote $out_dir/main-window.png and $out_dir/settings-window.png"
