#!/bin/sh
# The portable zip carries the licence and the third-party notices beside
# the program, and the notices cover what the static executables hold: Qt
# (with the source package it was built from and its configure options),
# the libraries Qt bundles, hidapi, the MinGW-w64 runtime and GCC's runtime.
#   notices.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1 source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $1"; failures=$((failures + 1)); }

(cd "$build" && cpack -G ZIP -B "$work/cpack" >/dev/null)
mkdir "$work/zip"
(cd "$work/zip" && cmake -E tar xf "$work"/cpack/vorla-setting-*-win64.zip)
top=$(ls -d "$work"/zip/*/)
for file in vorla-setting.exe vorla-setting.com LICENSE.txt THIRD-PARTY-NOTICES.txt; do
    [ -f "$top/$file" ] || fail "not in the zip: $file"
done
tr -d '\r' <"$top/LICENSE.txt" | cmp -s - "$source/LICENSE" || fail "LICENSE.txt is not the project's LICENSE"

notices="$top/THIRD-PARTY-NOTICES.txt"
features=$(grep -v '^#' "$source/scripts/windows/qt-features.txt" | head -n 1)
for name in "Qt 6" "Debian source package qt6-base" "$features" FreeType HarfBuzz libpng PCRE2 zlib \
            hidapi MinGW-w64 winpthreads "GCC Runtime Library Exception" "GNU Lesser General Public License"; do
    grep -qiF -- "$name" "$notices" || fail "the notices do not name $name"
done
[ "$failures" -eq 0 ] && echo "the zip carries LICENSE.txt and THIRD-PARTY-NOTICES.txt covering $(grep -c '^\[[0-9]*\]' "$notices") licence texts"
[ "$failures" -eq 0 ]
