#!/usr/bin/env bash
# Time from a uniquely named process's start to its end while quellex has "Auto Terminate" ticked
# for that name, with about 100 processes on the machine.
#   bench/measure_latency.sh [trials]   (default 20; runs its own Xvfb when there is no display)
source "$(dirname "$0")/measure_common.sh"
trials=${1:-20}

others=$((100 - $(process_count)))
((others > 0)) && start_processes "$(unique_name qxload)" "$others"
target=$(unique_name qxlat)
cp "$idle_program" "$work_dir/$target"
start_quellex "PROCESS_NAME_TEXTBOX=$target
AUTO_TERMINATE_TICKBOX=1"
sleep 3
echo "processes on the machine: $(process_count)"

latencies=()
for ((i = 0; i < trials; i++)); do
    # A random pause, so that starts fall at every phase of the quarter-second timer.
    sleep "0.$((RANDOM % 9 + 1))"
    start=$(date +%s%N)
    # It ends itself after 5 s should quellex not end it.
    "$work_dir/$target" $$ 5 &
    pid=$!
    wait "$pid" 2>/dev/null || true
    end=$(date +%s%N)
    latencies+=($(((end - start) / 1000000)))
done

printf '%s\n' "${latencies[@]}" | sort -n | awk -v n="$trials" '
    { v[NR] = $1 }
    END {
        median = (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
        printf "latency_ms_all=%s\n", "'"${latencies[*]}"'"
        printf "latency_ms_median=%.1f\nlatency_ms_worst=%d\n", median, v[n]
        printf "target: median <= 160 ms (%s), worst <= 320 ms (%s)\n",
            (median <= 160) ? "met" : "NOT met", (v[n] <= 320) ? "met" : "NOT met"
    }'
