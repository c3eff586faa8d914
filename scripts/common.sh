# Shared by run.sh and test.sh: installs what the build needs and builds into build/.
set -euo pipefail

project_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="$project_root/build"

build_packages=(cmake g++ make pkg-config qt6-base-dev libxcb1-dev fonts-dejavu-core fonts-liberation2)

# Installs the Debian packages given that are not installed yet.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
            sudo=(sudo)
        elif command -v sudo >/dev/null && [ -t 0 ]; then
            sudo=(sudo)
        else
            echo "These Debian packages are needed and not installed: ${missing[*]}" >&2
            echo "Install them as root:  apt-get install ${missing[*]}" >&2
            exit 1
        fi
    fi
    echo "Installing ${missing[*]} ..." >&2
    export DEBIAN_FRONTEND=noninteractive
    if ! "${sudo[@]}" apt-get install -y -q -o DPkg::Lock::Timeout=900 "${missing[@]}" >&2; then
        "${sudo[@]}" apt-get update -q -o DPkg::Lock::Timeout=900 >&2
        "${sudo[@]}" apt-get install -y -q -o DPkg::Lock::Timeout=900 "${missing[@]}" >&2 || {
            echo "Could not install: ${missing[*]}" >&2
            exit 1
        }
    fi
}

# Configures (when needed) and builds; extra arguments go to the configure step. With
# build_targets set (an array), only those targets are built.
build_project() {
    cmake -S "$project_root" -B "$build_dir" "$@" >/dev/null
    local targets=()
    [ -n "${build_targets+x}" ] && targets=(--target "${build_targets[@]}")
    cmake --build "$build_dir" --parallel "$(nproc)" "${targets[@]}"
}
