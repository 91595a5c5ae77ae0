# Sourced by the other scripts: installs, from the distribution's packages,
# whatever of the build's needs is missing (Debian/Ubuntu).
#   vorla_install_missing [PACKAGE...]  the build's needs with the Qt of
#                                       VORLA_QT_MAJOR (5 or 6, default 6),
#                                       and the packages named
#   vorla_qt_packages 5|6               what building with that Qt needs
#   vorla_windows_packages              what the Windows build and its tests
#                                       under wine need besides
#   vorla_fuzz_packages                 clang and its libFuzzer, for the fuzz
#                                       targets (scripts/fuzz.sh)
# A package name ending in "?" is installed only where the distribution has it.

vorla_qt_packages() {
    case "$1" in
        5) echo "qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools" ;;
        # Qt 6's CMake package for Gui looks for OpenGL's headers; its xcb
        # platform plugin needs libxcb-cursor0 from Qt 6.5 on. Linguist's
        # tools make the translations.
        6) echo "qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev libxcb-cursor0?
                 qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools" ;;
        *) echo "vorla_qt_packages: Qt major version 5 or 6, not '$1'" >&2; return 1 ;;
    esac
}

vorla_windows_packages() {
    # The cross compiler with POSIX threads (Qt 6 needs std::thread); Ninja,
    # and dpkg-dev for apt-get source, to build Qt; NSIS for the installer and
    # icoutils to read the icon back; wine and a virtual display for the tests;
    # python3 writes the third-party notices.
    echo "g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
          ninja-build dpkg-dev xz-utils nsis icoutils wine wine64 python3"
}

vorla_fuzz_packages() {
    # libFuzzer and the sanitizer runtimes come with libclang-rt-14-dev
    # (Debian 12); Ubuntu 22.04 has them in clang-14's libclang-common-14-dev.
    echo "clang-14 libclang-rt-14-dev?"
}

vorla_install_missing() {
    local qt
    qt="$(vorla_qt_packages "${VORLA_QT_MAJOR:-6}")" || return 1
    local packages="build-essential cmake pkg-config $qt libhidapi-dev libudev-dev fonts-liberation xvfb xauth $*"
    local missing=() optional=()
    for p in $packages; do
        local name="${p%\?}"
        dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed" && continue
        if [ "$name" != "$p" ]; then optional+=("$name"); else missing+=("$name"); fi
    done
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    # The package lists are refreshed only when something required is missing:
    # an optional package they do not know of is taken to be absent.
    [ ${#missing[@]} -gt 0 ] && $sudo apt-get update -qq
    for p in "${optional[@]}"; do
        apt-cache show "$p" >/dev/null 2>&1 && missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
