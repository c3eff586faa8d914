#!/usr/bin/env bash
# packaging/make-deb.sh: builds ZORVIN-QUELLEX and its Debian package, build/<package>_<version>_<arch>.deb.
# Install it with:  sudo apt install ./build/zorvin-quellex_*.deb
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"

ensure_packages "${build_packages[@]}" dpkg-dev file
build_project
cd "$build_dir"
cpack -G DEB
