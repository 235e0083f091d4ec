# Installs the Debian packages the build needs, only those that are missing.
# Sourced by the other scripts.
tabulon_install_deps() {
    tabulon_install_packages cmake ninja-build g++ libsqlite3-dev qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
        libbenchmark-dev
}

# The benchmarks' own: the sqlite3 shell, whose .backup and VACUUM the benchmarks run beside the program's.
tabulon_install_bench_deps() {
    tabulon_install_packages sqlite3
}

# Installs those of the given Debian packages that are missing.
tabulon_install_packages() {
    local wanted=("$@")
    local missing=()
    local pkg
    for pkg in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
    fi
}

# Configures one build folder: tabulon_configure DIR [cmake options...]. It runs on every
# build, so an option a script changes reaches a folder made earlier; with nothing
# changed it takes a moment.
tabulon_configure() {
    local dir="$1"
    shift
    cmake -S "$TABULON_ROOT" -B "$dir" -G Ninja "$@"
}

# Configures and builds one build folder: tabulon_build DIR [cmake options...]
tabulon_build() {
    tabulon_configure "$@"
    cmake --build "$1"
}
