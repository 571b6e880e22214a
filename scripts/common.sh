# Shared by the set-up scripts: install what is missing, configure, build.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${CADENZOR_BUILD_DIR:-$ROOT/build}"
PACKAGES="build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev \
libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev xvfb xauth dbus dbus-x11 fontconfig fonts-dejavu-core poppler-utils \
desktop-file-utils appstream file clang libclang-rt-14-dev"

install_missing_packages() {
    local missing=()
    for p in $PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
    fi
}

configure_and_build() {
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$BUILD" -j2
}
