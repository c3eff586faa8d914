#!/usr/bin/env bash
# The Windows half of the test command: cross-builds the program and its tests (build.sh), then runs
# every test under Wine in one private prefix that reports Windows 10, inside an X server of its own.
# Extra arguments go to ctest. Without the Windows Qt tree it says so in one line and is skipped.
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

if ! have_qt_windows; then
    echo "Windows tests SKIPPED: no Qt for Windows at $qt_windows (set QUELLEX_QT_WINDOWS, or run scripts/windows/build-qt.sh)"
    exit 0
fi
ensure_packages "${windows_build_packages[@]}" "${windows_test_packages[@]}"
started=$(date +%s)
build_log=$(mktemp)
if ! bash "$project_root/scripts/windows/build.sh" >"$build_log" 2>&1; then
    tail -n 40 "$build_log"
    echo "Windows build FAILED" >&2
    rm -f "$build_log"
    exit 1
fi
rm -f "$build_log"
echo "Windows build: $(($(date +%s) - started)) s"

run_dir=$(mktemp -d)
trap 'rm -rf "$run_dir"' EXIT
export QUELLEX_WINDOWS_RUN_DIR="$run_dir"
exec "$project_root/tests/run-in-xvfb.sh" -- "$project_root/scripts/windows/test-in-prefix.sh" "$@"
