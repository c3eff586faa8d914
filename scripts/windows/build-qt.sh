#!/usr/bin/env bash
# build-qt.sh [prefix]
# Makes the Qt 6.4.2 for 64-bit Windows that the Windows build uses (Core, Gui, Widgets, Test; the
# qwindows, qminimal and qoffscreen platforms; the qwindowsvistastyle style), cross-built with
# mingw-w64 from Debian's own qt6-base source package, the same version as the host Qt whose tools
# (moc, rcc, uic) it relies on. About 50 minutes on 2 cores. The prefix defaults to
# $QUELLEX_QT_WINDOWS, else ../shared/qt6-mingw beside the project.
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

prefix=$(realpath -m "${1:-$qt_windows}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ensure_packages dpkg-dev qt6-base-dev qt6-base-dev-tools g++-mingw-w64-x86-64-posix \
    gcc-mingw-w64-x86-64-posix mingw-w64-tools ninja-build perl cmake

# The source package, from bookworm's source index.
if ! apt-cache showsrc qt6-base >/dev/null 2>&1 || [ -z "$(apt-cache showsrc qt6-base 2>/dev/null)" ]; then
    echo "deb-src http://deb.debian.org/debian bookworm main" >/etc/apt/sources.list.d/quellex-deb-src.list
    apt-get update -q -o DPkg::Lock::Timeout=900
fi
(cd "$work" && apt-get source -q qt6-base)
src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
[ -n "$src" ] || { echo "build-qt: the qt6-base source did not unpack" >&2; exit 1; }

toolchain="$project_root/scripts/windows/mingw64-toolchain.cmake"
# Source file names embedded in the DLLs (assertion texts) name a neutral folder, not this machine's.
file_map="-ffile-prefix-map=$src=/src/qtw/$(basename "$src")"
cmake -G Ninja -S "$src" -B "$work/build-qt" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS="$file_map" -DCMAKE_CXX_FLAGS="$file_map" \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF -DQT_BUILD_MANUAL_TESTS=OFF \
    -DFEATURE_pkg_config=OFF \
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_xml=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF \
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF \
    -DFEATURE_jpeg=OFF -DFEATURE_direct2d=ON -DFEATURE_direct2d1_1=OFF -DFEATURE_androiddeployqt=OFF \
    -DFEATURE_tabletevent=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF \
    -DFEATURE_system_textmarkdownreader=OFF
# Why the unusual switches: Debian's tarball drops wintab (tabletevent); qwindows does not link
# without Direct2D in 6.4; Debian's cross patch would turn androiddeployqt on.
cmake --build "$work/build-qt" --parallel "$(nproc)"
cmake --install "$work/build-qt"

find "$prefix" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
cp "$toolchain" "$prefix/mingw64-toolchain.cmake"
# The tree must work wherever it is put: its toolchain file falls back to the copy at its top.
qt_toolchain="$prefix/lib/cmake/Qt6/qt.toolchain.cmake"
perl -0pi -e 's{(set\(__qt_initially_configured_toolchain_file "[^"]*"\)\n)}{$1# qtw: fall back to the copy of the toolchain file shipped at the top of this install tree\nif(NOT EXISTS "\${__qt_initially_configured_toolchain_file}")\n    get_filename_component(__qt_initially_configured_toolchain_file\n        "\${CMAKE_CURRENT_LIST_DIR}/../../../mingw64-toolchain.cmake" ABSOLUTE)\nendif()\n}' "$qt_toolchain"
grep -q 'qtw: fall back' "$qt_toolchain" || { echo "build-qt: could not patch $qt_toolchain" >&2; exit 1; }
echo "Qt for Windows is in $prefix"
