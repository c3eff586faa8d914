# Shared by the Windows scripts: where the Windows Qt tree is, how to build against it, and a private
# Wine prefix.
set -euo pipefail

project_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
windows_build_dir="$project_root/build-windows"
qt_windows="${QUELLEX_QT_WINDOWS:-$project_root/../shared/qt6-mingw}"
mingw_gcc_dir=/usr/lib/gcc/x86_64-w64-mingw32/12-posix
mingw_lib_dir=/usr/x86_64-w64-mingw32/lib

windows_build_packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 ninja-build qt6-base-dev-tools icoutils)
windows_test_packages=(wine wine64 xvfb xauth openbox x11-utils)

have_qt_windows() {
    [ -f "$qt_windows/lib/cmake/Qt6/qt.toolchain.cmake" ]
}

# Configures (when needed) and builds build-windows/; extra arguments go to the configure step.
build_windows() {
    cmake -G Ninja -S "$project_root" -B "$windows_build_dir" \
        -DCMAKE_TOOLCHAIN_FILE="$qt_windows/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$windows_build_dir" --parallel "$(nproc)"
}

# Puts the DLLs the executables need beside them in folder.
gather_dlls() {
    local folder=$1 dll
    mkdir -p "$folder/platforms" "$folder/styles"
    for dll in Qt6Core Qt6Gui Qt6Widgets; do
        cp -u "$qt_windows/bin/$dll.dll" "$folder/"
    done
    cp -u "$qt_windows/plugins/platforms/qwindows.dll" "$folder/platforms/"
    cp -u "$qt_windows/plugins/styles/qwindowsvistastyle.dll" "$folder/styles/"
    cp -u "$mingw_gcc_dir/libstdc++-6.dll" "$mingw_gcc_dir/libgcc_s_seh-1.dll" "$folder/"
    cp -u "$mingw_lib_dir/libwinpthread-1.dll" "$folder/"
}

# A private Wine prefix that reports Windows 10, made under folder; sets WINEPREFIX and WINEDEBUG.
# Without Mono and Gecko: nothing here needs them, and Wine would offer to download them.
make_wine_prefix() {
    export WINEPREFIX="$1/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$WINEPREFIX"
    wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null 2>&1 </dev/null
}
