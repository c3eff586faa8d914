#!/usr/bin/env bash
# Cross-builds QUELLEX.exe and its tests for 64-bit Windows into build-windows/, puts the DLLs they
# need beside them, and makes build-windows/zorvin-quellex-<version>-win64.zip: the program with its
# runtime, ready to unpack anywhere. Needs the Windows Qt tree ($QUELLEX_QT_WINDOWS, by default
# ../shared/qt6-mingw; scripts/windows/build-qt.sh makes one).
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

if ! have_qt_windows; then
    echo "No Qt for Windows at $qt_windows: set QUELLEX_QT_WINDOWS, or make one with scripts/windows/build-qt.sh" >&2
    exit 1
fi
ensure_packages "${windows_build_packages[@]}"
build_windows -DQUELLEX_BUILD_TESTS=ON
gather_dlls "$windows_build_dir"
# The tests also need QTest and Qt's offscreen platform.
cp -u "$qt_windows/bin/Qt6Test.dll" "$windows_build_dir/"
cp -u "$qt_windows/plugins/platforms/qoffscreen.dll" "$windows_build_dir/platforms/"

version=$(sed -n 's/^#define QUELLEX_VERSION "\(.*\)"$/\1/p' "$windows_build_dir/generated/quellexversion.h")
package=$(sed -n 's/^set(QUELLEX_PACKAGE_NAME "\(.*\)")$/\1/p' "$project_root/CMakeLists.txt")
name="$package-$version-win64"
stage="$windows_build_dir/zip/$name"
rm -rf "$windows_build_dir/zip" && mkdir -p "$stage"
gather_dlls "$stage"
x86_64-w64-mingw32-strip -o "$stage/QUELLEX.exe" "$windows_build_dir/QUELLEX.exe"
# Debian's mingw runtime DLLs carry their debugging symbols.
x86_64-w64-mingw32-strip --strip-unneeded "$stage"/lib*.dll
rm -f "$windows_build_dir/$name.zip"
(cd "$windows_build_dir/zip" && cmake -E tar cf "../$name.zip" --format=zip "$name")
echo "$windows_build_dir/$name.zip"
