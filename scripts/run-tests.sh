#!/usr/bin/env bash
# Builds Vorla Setting and runs the whole test suite twice: as built, and
# under AddressSanitizer + UndefinedBehaviorSanitizer with leak checking.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
source "$top/scripts/deps.sh"
vorla_install_missing binutils-mingw-w64-x86-64 \
    appstream desktop-file-utils dpkg-dev rpm  # windres, validators and packagers the tests run

jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

echo "== plain build"
cmake -S "$top" -B "$top/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build-test" -j "$jobs"
ctest --test-dir "$top/build-test" --output-on-failure -j "$jobs"

echo "== sanitized build"
cmake -S "$top" -B "$top/build-asan" -DCMAKE_BUILD_TYPE=Debug -DVORLA_SANITIZE=ON >/dev/null
cmake --build "$top/build-asan" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$top/build-asan" --output-on-failure -j "$jobs"
