#!/usr/bin/env bash
# Builds ZORVIN-QUELLEX with its tests and benchmark, and runs every test; then the same for the
# Windows build, under Wine. In CI (CI set), warnings are errors, and the unit and process tests run
# once more in a build with the address and undefined-behaviour sanitizers (build-sanitize/).
# QUELLEX_TEST_SKIP="sanitizer windows desktop" leaves out any of those parts (desktop: the tests in
# real desktops and the packages they need), saying so first. Extra arguments go to ctest.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

test_packages=(xvfb xauth openbox x11-utils libbenchmark-dev libproc2-dev
    desktop-file-utils appstream dpkg-dev file lintian dbus xdotool at-spi2-core python3-gi gir1.2-atspi-2.0)
desktop_packages=(mutter kwin-x11 kwin-style-breeze weston xwayland qt6-wayland wmctrl)
skip=" ${QUELLEX_TEST_SKIP:-} "
[[ $skip == *" sanitizer "* ]] && echo "Sanitizer build and tests SKIPPED (QUELLEX_TEST_SKIP)"
[[ $skip == *" windows "* ]] && echo "Windows tests SKIPPED (QUELLEX_TEST_SKIP)"
ctest_options=()
if [[ $skip == *" desktop "* ]]; then
    echo "Desktop tests SKIPPED (QUELLEX_TEST_SKIP)"
    ctest_options=(-LE desktop)
else
    test_packages+=("${desktop_packages[@]}")
fi
ensure_packages "${build_packages[@]}" "${test_packages[@]}"
ci_options=()
[ -n "${CI:-}" ] && ci_options=(-DQUELLEX_WERROR=ON)
build_project -DQUELLEX_BUILD_TESTS=ON -DQUELLEX_BUILD_BENCH=ON "${ci_options[@]}"
status=0
(cd "$build_dir" && ctest --output-on-failure --parallel 2 "${ctest_options[@]}" "$@") || status=$?
if [ -n "${CI:-}" ] && [[ $skip != *" sanitizer "* ]]; then
    started=$(date +%s)
    build_dir="$project_root/build-sanitize"
    build_project -DQUELLEX_BUILD_TESTS=ON -DQUELLEX_SANITIZE=address,undefined "${ci_options[@]}"
    (cd "$build_dir" && ctest --output-on-failure --parallel 2 -L 'unit|process' "$@") || status=$?
    echo "Sanitizer build and tests: $(($(date +%s) - started)) s"
fi
# The Windows build under Wine; it says so when it is skipped.
windows_status=0
[[ $skip == *" windows "* ]] || bash "$project_root/scripts/windows/test.sh" "$@" || windows_status=$?
[ "$status" != 0 ] && exit "$status"
exit "$windows_status"
