# Sourced by the other scripts: installs, from the distribution's packages,
# whatever of the build's needs is missing (Debian/Ubuntu).
vorla_install_missing() {
    local packages="build-essential cmake pkg-config qtbase5-dev qtbase5-dev-tools libhidapi-dev
                    libudev-dev qttools5-dev qttools5-dev-tools qt6-tools-dev qt6-l10n-tools
                    fonts-liberation xvfb xauth
                    umockdev libumockdev-dev gir1.2-umockdev-1.0 util-linux $*"
    local missing=()
    for p in $packages; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
