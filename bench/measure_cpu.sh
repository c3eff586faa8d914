#!/usr/bin/env bash
# CPU use of an idle quellex (neither auto tickbox ticked) with about 1000 other processes on the
# machine, beside 20 times the floor cost of one scan of /proc measured in the same run.
#   bench/measure_cpu.sh [seconds]      (default 30; runs its own Xvfb when there is no display)
if [ -z "${DISPLAY:-}" ]; then
    exec "$(dirname "$0")/../tests/run-in-xvfb.sh" --wm -- "$0" "$@"
fi
source "$(dirname "$0")/measure_common.sh"
seconds=${1:-30}

others=$((1000 - $(process_count)))
((others > 0)) && start_processes "$(unique_name qxload)" "$others"
start_quellex "PROCESS_NAME_TEXTBOX=$(unique_name qxcpu)"
sleep 3
echo "processes on the machine: $(process_count)"

ticks_per_second=$(getconf CLK_TCK)
before=$(cpu_ticks "$quellex_pid")
sleep "$seconds"
after=$(cpu_ticks "$quellex_pid")
cpu_share=$(awk -v t=$((after - before)) -v hz="$ticks_per_second" -v s="$seconds" 'BEGIN { printf "%.4f", t / hz / s }')

floor_us=$("$build_dir/bench/quellex_bench" --floor-only | awk -F= '/^floor_us_per_scan=/ { print $2 }')
floor_share=$(awk -v us="$floor_us" 'BEGIN { printf "%.4f", 20 * us / 1e6 }')
limit=$(awk -v f="$floor_share" 'BEGIN { printf "%.4f", 1.3 * f + 0.005 }')
verdict=$(awk -v c="$cpu_share" -v l="$limit" 'BEGIN { print (c <= l) ? "met" : "NOT met" }')

echo "quellex_cpu_share=$cpu_share (of one core, over ${seconds} s)"
echo "floor_us_per_scan=$floor_us"
echo "floor_share_20_scans=$floor_share"
echo "target=1.3*floor+0.005=$limit ($verdict)"
