#!/usr/bin/env bash
# Builds ZORVIN-QUELLEX if needed and starts it.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${build_packages[@]}"
build_targets=(quellex)
build_project
exec "$build_dir/quellex" "$@"
