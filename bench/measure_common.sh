# Shared by the measuring scripts: a private X server, a private settings folder, and processes of
# names unique to this run. Only processes started here are ever signalled.
set -euo pipefail

# Without a display, the calling script starts over under an X server of its own.
if [ -z "${DISPLAY:-}" ]; then
    exec "$(dirname "$0")/../tests/run-in-xvfb.sh" --wm -- "$0" "$@"
fi

project_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="${QUELLEX_BUILD_DIR:-$project_root/build}"
idle_program="$build_dir/tests/support/quellex_test_idle"
quellex_program="$build_dir/quellex"

for needed in "$idle_program" "$quellex_program"; do
    [ -x "$needed" ] || { echo "missing $needed: run scripts/test.sh first" >&2; exit 2; }
done

work_dir=$(mktemp -d)
started_pids=()
cleanup_measure() {
    local pid
    # The shell would report each process it ends here.
    exec 2>/dev/null
    for pid in "${started_pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work_dir"
}
trap cleanup_measure EXIT

unique_name() {
    printf '%s%s' "$1" "$(od -An -N5 -tx1 /dev/urandom | tr -d ' \n')"
}

# Copies the idle program under the given name and starts count processes of it.
start_processes() {
    local name=$1 count=$2 i
    cp "$idle_program" "$work_dir/$name"
    for ((i = 0; i < count; i++)); do
        "$work_dir/$name" $$ &
        started_pids+=($!)
    done
}

# A process that ends while find reads /proc is no error.
process_count() {
    { find /proc -maxdepth 1 -name '[0-9]*' 2>/dev/null || true; } | wc -l
}

# Starts quellex (or the program given second) with these settings lines in a settings folder of its
# own, through the command in quellex_launcher when one is set; sets quellex_pid.
quellex_launcher=()
start_quellex() {
    local config
    config=$(mktemp -d "$work_dir/config.XXXXXX")
    printf '[Settings]\n%s\n' "$1" >"$config/ZORVIN-QUELLEX.ini"
    XDG_CONFIG_HOME="$config" QT_QPA_PLATFORM=xcb "${quellex_launcher[@]}" "${2:-$quellex_program}" \
        2>"$config/quellex.log" &
    quellex_pid=$!
    started_pids+=("$quellex_pid")
}

# user + system CPU time of a process, in clock ticks.
cpu_ticks() {
    awk '{ print $14 + $15 }' "/proc/$1/stat"
}
