#!/usr/bin/env bash
# Builds Vorla Setting and runs the whole test suite in each build below: with
# Qt 6, with Qt 5.15, and with Qt 6 under AddressSanitizer +
# UndefinedBehaviorSanitizer with leak checking. Use of deprecated API fails
# every one of them.
# The Windows x64 build runs its suite under wine (scripts/build-windows.sh
# --test) whenever its cross-built Qt is in the cache. Under CI=true it always
# runs, building that Qt first where it is missing; elsewhere, with no Qt in
# the cache, it is left out with one line (VORLA_BUILDS=windows builds it).
# Every build replays the fuzz targets' corpora; a short fuzzing run follows
# (scripts/fuzz.sh 20: 20 seconds per target) where clang is installed, which
# this script sees to (under CI=true, clang missing is a failure).
#   scripts/run-tests.sh                        every build, every test
#   VORLA_BUILDS="qt5 asan" scripts/run-tests.sh  only those builds
#   VORLA_BUILDS=windows scripts/run-tests.sh   the Windows build under wine
#   VORLA_BUILDS=fuzz scripts/run-tests.sh      the fuzzing run only
#   scripts/run-tests.sh -R tst_frame           arguments after the script go to ctest
# Last, scripts/check-reproducible.sh builds the packages twice and compares
# them (the Windows artifacts too where the Windows build runs); the builds
# named "reproducible" and "reproducible-windows" in VORLA_BUILDS.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
source "$top/scripts/deps.sh"

# What the tests need beyond the two Qt builds.
test_packages=(
    binutils-mingw-w64-x86-64                          # windres, to check the Windows resources
    appstream desktop-file-utils dpkg-dev rpm          # validators and packagers
    reuse lintian diffoscope-minimal                   # licence annotations, the .deb, reproducibility
    umockdev libumockdev-dev gir1.2-umockdev-1.0 util-linux  # the emulated hidraw wheel, setpriv
    dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0     # the window through the accessibility bus
)
VORLA_QT_MAJOR=6 vorla_install_missing $(vorla_qt_packages 5) "${test_packages[@]}" $(vorla_fuzz_packages)

# Each build: its directory is build-<name>, its CMake arguments follow.
declare -A build_options=(
    [qt6]="-DVORLA_QT_MAJOR=6 -DCMAKE_BUILD_TYPE=RelWithDebInfo"
    [qt5]="-DVORLA_QT_MAJOR=5 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLA_BUILD_BENCH=OFF"
    [asan]="-DVORLA_QT_MAJOR=6 -DCMAKE_BUILD_TYPE=Debug -DVORLA_SANITIZE=ON -DVORLA_BUILD_BENCH=OFF"
)
builds="${VORLA_BUILDS:-qt6 qt5 asan reproducible}"
if [ -z "${VORLA_BUILDS:-}" ]; then
    source "$top/scripts/windows/sources.sh"
    source "$top/scripts/windows/qt.sh"
    qt_cache="${XDG_CACHE_HOME:-$HOME/.cache}/vorla-setting"
    if [ -f "$(vorla_qt_prefix "$qt_cache")/.complete" ] || [ "${CI:-}" = true ]; then
        builds="$builds windows reproducible-windows"
    else
        echo "== windows build left out: no cross-built Qt in $qt_cache yet (VORLA_BUILDS=windows builds it first)"
    fi
    if command -v clang++-14 >/dev/null; then
        builds="$builds fuzz"
    elif [ "${CI:-}" = true ]; then
        echo "clang++-14 is missing although it was installed above: the fuzzing run cannot run" >&2
        exit 1
    fi
fi

jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen
# Read by the sanitized build only; the leak suppressions come with each test.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

for name in $builds; do
    if [ "$name" = windows ]; then
        echo "== windows build ($top/build-windows, under wine)"
        bash "$top/scripts/build-windows.sh" --test "$@"
        continue
    fi
    if [ "$name" = fuzz ]; then
        echo "== fuzzing run ($top/build-fuzz, 20 s per target)"
        bash "$top/scripts/fuzz.sh" 20
        continue
    fi
    if [ "$name" = reproducible ] || [ "$name" = reproducible-windows ]; then
        echo "== $name: the same commit built twice gives the same bytes"
        bash "$top/scripts/check-reproducible.sh" "$([ $name = reproducible ] && echo linux || echo windows)"
        continue
    fi
    [ -n "${build_options[$name]:-}" ] || { echo "No build named '$name' (known: ${!build_options[*]} windows fuzz reproducible reproducible-windows)" >&2; exit 2; }
    dir="$top/build-$name"
    echo "== $name build ($dir)"
    # shellcheck disable=SC2086  # the options are words
    cmake -S "$top" -B "$dir" ${build_options[$name]} -DVORLA_DEPRECATION_ERRORS=ON >/dev/null
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" "$@"
done
