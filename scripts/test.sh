#!/usr/bin/env bash
# Builds ZORVIN-QUELLEX with its tests and benchmark, and runs every test.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

test_packages=(xvfb xauth openbox x11-utils libbenchmark-dev libproc2-dev
    desktop-file-utils appstream dpkg-dev file
    mutter kwin-x11 kwin-style-breeze weston dbus xwayland qt6-wayland wmctrl xdotool)
ensure_packages "${build_packages[@]}" "${test_packages[@]}"
build_project -DQUELLEX_BUILD_TESTS=ON -DQUELLEX_BUILD_BENCH=ON
cd "$build_dir"
exec ctest --output-on-failure --parallel 2 "$@"
