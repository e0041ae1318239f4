# Debian packages the build, the tests and the demo need; sourced by the other scripts.
TARROW_PACKAGES="g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libgl-dev libbenchmark-dev systemd"

# Installs whatever of the list is missing: one apt-get update, then apt-get install -y.
tarrow_install_packages() {
    local missing=()
    for p in $TARROW_PACKAGES "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
}

tarrow_build() {
    cmake --preset default
    cmake --build --preset default
}
