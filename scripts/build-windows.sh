#!/usr/bin/env bash
# Builds the Windows x64 program on Debian/Ubuntu, from the distribution's
# packages and source packages only:
#   scripts/build-windows.sh          the program, into build-windows/dist/:
#       vorla-setting.exe, vorla-setting-sim.exe (and their .com console
#       launchers), vorla-setting-<version>-win64.zip (portable) and
#       vorla-setting-<version>-win64-setup.exe (per-user installer)
#   scripts/build-windows.sh --test   the same, then the test suite under wine;
#                                     arguments after --test go to ctest
# The first run cross-builds a static Qt and hidapi's Windows backend into
# ${XDG_CACHE_HOME:-~/.cache}/vorla-setting/ (about 15 minutes on 2 cores); later
# runs take them from there.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
source "$top/scripts/deps.sh"
source "$top/scripts/windows/sources.sh"
source "$top/scripts/windows/qt.sh"
source "$top/scripts/reproducible.sh"

run_tests=false
if [ "${1:-}" = "--test" ]; then
    run_tests=true
    shift
fi

# The host's Qt 6 tools serve the cross build (moc, rcc, uic, lrelease).
VORLA_QT_MAJOR=6 vorla_install_missing $(vorla_windows_packages)

vorla_reproducible "$top"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/vorla-setting"
mkdir -p "$cache"
vorla_build_hidapi "$cache"
vorla_build_qt "$cache"
qt="$(vorla_qt_prefix "$cache")"
hidapi="$(vorla_hidapi_prefix "$cache")"

build="$top/build-windows"
tests=OFF
$run_tests && tests=ON
"$qt/bin/qt-cmake" -S "$top" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release \
    -Dhidapi_DIR="$hidapi/lib/cmake/hidapi" \
    -DVORLA_QT_SOURCE_DIR="$cache/src/qt6-base-$(vorla_qt_version)" -DVORLA_QT_SOURCE_PACKAGE="qt6-base $(vorla_qt_version)" \
    -DVORLA_HIDAPI_SOURCE_DIR="$cache/src/hidapi-$(vorla_hidapi_version)" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$top/tests/windows/wine-run.sh" \
    -DVORLA_BUILD_TESTS=$tests -DVORLA_BUILD_BENCH=OFF -DVORLA_DEPRECATION_ERRORS=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

dist="$build/dist"
rm -rf "$dist" && mkdir -p "$dist"
for program in vorla-setting vorla-setting-sim; do
    for suffix in exe com; do
        x86_64-w64-mingw32-strip -o "$dist/$program.$suffix" "$build/$program.$suffix"
    done
done
rm -rf "$build/cpack"
(cd "$build" && cpack -B "$build/cpack" >/dev/null)
cp "$build"/cpack/vorla-setting-*-win64.zip "$build"/cpack/vorla-setting-*-win64-setup.exe \
   "$build"/packaging/LICENSE.txt "$build"/packaging/THIRD-PARTY-NOTICES.txt "$dist/"
echo "Windows program in $dist:"
ls -1 "$dist"

if $run_tests; then
    # A private wine prefix, made once per build directory.
    export WINEPREFIX="$build/wine-prefix"
    "$top/tests/windows/wine-run.sh" --prepare
    ran="$(ctest --test-dir "$build" -N -LE linux | sed -n 's/^Total Tests: //p')"
    left="$(ctest --test-dir "$build" -N -L linux | sed -n 's/^Total Tests: //p')"
    echo "== windows build: $ran tests under wine; $left left out (label linux: udev, the hidraw bed, .deb/.rpm, desktop files)"
    ctest --test-dir "$build" --output-on-failure -j "$(nproc)" -LE linux "$@"
fi
