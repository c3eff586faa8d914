#!/usr/bin/env bash
# scripts/debian13.sh [package.deb]
# The project on Debian 13 (trixie), as a new user there meets it: a fresh minimal root made with
# mmdebstrap from the archive this machine's apt uses, entered in private mount and PID namespaces.
# In it the package given (the one built here on Debian 12, say) is installed with apt and must show
# its window under Xvfb, then removed; then a clean clone of this repository's HEAD (commit first)
# runs scripts/test.sh for the unit, process, x11 and packaging tests with warnings as errors, installing
# what it needs itself. The root is made for each run and deleted after it. Needs root; prints the
# time of each step.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

[ "$(id -u)" -eq 0 ] || { echo "debian13.sh: needs root (mmdebstrap, unshare, chroot)" >&2; exit 1; }
deb=${1:+$(realpath -m "$1")}
[ -z "$deb" ] || [ -f "$deb" ] || { echo "debian13.sh: no package at $1" >&2; exit 1; }
ensure_packages mmdebstrap git

codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Identifier: Packages' "Codename: $codename" | head -n 1)
[ -n "$mirror" ] || { echo "debian13.sh: no archive for $codename in apt's sources" >&2; exit 1; }

root=$(mktemp -d "${TMPDIR:-/tmp}/quellex-debian13.XXXXXX")
remove_root() {
    # The mounts below live in the namespace, which ends with its last process; never delete
    # through one that is still there.
    if findmnt -rn -o TARGET | grep -q "^$root"; then
        echo "debian13.sh: $root still has mounts; left in place" >&2
    else
        rm -rf --one-file-system "$root"
    fi
}
trap remove_root EXIT

timed() {
    local what=$1 started status=0
    shift
    started=$(date +%s)
    "$@" || status=$?
    echo "Debian 13, $what: $(($(date +%s) - started)) s"
    return "$status"
}

# Runs a command as root in the Debian 13 root: its own /proc for a PID namespace of its own, the
# machine's /dev and /sys, a /tmp of its own, and a clean environment.
in_root() {
    unshare --mount --pid --fork -- bash -euc '
        root=$1
        shift
        # A mount point of its own, so that unshare --mount-proc works inside.
        mount --bind "$root" "$root"
        mount -t proc proc "$root/proc"
        mount --rbind /dev "$root/dev"
        mount --rbind /sys "$root/sys"
        mount -t tmpfs tmpfs "$root/tmp"
        exec chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"
    ' in_root "$root" "$@"
}

make_root() {
    rmdir "$root"
    mmdebstrap --quiet --variant=minbase trixie "$root" "$mirror" || return 1
    [ -s "$root/etc/resolv.conf" ] || cp /etc/resolv.conf "$root/etc/resolv.conf"
    # As in any chroot: no services started by package scripts.
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
    chmod 755 "$root/usr/sbin/policy-rc.d"
    git clone --quiet --no-hardlinks "$project_root" "$root/src"
    echo "Debian 13 root from $mirror, with $(git -C "$root/src" log -1 --format='%h %s' | cut -c1-72)"
}

check_package() {
    cp "$deb" "$root/root/"
    cat >"$root/root/check-package.sh" <<'EOF'
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update -q >/dev/null
apt-get install -y -q -o DPkg::Lock::Timeout=900 "$1" xvfb xauth xdotool >/root/install.log 2>&1 ||
    { cat /root/install.log; exit 1; }
dpkg-query -W -f='Installed ${Package} ${Version}, Depends: ${Depends}\n' zorvin-quellex
dpkg-query -W -f='${db:Status-Abbrev} ${Package} ${Version}\n' 'libqt6core6*' | sed -n 's/^ii  */Qt core there: /p'
export XDG_CONFIG_HOME=/tmp/config
/src/tests/run-in-xvfb.sh -- bash -c '
    quellex & program=$!
    status=0
    timeout 60 xdotool search --sync --onlyvisible --name "^ZORVIN - QUELLEX\$" >/dev/null || status=$?
    kill $program && wait $program || true
    exit $status'
echo "The installed program showed its window"
apt-get purge -y -q --autoremove zorvin-quellex xvfb xauth xdotool >/dev/null
EOF
    in_root bash /root/check-package.sh "/root/$(basename "$deb")"
}

# Then, for the record, the Depends of a package built there and the description changes told for one
# change of state.
run_tests() {
    in_root bash -c 'cd /src && CI=true QUELLEX_TEST_SKIP="sanitizer windows desktop" \
        scripts/test.sh -L "unit|process|x11|packaging" || exit
        cd build && cpack -G DEB >/dev/null 2>&1 && echo "Package built on Debian 13, Depends: $(dpkg-deb --field zorvin-quellex_*.deb Depends)"
        ctest -R announcements -V | grep -o "events per flip.*"'
}

timed "root made with mmdebstrap" make_root
status=0
if [ -n "$deb" ]; then
    timed "package $(basename "$deb") installed and started" check_package || status=$?
else
    echo "Debian 13, package check SKIPPED: no package given"
fi
timed "scripts/test.sh" run_tests || status=$?
exit "$status"
