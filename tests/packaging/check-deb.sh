#!/usr/bin/env bash
# Builds the Debian package from the build tree into a private folder and checks its control fields,
# its computed dependencies and that it holds exactly what cmake --install installs.
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

out="$scratch/package"
if ! cpack --config "$QUELLEX_BUILD_DIR/CPackConfig.cmake" -G DEB -B "$out" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log"
    fail "cpack -G DEB"
    finish
fi
mapfile -t debs < <(find "$out" -maxdepth 1 -name '*.deb')
if [ "${#debs[@]}" -ne 1 ]; then
    cat "$scratch/cpack.log"
    fail "cpack made exactly one package (found ${#debs[@]})"
    finish
fi
deb=${debs[0]}
arch=$(dpkg --print-architecture)
check "package file is ${QUELLEX_PACKAGE_NAME}_${QUELLEX_VERSION}_$arch.deb" \
    [ "$(basename "$deb")" = "${QUELLEX_PACKAGE_NAME}_${QUELLEX_VERSION}_$arch.deb" ]

echo "--- control fields"
dpkg-deb --info "$deb" | sed 's/^/    /'
field() { dpkg-deb --field "$deb" "$1"; }
check "Package is $QUELLEX_PACKAGE_NAME" [ "$(field Package)" = "$QUELLEX_PACKAGE_NAME" ]
check "Version is $QUELLEX_VERSION" [ "$(field Version)" = "$QUELLEX_VERSION" ]
check "Architecture is $arch" [ "$(field Architecture)" = "$arch" ]
check "Maintainer, Section and Description are set" \
    bash -c '[ -n "$(dpkg-deb --field "$1" Maintainer)" ] && [ -n "$(dpkg-deb --field "$1" Section)" ] &&
             [ "$(dpkg-deb --field "$1" Description | wc -l)" -ge 2 ]' _ "$deb"
depends=$(field Depends)
# Debian 13 renamed Qt's core library for its 64-bit time_t (libqt6core6t64); either name will do.
for libs in libc6 libstdc++6 'libqt6core6|libqt6core6t64' libqt6gui6 libqt6widgets6; do
    check "Depends lists ${libs//|/ or }" bash -c 'IFS="|"; for lib in $2; do
        [[ ", $1," == *", $lib "* || ", $1," == *", $lib,"* ]] && exit 0; done; exit 1' _ "$depends" "$libs"
done

echo "--- contents"
dpkg-deb --extract "$deb" "$scratch/unpacked"
install_into "$scratch/installed" /usr
if diff -u <(tree_list "$scratch/installed") <(tree_list "$scratch/unpacked") >"$scratch/contents.diff"; then
    pass "package file list matches the install tree"
else
    cat "$scratch/contents.diff"
    fail "package file list differs from the install tree"
fi
check "package holds the expected files under /usr" \
    diff <(expected_files | sed 's|^|usr/|') <(tree_list "$scratch/unpacked")
dpkg-deb --contents "$deb" >"$scratch/contents.txt"
check "every file belongs to root" bash -c '! grep -v " root/root " "$1"' _ "$scratch/contents.txt"
check "the program is 0755 and stripped" \
    bash -c 'grep -q "^-rwxr-xr-x .* \./usr/bin/quellex$" "$1" &&
             file -b "$2/usr/bin/quellex" | grep -q ", stripped"' _ "$scratch/contents.txt" "$scratch/unpacked"
check "data files are 0644" \
    bash -c '! grep "^-.* \./usr/share/" "$1" | grep -v "^-rw-r--r-- "' _ "$scratch/contents.txt"

echo "--- lintian"
lintian --info "$deb" >"$scratch/lintian.log" 2>&1 || true
sed 's/^/    /' "$scratch/lintian.log"
check "lintian reports no errors or warnings" bash -c '! grep -qE "^(E|W): " "$1"' _ "$scratch/lintian.log"

echo "--- install and remove with dpkg, in a private root"
# A dpkg database of its own: the machine's packages are never touched. The Qt libraries are not in
# it, hence --force-depends.
droot="$scratch/dpkg-root"
mkdir -p "$droot/var/lib/dpkg/info" "$droot/var/lib/dpkg/updates" "$droot/var/lib/dpkg/triggers"
touch "$droot/var/lib/dpkg/status"
dpkg_private=(dpkg --root="$droot" --log=/dev/null --force-depends)
[ "$(id -u)" -eq 0 ] || dpkg_private+=(--force-not-root)
if "${dpkg_private[@]}" --install "$deb" >"$scratch/dpkg.log" 2>&1; then
    pass "dpkg --install"
    check "installed files are the install tree" diff "$scratch/unpacked/usr" "$droot/usr" -r -q
    if "${dpkg_private[@]}" --purge "$QUELLEX_PACKAGE_NAME" >>"$scratch/dpkg.log" 2>&1; then
        pass "dpkg --purge"
    else
        cat "$scratch/dpkg.log"
        fail "dpkg --purge"
    fi
    leftovers=$(cd "$droot" && find . -mindepth 1 -path ./var -prune -o -print)
    check "nothing is left after removal" [ -z "$leftovers" ]
    [ -z "$leftovers" ] || echo "$leftovers"
else
    cat "$scratch/dpkg.log"
    fail "dpkg --install"
fi

finish
