# Shared by the scripts: install what the project needs, configure and build.
# shellcheck shell=bash

FELDAN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Installs every package of scripts/debian-packages (or of the list named) that is not installed
# yet. Runs apt-get update only when something is missing, and says nothing when nothing is.
feldan_install_packages() {
    local list=${1:-$FELDAN_ROOT/scripts/debian-packages}
    local wanted missing=()
    wanted=$(grep -vE '^\s*(#|$)' "$list")
    for pkg in $wanted; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures (once) and builds a preset of CMakePresets.json.
feldan_build() {
    local preset=$1
    cd "$FELDAN_ROOT" || return 1
    if [ ! -f "build/$preset/build.ninja" ]; then
        cmake --preset "$preset" >/dev/null || return 1
    fi
    cmake --build "build/$preset" -j "$(nproc)"
}
