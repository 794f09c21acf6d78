# Shared set-up for run-game.sh and run-tests.sh: installs the Debian packages
# that are missing (when run as root), then configures and builds.
# Sourced, not run: the caller sets PLUMWICK_ROOT.

plumwick_packages=(
    build-essential cmake pkg-config libsfml-dev libgtest-dev libbenchmark-dev libx11-dev
    xvfb xauth x11-utils xdotool imagemagick clang-format
    dpkg-dev desktop-file-utils appstream
)

plumwick_install_missing() {
    local missing=()
    for package in "${plumwick_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages: ${missing[*]}" >&2
        echo "Install them with: sudo apt-get install ${missing[*]}" >&2
        return 1
    fi
    echo "Installing ${missing[*]}"
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

# plumwick_build BUILD_DIR [CMAKE_OPTION...]
plumwick_build() {
    local dir=$1
    shift
    cmake -S "$PLUMWICK_ROOT" -B "$dir" "$@" >/dev/null &&
        cmake --build "$dir" -j "$(nproc)"
}
