#!/usr/bin/env bash
# run-in-wine.sh program.exe [args...]
# Runs a Windows program under Wine for the tests: Qt's variables passed in Wine's way (Wine hands
# only WINE-prefixed ones to Windows programs, without the prefix), QTest's output on stderr, and
# Wine's own messages off. Uses $WINEPREFIX when set (the test run's private prefix); otherwise makes
# a prefix of its own for this one program and removes it afterwards.
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: $0 program.exe [args...]" >&2; exit 2; }

export WINEDEBUG=-all
own_prefix=
if [ -z "${WINEPREFIX:-}" ]; then
    own_prefix=$(mktemp -d)
    export WINEPREFIX="$own_prefix/wineprefix"
    wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null 2>&1
fi
while IFS='=' read -r name _; do
    case "$name" in QT_*) export "WINE$name=${!name}" ;; esac
done < <(env)
export WINEQT_FORCE_STDERR_LOGGING=1

# Wine's helpers (the console host, the desktop) outlive the program and would keep its output
# open, so ctest would wait for them: the output goes through a file instead.
output=$(mktemp)
set +e
wine "$@" </dev/null >"$output" 2>&1
status=$?
set -e
cat "$output"
rm -f "$output"
if [ -n "$own_prefix" ]; then
    # Ends what Wine still runs in this private prefix only, then removes it.
    wineserver -k 2>/dev/null || true
    rm -rf "$own_prefix"
fi
exit $status
