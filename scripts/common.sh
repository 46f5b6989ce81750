# Shared by the scripts: install what is missing, then build.
# Sourced, not run.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${BUILD:-$ROOT/build}"
JOBS="${JOBS:-$(nproc)}"

PACKAGES=(
    build-essential cmake pkg-config
    qt6-base-dev libgl-dev
    qt6-translations-l10n
    libsdl2-dev libsndfile1-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-wqy-zenhei
    clang-14 libclang-rt-14-dev
    xvfb xauth xdotool
    locales
)

# The Windows edition: cross-built with MinGW-w64 and tested under Wine.
WINDOWS_PACKAGES=(
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
    wine wine64
    zip
)

# Redrawing the Windows icon (scripts/windows-icon); the drawn .ico is committed.
ICON_PACKAGES=(imagemagick)

# ensure_packages [MORE_PACKAGES...]: installs what is missing of PACKAGES and
# of the packages given (scripts/windows gives WINDOWS_PACKAGES).
ensure_packages() {
    local missing=()
    for p in "${PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages. Install them with:" >&2
        echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build DIR [cmake options...]; TARGET=name builds that target alone.
build_into() {
    local dir="$1"; shift
    cmake -S "$ROOT" -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j "$JOBS" ${TARGET:+--target "$TARGET"}
}
