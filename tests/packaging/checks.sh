# Shared by the packaging checks: reporting, a private temp folder, and an install into it.
set -euo pipefail

failures=0
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
finish() {
    if [ "$failures" -eq 0 ]; then
        echo "All checks passed"
        exit 0
    fi
    echo "$failures check(s) failed"
    exit 1
}

: "${QUELLEX_BUILD_DIR:?}" "${QUELLEX_APP_ID:?}" "${QUELLEX_VERSION:?}" "${QUELLEX_PACKAGE_NAME:?}"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Files and links below a folder, one relative path a line, sorted.
tree_list() {
    (cd "$1" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
}

# cmake --install into DESTDIR=$1 with prefix $2.
install_into() {
    if ! DESTDIR="$1" cmake --install "$QUELLEX_BUILD_DIR" --prefix "$2" >"$scratch/install.log" 2>&1; then
        cat "$scratch/install.log"
        fail "cmake --install --prefix $2 with DESTDIR"
        finish
    fi
}

# What the install tree must hold under the prefix, sorted like tree_list.
expected_files() {
    local size
    {
        echo "bin/quellex"
        echo "share/doc/$QUELLEX_PACKAGE_NAME/changelog.gz"
        echo "share/doc/$QUELLEX_PACKAGE_NAME/copyright"
        echo "share/man/man1/quellex.1.gz"
        echo "share/applications/$QUELLEX_APP_ID.desktop"
        echo "share/metainfo/$QUELLEX_APP_ID.metainfo.xml"
        for size in $QUELLEX_ICON_SIZES; do
            echo "share/icons/hicolor/${size}x${size}/apps/$QUELLEX_APP_ID.png"
        done
    } | LC_ALL=C sort
}
