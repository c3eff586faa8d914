#!/usr/bin/env bash
# CPU use of an idle quellex (neither auto tickbox ticked) with about 1000 other processes on the
# machine, beside 20 times the floor cost of one scan of /proc measured in the same run.
#   bench/measure_cpu.sh [seconds]      (default 30; runs its own Xvfb when there is no display)
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

# The same floor with scans spaced as the program's timers space them, for comparison: a scan after a
# pause finds less of the kernel's process structures in the cache than one in a tight loop.
paced_us=$("$build_dir/bench/quellex_bench" --floor-only --pace-ms=50 --benchmark_min_time=0.5 |
    awk -F= '/^floor_us_per_scan=/ { print $2 }')
quellex_us=$(awk -v c="$cpu_share" 'BEGIN { printf "%.1f", c * 1e6 / 20 }')

echo "quellex_cpu_share=$cpu_share (of one core, over ${seconds} s)"
echo "floor_us_per_scan=$floor_us"
echo "floor_share_20_scans=$floor_share"
echo "target=1.3*floor+0.005=$limit ($verdict)"
echo "quellex_us_per_scan=$quellex_us (its CPU time over 20 scans a second)"
echo "paced_floor_us_per_scan=$paced_us (scans 50 ms apart)"
echo "ratio_vs_paced_floor=$(awk -v q="$quellex_us" -v p="$paced_us" 'BEGIN { printf "%.3f", q / p }')"
