# Debian packages the build, the tests and the game need; sourced by run.sh and test.sh.
# `ensure_packages` installs the ones that are missing (as root, or through sudo).

VORLAX_PACKAGES=(
    g++ cmake ninja-build ccache pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    libsdl2-dev libpng-dev libxxhash-dev libfreetype-dev fonts-dejavu-core libcurl4-openssl-dev
    libvorbisidec-dev libfluidsynth-dev timgm6mb-soundfont libopencore-amrnb-dev libvorbis-dev liblzma-dev
    xvfb xauth libx11-dev libxtst-dev strace lld
)

missing_packages() {
    local package
    for package in "${VORLAX_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            echo "$package"
        fi
    done
}

ensure_packages() {
    local missing
    missing=$(missing_packages)
    [ -z "$missing" ] && return 0
    echo "Installing missing packages:" $missing
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo="sudo"
        else
            echo "error: these Debian packages are missing and I am not root: $missing" >&2
            return 1
        fi
    fi
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    # shellcheck disable=SC2086
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
}
