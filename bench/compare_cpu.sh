#!/usr/bin/env bash
# CPU use of an idle quellex (neither auto tickbox ticked, its name not running) beside the program
# built from an earlier commit in the same run: with 1000 and then 6000 processes on the machine,
# each one's CPU ticks over rounds of the given length, the two programs' rounds taking turns (the
# other one stopped meanwhile, so that neither warms the kernel's caches for the other), and the
# ratio of their sums; then the walks over /proc each makes a second, counted by strace over 5 s
# (strace slows what it watches: a count, not a cost).
#   bench/compare_cpu.sh COMMIT [seconds a round] [rounds]   (default 10 s, 3 rounds each)
set -euo pipefail
usage="usage: $0 COMMIT [seconds a round] [rounds]"
commit=$(git -C "$(dirname "$0")" rev-parse --verify "${1:?$usage}^{commit}")
source "$(dirname "$0")/measure_common.sh"
seconds=${2:-10}
rounds=${3:-3}
levels=(${QUELLEX_LEVELS:-1000 6000})
command -v strace >/dev/null || { echo "strace is missing (Debian package strace)" >&2; exit 2; }

# Room for the processes started here beside those already running.
needed=$((${levels[-1]} + 1000))
user_limit=$(ulimit -u)
pid_max=$(cat /proc/sys/kernel/pid_max)
if { [ "$user_limit" != unlimited ] && ((user_limit < needed)); } || ((pid_max < needed)); then
    echo "ulimit -u is $user_limit and pid_max $pid_max: $needed processes are needed" >&2
    exit 2
fi

# The earlier program, from that commit's tree, built apart from this one.
base_dir="$work_dir/base"
mkdir "$base_dir"
git -C "$project_root" archive "$commit" | tar -x -C "$base_dir"
if command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$base_dir" CCACHE_NOHASHDIR=true
fi
echo "building quellex at ${commit:0:7} ..." >&2
cmake -S "$base_dir" -B "$base_dir/build" -DQUELLEX_BUILD_TESTS=OFF >/dev/null
cmake --build "$base_dir/build" --parallel 2 --target quellex >/dev/null

# Other work on the machine must not starve either program: what is measured is what each would take.
# As root each runs at the highest priority, in a session of its own whose scheduling group (where
# the kernel groups tasks by session) gets it too.
raise_priority() {
    if [ "$(id -u)" = 0 ] && [ -w "/proc/$1/autogroup" ]; then
        echo -20 >"/proc/$1/autogroup" || true
    fi
}
[ "$(id -u)" = 0 ] && quellex_launcher=(setsid nice -n -20)
start_quellex "PROCESS_NAME_TEXTBOX=$(unique_name qxcpu)"
new_pid=$quellex_pid
start_quellex "PROCESS_NAME_TEXTBOX=$(unique_name qxcpu)" "$base_dir/build/quellex"
base_pid=$quellex_pid
sleep 1
raise_priority "$new_pid"
raise_priority "$base_pid"

walks_per_second() {
    local log="$work_dir/strace.$1"
    timeout -s INT 5 strace -qq -e trace=openat -e signal=none -o "$log" -p "$1" 2>/dev/null || true
    awk '/"\/proc", / { n++ } END { printf "%.1f", n / 5 }' "$log"
}

# CPU ticks of the first program over one round while the second is stopped.
round_ticks() {
    kill -STOP "$2"
    kill -CONT "$1"
    sleep 1
    local before
    before=$(cpu_ticks "$1")
    sleep "$seconds"
    echo $(($(cpu_ticks "$1") - before))
}

for level in "${levels[@]}"; do
    kill -CONT "$new_pid" "$base_pid"
    more=$((level - $(process_count)))
    ((more > 0)) && start_processes "$(unique_name qxload)" "$more"
    sleep 3
    new_total=0 base_total=0 round_ratios=()
    for ((round = 0; round < rounds; round++)); do
        new_ticks=$(round_ticks "$new_pid" "$base_pid")
        base_ticks=$(round_ticks "$base_pid" "$new_pid")
        new_total=$((new_total + new_ticks)) base_total=$((base_total + base_ticks))
        round_ratios+=("$(awk -v n="$new_ticks" -v b="$base_ticks" 'BEGIN { printf "%.3f", n / b }')")
    done
    kill -CONT "$new_pid" "$base_pid"
    awk -v n="$new_total" -v b="$base_total" -v s=$((seconds * rounds)) -v hz="$(getconf CLK_TCK)" \
        -v p="$(process_count)" -v rr="${round_ratios[*]}" -v load="$(cut -d' ' -f1-3 /proc/loadavg)" 'BEGIN {
        printf "processes=%d load_average=\"%s\"\n", p, load
        printf "  new_cpu_share=%.4f base_cpu_share=%.4f (of one core, over %d s each)\n", n / hz / s, b / hz / s, s
        printf "  ratio=%.3f (rounds: %s) target <= 0.55: %s\n", n / b, rr, (n / b <= 0.55) ? "met" : "NOT met"
    }'
    echo "  walks_per_second new=$(walks_per_second "$new_pid") base=$(walks_per_second "$base_pid")"
done
