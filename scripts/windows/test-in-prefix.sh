#!/usr/bin/env bash
# Runs by scripts/windows/test.sh inside its X server: makes the private Wine prefix, starts a
# sentinel Windows process under a unique name, runs ctest, and then checks from the Linux side that
# the sentinel and Wine's own processes of the prefix all still run: the tests ended nothing but
# what they started. Then ends what is left in the prefix, which is this run's alone.
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

run_dir=${QUELLEX_WINDOWS_RUN_DIR:?}
make_wine_prefix "$run_dir"

sentinel="qxSentinel$(od -An -N6 -tx1 /dev/urandom | tr -d ' \n').exe"
cp "$windows_build_dir/quellex_test_idle.exe" "$run_dir/$sentinel"
wine "$run_dir/$sentinel" </dev/null >/dev/null 2>&1 &
sentinel_launcher=$!

# The Linux processes of this prefix: Wine's services and the sentinel, by pid and start time.
prefix_processes() {
    local environ pid
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}; pid=${pid%/environ}
        case "$(readlink "/proc/$pid/exe" 2>/dev/null)" in /usr/lib/wine/*) ;; *) continue ;; esac
        tr '\0' '\n' <"$environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
        echo "$pid $(cut -d' ' -f22 "/proc/$pid/stat" 2>/dev/null) $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)"
    done
}
for _ in $(seq 1 100); do
    prefix_processes | grep -qF "$sentinel" && break
    sleep 0.1
done
# Console hosts and the desktop come and go with the programs; Wine's services and the sentinel stay.
before=$(prefix_processes | grep -E -e "$sentinel" -e 'wineserver|services\.exe|winedevice\.exe|plugplay\.exe|svchost\.exe|rpcss\.exe' || true)
grep -qF "$sentinel" <<<"$before" || { echo "the sentinel process did not start" >&2; exit 1; }

status=0
(cd "$windows_build_dir" && ctest --output-on-failure --parallel 2 "$@") || status=$?
# The Linux service against Windows programs of this prefix, where the Linux tests are built.
wine_test="$project_root/build/tests/process/tst_procfswine"
if [ -x "$wine_test" ]; then
    QUELLEX_TEST_WINE_IDLE="$windows_build_dir/quellex_test_idle.exe" "$wine_test" || status=1
fi

while read -r pid start cmd; do
    [ -n "$pid" ] || continue
    if [ "$(cut -d' ' -f22 "/proc/$pid/stat" 2>/dev/null)" != "$start" ]; then
        echo "A process the tests did not start has ended: $pid $cmd" >&2
        status=1
    fi
done <<<"$before"
[ "$status" = 0 ] && echo "Checked from Linux: the sentinel and Wine's $(($(wc -l <<<"$before") - 1)) own processes all still run"

kill "$sentinel_launcher" 2>/dev/null || true
wineserver -k 2>/dev/null || true
exit $status
