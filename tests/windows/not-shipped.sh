#!/bin/sh
# The test-only cfgmgr32.dll stays in the build: it is in neither the program's
# folder (dist/) nor the portable zip; the installer's folder is checked by
# installer.sh.
#   not-shipped.sh DIST TEST_DLL
set -eu
dist=$1 dll=$2
[ -f "$dll" ] || { echo "FAIL: no test DLL at $dll to look for"; exit 1; }
name=$(basename "$dll")
failures=0
[ -z "$(find "$dist" -iname "$name")" ] || { echo "FAIL: $name in $dist"; failures=1; }
zips=$(ls "$dist"/*.zip)
for zip in $zips; do
    if cmake -E tar tf "$zip" | grep -qi "$name"; then
        echo "FAIL: $name in $zip"
        failures=1
    fi
done
[ "$failures" -eq 0 ] && echo "$name is in neither $dist nor $(basename "$zips")"
[ "$failures" -eq 0 ]
