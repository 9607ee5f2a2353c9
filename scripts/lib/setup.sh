# Shared by the scripts: installs what is missing (Debian, as root) and configures a build.

CANSLAVE_PACKAGES=(cmake ninja-build g++ qtbase5-dev qtbase5-dev-tools qttools5-dev-tools fonts-wqy-microhei libqt5svg5 libbenchmark-dev binutils)
CANSLAVE_SANITIZER_PACKAGES=(clang libclang-rt-14-dev)

ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# configure_tree DIR [cmake arguments...]: a Ninja build tree, configured once.
configure_tree() {
    local dir=$1
    shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    fi
}

# configure_build DIR [cmake arguments...]: configures and builds everything.
configure_build() {
    configure_tree "$@"
    cmake --build "$1" -j "$(nproc)"
}
