#!/bin/sh
# The command line of the Windows program, typed in a console: the console
# launcher of the simulated wheel's program under wine prints the factory
# settings, exports the same profile as the Linux build (to a path with
# characters outside any code page too), and refuses a broken profile with
# exit status 5.
#   console.sh WINE_RUN LAUNCHER REFERENCE_DIR
set -eu
wine_run=$1 launcher=$2 reference=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A fresh simulated wheel: its factory settings.
export VORLA_SIM_STATE="$work/state.json"
export LANG=C.UTF-8
failures=0
fail() { echo "FAIL: $1"; failures=$((failures + 1)); }

status=0
"$wine_run" "$launcher" --info > "$work/info.txt" 2> "$work/err.txt" || status=$?
[ "$status" -eq 0 ] || fail "--info exited $status: $(cat "$work/err.txt")"
# Text written to a console or pipe on Windows ends its lines with CR LF.
tr -d '\r' < "$work/info.txt" | diff -u "$reference/factory-info.txt" - || fail "--info printed other settings"

for name in profile.json "profil-Žluťoučký-日本語.json"; do
    status=0
    "$wine_run" "$launcher" --export "$work/$name" > "$work/out.txt" 2>&1 || status=$?
    [ "$status" -eq 0 ] || fail "--export $name exited $status: $(cat "$work/out.txt")"
    if [ -f "$work/$name" ]; then
        cmp "$reference/factory-profile.json" "$work/$name" || fail "--export $name wrote another profile"
    else
        fail "--export $name wrote no file under that name: $(ls "$work")"
    fi
done

printf '{"format": 1, "paddle": ' > "$work/broken.json"
status=0
"$wine_run" "$launcher" --apply "$work/broken.json" > "$work/out.txt" 2>&1 || status=$?
[ "$status" -eq 5 ] || fail "--apply of a broken profile exited $status, not 5: $(cat "$work/out.txt")"
[ -s "$work/out.txt" ] || fail "--apply of a broken profile said nothing"

[ "$failures" -eq 0 ] && echo "console launcher: --info, --export and --apply as on Linux"
[ "$failures" -eq 0 ]
