#!/usr/bin/env bash
# Builds the installable packages of Vorla Setting from a release build:
# vorla-setting_<version>_<arch>.deb, and the .rpm as well where rpmbuild is
# installed. They land in the current directory (or OUT_DIR); install the DEB with
#     sudo apt install ./vorla-setting_*.deb
#   scripts/package.sh [OUT_DIR]
# The packages are reproducible: the same commit gives the same bytes
# (scripts/reproducible.sh). VORLA_PACKAGE_BUILD names the build directory.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
source "$top/scripts/deps.sh"
source "$top/scripts/reproducible.sh"
vorla_install_missing dpkg-dev  # dpkg-shlibdeps: the package's Depends
vorla_reproducible "$top"

build="${VORLA_PACKAGE_BUILD:-$top/build-package}"
out="$(cd "${1:-.}" && pwd)"
# The udev rule goes where udev reads the packaged rules: /usr/lib/udev/rules.d.
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVORLA_BUILD_TESTS=OFF -DVORLA_BUILD_BENCH=OFF \
      -DVORLA_UDEV_RULES_DIR=lib/udev/rules.d >/dev/null
cmake --build "$build" -j "$(nproc)"

generators=DEB
if command -v rpmbuild >/dev/null 2>&1; then
    generators="DEB;RPM"
elif [ "${CI:-}" = true ]; then
    # CI installs rpm (scripts/run-tests.sh): an .rpm left out there would go unchecked.
    echo "rpmbuild is not installed (Debian package rpm), and CI=true" >&2
    exit 1
fi
rm -f "$build"/vorla-setting[_-]*.deb "$build"/vorla-setting-*.rpm
(cd "$build" && cpack -G "$generators")
for package in "$build"/vorla-setting[_-]*.deb "$build"/vorla-setting-*.rpm; do
    [ -e "$package" ] || continue
    cp "$package" "$out/"
    echo "Made $out/$(basename "$package")"
done
