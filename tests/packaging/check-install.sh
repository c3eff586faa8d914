#!/usr/bin/env bash
# Installs the build into private DESTDIRs and checks the tree: the program, the desktop entry, the
# theme icons and the AppStream metainfo, each as the desktop's own tools read them.
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

root="$scratch/root"
install_into "$root" /usr
usr="$root/usr"
desktop="$usr/share/applications/$QUELLEX_APP_ID.desktop"
metainfo="$usr/share/metainfo/$QUELLEX_APP_ID.metainfo.xml"

if diff -u <(expected_files) <(tree_list "$usr") >"$scratch/tree.diff"; then
    pass "install tree holds exactly the program, desktop entry, metainfo and icons"
else
    cat "$scratch/tree.diff"
    fail "install tree differs from the expected file list"
fi
check "bin/quellex is an executable ELF program" \
    bash -c '[ -x "$1" ] && file -b "$1" | grep -q ELF' _ "$usr/bin/quellex"

echo "--- desktop entry"
if desktop-file-validate "$desktop" >"$scratch/desktop.log" 2>&1 && ! grep -q . "$scratch/desktop.log"; then
    pass "desktop-file-validate reports nothing"
else
    cat "$scratch/desktop.log"
    fail "desktop-file-validate"
fi
entry() { sed -n "s/^$1=//p" "$desktop"; }
check "Name is \"$QUELLEX_CAPTION\"" [ "$(entry Name)" = "$QUELLEX_CAPTION" ]
check "Exec starts the installed program" [ "$(entry Exec)" = quellex ]
check "Icon names the theme icon" [ "$(entry Icon)" = "$QUELLEX_APP_ID" ]
check "Categories are System and Monitor" bash -c '[[ ";$1" == *";System;"* && ";$1" == *";Monitor;"* ]]' _ "$(entry Categories)"
check "Keywords include process and terminate" bash -c '[[ ";$1" == *";process;"* && ";$1" == *";terminate;"* ]]' _ "$(entry Keywords)"
check "StartupWMClass is the product name" [ "$(entry StartupWMClass)" = "$QUELLEX_PRODUCT_NAME" ]

echo "--- icons"
for size in $QUELLEX_ICON_SIZES; do
    icon="$usr/share/icons/hicolor/${size}x${size}/apps/$QUELLEX_APP_ID.png"
    check "${size}x${size} icon is a ${size} by ${size} PNG" \
        bash -c 'file -b "$1" | grep -q "^PNG image data, $2 x $2,"' _ "$icon" "$size"
done
# The windows' picture and icon are built into the program; a PNG colour map holds 256 colours at most.
check "the picture is a 57 by 75 PNG" \
    bash -c 'file -b "$1" | grep -q "^PNG image data, 57 x 75,"' _ "$QUELLEX_SOURCE_DIR/forms/artwork/picture.png"
check "the window icon is a 100 by 100 PNG of 256 colours at most" \
    bash -c 'file -b "$1" | grep -q "^PNG image data, 100 x 100, 8-bit colormap,"' _ "$QUELLEX_SOURCE_DIR/forms/artwork/icon.png"

echo "--- metainfo"
if appstreamcli validate --no-net "$metainfo" >"$scratch/appstream.log" 2>&1; then
    pass "appstreamcli validate --no-net"
else
    fail "appstreamcli validate --no-net"
fi
sed 's/^/    /' "$scratch/appstream.log"
check "no errors or warnings from appstreamcli" bash -c '! grep -qE "^(E|W):" "$1"' _ "$scratch/appstream.log"
check "component id is the app id" grep -q "<id>$QUELLEX_APP_ID</id>" "$metainfo"
check "launchable is the installed desktop entry" \
    grep -q "<launchable type=\"desktop-id\">$QUELLEX_APP_ID.desktop</launchable>" "$metainfo"
check "release $QUELLEX_VERSION is listed" grep -q "<release version=\"$QUELLEX_VERSION\"" "$metainfo"
check "summary and description are there" bash -c 'grep -q "<summary>." "$1" && grep -q "<description>" "$1"' _ "$metainfo"
check "every screenshot has a caption" \
    bash -c 'n=$(grep -cE "<screenshot[ >]" "$1") && [ "$n" -ge 1 ] && [ "$n" = "$(grep -c "<caption>." "$1")" ]' _ "$metainfo"
for image in $(sed -n 's|.*<image>.*/\([^/<]*\)</image>.*|\1|p' "$metainfo"); do
    check "screenshot $image is in docs/screenshots" test -s "$QUELLEX_SOURCE_DIR/docs/screenshots/$image"
done

echo "--- one version everywhere"
header="$QUELLEX_BUILD_DIR/generated/quellexversion.h"
check "the program's header carries version $QUELLEX_VERSION" grep -q "QUELLEX_VERSION \"$QUELLEX_VERSION\"" "$header"
check "the program's header carries the product name" grep -q "QUELLEX_PRODUCT_NAME \"$QUELLEX_PRODUCT_NAME\"" "$header"
check "the program's header carries the app id" grep -q "QUELLEX_APP_ID \"$QUELLEX_APP_ID\"" "$header"

echo "--- another prefix"
prefix="/opt/quellex-check-$$"
install_into "$scratch/other" "$prefix"
if diff -u <(expected_files) <(tree_list "$scratch/other$prefix") >"$scratch/other.diff"; then
    pass "install with prefix $prefix lands below DESTDIR"
else
    cat "$scratch/other.diff"
    fail "install with prefix $prefix"
fi
check "nothing was written outside DESTDIR" test ! -e "$prefix"

finish
