#!/bin/sh
# The Windows executables as Windows sees them: 64-bit PE32+ for x86-64, the
# programs GUI-subsystem and their launchers console-subsystem, importing only
# DLLs that come with Windows (those the wine prefix's system32 holds), and
# the programs carrying the icon group IDI_ICON1 with its one 48 x 48 32-bit
# image.
#   check-pe.sh WINE_RUN EXECUTABLE...
set -eu
wine_run=$1
shift
"$wine_run" --prepare
system32="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/vorla-setting/wine-prefix}/drive_c/windows/system32"
failures=0
fail() { echo "FAIL: $1"; failures=$((failures + 1)); }

for exe in "$@"; do
    name=$(basename "$exe")
    headers=$(x86_64-w64-mingw32-objdump -p "$exe")
    echo "$headers" | grep -q '^Magic[[:space:]]*020b' || fail "$name is not PE32+"
    echo "$headers" | grep -q 'file format pei-x86-64' || fail "$name is not for x86-64"
    case "$name" in
        *.com) subsystem='00000003' ;;  # console
        *) subsystem='00000002' ;;      # Windows GUI
    esac
    echo "$headers" | grep -q "^Subsystem[[:space:]]*$subsystem" || fail "$name: subsystem is not $subsystem"
    for dll in $(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
        lower=$(echo "$dll" | tr 'A-Z' 'a-z')
        case "$lower" in
            # API sets: names that Windows' loader maps to its own DLLs (wine
            # keeps them inside its own).
            api-ms-win-*) continue ;;
        esac
        [ -e "$system32/$lower" ] || fail "$name imports $dll, which Windows does not bring"
    done
    case "$name" in
        *.exe)
            icon=$(mktemp)
            if wrestool -x --type=14 --name=IDI_ICON1 "$exe" > "$icon" 2>/dev/null && [ -s "$icon" ]; then
                images=$(icotool -l "$icon")
                [ "$(echo "$images" | wc -l)" -eq 1 ] || fail "$name: IDI_ICON1 holds more than one image"
                echo "$images" | grep -q -- '--width=48 --height=48 --bit-depth=32' \
                    || fail "$name: IDI_ICON1 is not one 48 x 48 32-bit image: $images"
            else
                fail "$name has no icon group IDI_ICON1"
            fi
            rm -f "$icon"
            ;;
    esac
    echo "checked $name"
done
[ "$failures" -eq 0 ]
