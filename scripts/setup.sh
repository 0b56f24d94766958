# Shared by run.sh and test.sh: installs what is missing from Debian's packages, then
# configures and builds. Source it; it defines functions only.

# The last four build and check the Debian package and the desktop metadata.
MORVANE_PACKAGES=(g++ cmake ninja-build libgtest-dev qt6-base-dev libqt6svg6 fonts-ipafont-gothic
                  dpkg-dev desktop-file-utils appstream lintian)

# morvane_install_packages [packages...]: the given packages, else the project's own.
morvane_install_packages() {
    local wanted=("$@")
    [ $# -eq 0 ] && wanted=("${MORVANE_PACKAGES[@]}")
    local missing=()
    local package
    for package in "${wanted[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    echo "Installing from Debian's packages: ${missing[*]}"
    if [ "$(id -u)" -eq 0 ]; then
        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
    elif command -v sudo >/dev/null 2>&1; then
        sudo apt-get update -qq && sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
    else
        echo "Please install the missing packages first, as root:"
        echo "  apt-get install ${missing[*]}"
        exit 1
    fi
}

# morvane_build BUILD_DIR [cmake options...]
morvane_build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir"
}
