#!/bin/sh
# The third-party notices of the Windows program cover whatever the link
# took: given a linker map that holds something neither noticed nor listed as
# the program's own or Windows' import libraries, the notices script must
# fail and name it. One map per row, each with one such input among known ones.
#   notices-unknown.sh PYTHON SCRIPT
set -eu
python=$1 script=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
gcc=/usr/lib/gcc/x86_64-w64-mingw32/12-posix
mingw=$gcc/../../../../x86_64-w64-mingw32/lib
known="LOAD $mingw/crt2.o
LOAD CMakeFiles/vorla-setting.dir/app/main.cpp.obj
$gcc/libstdc++.a(string-inst.o)
$mingw/libkernel32.a(dmbls00123.o)
libvorla_core.a(MainWindow.cpp.obj)"

# row NAME WHAT-THE-MESSAGE-NAMES LINE
row() {
    printf '%s\n%s\n' "$known" "$3" >"$work/map"
    if "$python" "$script" --output "$work/notices" --map "$work/map" --qt-prefix /qt --qt-source "$work/none" \
        --qt-package "qt6-base 0" --qt-options /dev/null --hidapi-prefix /hidapi --hidapi-source "$work/none" \
        --title notices >"$work/log" 2>&1; then
        echo "FAIL: $1: the notices were written"; failures=$((failures + 1))
    elif ! grep -qF -- "$2" "$work/log"; then
        echo "FAIL: $1: the refusal does not name $2:"; cat "$work/log"; failures=$((failures + 1))
    else
        echo "refused, naming $2: $1"
    fi
}
row "an archive of GCC's the notices do not know" "$gcc/libquadmath.a" "$gcc/libquadmath.a(quadmath.o)"
row "an archive taken whole, seen only in the memory map" "/opt/vendor/libblob.a" \
    " .text          0x0000000140001000       0x40 /opt/vendor/libblob.a(blob.o)"
row "an object file linked directly" "/opt/vendor/blob.o" "LOAD /opt/vendor/blob.o"
row "an import library's name outside the system's folder" "libkernel32.a" "libkernel32.a(fake.o)"
[ "$failures" -eq 0 ]
