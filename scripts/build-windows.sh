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
# ${XDG_CACHE_HOME:-~/.cache}/vorla-setting/ (scripts/windows/qt.sh); later
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

# The host's Qt 6 tools serve the cross build (moc, rcc, uic, lrelease); the
# tests' wheel on an emulated hidraw node needs umockdev.
test_packages=""
$run_tests && test_packages="umockdev libumockdev-dev"
VORLA_QT_MAJOR=6 vorla_install_missing $(vorla_windows_packages) $test_packages

vorla_reproducible "$top"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/vorla-setting"
mkdir -p "$cache"
vorla_build_hidapi "$cache"
vorla_build_qt "$cache"
qt="$(vorla_qt_prefix "$cache")"
hidapi="$(vorla_hidapi_prefix "$cache")"
# Qt's toolchain file loads the one Qt was configured with, by its path: where
# that is gone, the project would be configured with the host's compiler.
chained="$(sed -n 's/^set(__qt_initially_configured_toolchain_file "\(.*\)")$/\1/p' \
           "$qt/lib/cmake/Qt6/qt.toolchain.cmake")"
if [ -n "$chained" ] && [ ! -f "$chained" ]; then
    echo "The cached Qt in $qt loads $chained, which is gone; remove $qt to build it anew." >&2
    exit 1
fi

build="$top/build-windows"
tests=OFF
host_test=""
if $run_tests; then
    tests=ON
    # The Windows program's wheel tests run from a host program, which stands
    # the wheel behind an emulated hidraw node (tests/e2e/tst_e2e_windows.cpp):
    # a native build of just that.
    launcher=""
    command -v ccache >/dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
    # A host side that does not build is a failure with the compiler's words,
    # never a Windows suite that quietly leaves out its wheel tests.
    mkdir -p "$build/host"
    if ! { cmake -S "$top" -B "$build/host" -G Ninja -DVORLA_QT_MAJOR=6 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
               -DVORLA_BUILD_BENCH=OFF $launcher \
           && cmake --build "$build/host" -j "$(nproc)" --target tst_e2e_windows; } >"$build/host/build.log" 2>&1; then
        cat "$build/host/build.log" >&2
        echo "== the host's tst_e2e_windows (the Windows program's wheel tests) did not build: see above" >&2
        exit 1
    fi
    host_test="$build/host/tests/e2e/tst_e2e_windows"
fi
# CMake keeps the toolchain a build directory was first configured with: one
# configured with another cross-built Qt (an older cache) starts afresh.
if [ -f "$build/CMakeCache.txt" ] && [ "$(cat "$build/.vorla-qt" 2>/dev/null)" != "$qt" ]; then
    rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
fi
mkdir -p "$build"
echo "$qt" >"$build/.vorla-qt"
"$qt/bin/qt-cmake" -S "$top" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS="$(vorla_cache_flags "$cache")" -DCMAKE_CXX_FLAGS="$(vorla_cache_flags "$cache")" \
    -Dhidapi_DIR="$hidapi/lib/cmake/hidapi" \
    -DVORLA_QT_SOURCE_DIR="$cache/src/qt6-base-$(vorla_qt_version)" -DVORLA_QT_SOURCE_PACKAGE="qt6-base $(vorla_qt_version)" \
    -DVORLA_HIDAPI_SOURCE_DIR="$cache/src/hidapi-$(vorla_hidapi_version)" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$top/tests/windows/wine-run.sh" \
    -DVORLA_BUILD_TESTS=$tests -DVORLA_BUILD_BENCH=OFF -DVORLA_DEPRECATION_ERRORS=ON \
    -DVORLA_E2E_WINDOWS_HOST="$host_test" >/dev/null
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
    echo "== windows build: $ran tests under wine; $left left out (label linux: udev, the Linux program on the hidraw bed, .deb/.rpm, desktop files)"
    ctest --test-dir "$build" --output-on-failure -j "$(nproc)" -LE linux "$@"
fi
