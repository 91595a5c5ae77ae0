#!/bin/sh
# Runs a Windows program under wine against the wheel a test bed stands behind
# an emulated hidraw node (tests/e2e/WheelBed.h; the caller runs under
# umockdev's preload with UMOCKDEV_DIR set, and wine passes both down to its
# device service). What it takes, in a wine prefix of its own:
# - the test-only cfgmgr32.dll beside the program (tests/windows/cfgmgr32),
#   chosen over wine's own, which hidapi's Windows backend cannot start with;
# - winebus's SDL bus off, so that it lists hidraw nodes;
# - a wineserver started afresh, so that its device service sees this bed's
#   node; WAITER (run first) returns once the wheel is listed, as wine adds it
#   a moment after it starts.
#   wheel-run.sh WAITER PROGRAM [ARGUMENTS...]
#   wheel-run.sh --kill     ends every wine process of a run that hangs
set -eu
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/vorla-setting/wine-prefix}-wheel"
export WINEDEBUG=-all
if [ "$1" = --kill ]; then
    exec wineserver -k
fi
waiter=$1
shift
export WINEDLLOVERRIDES="cfgmgr32=n,b;mscoree,mshtml="
"$here/wine-run.sh" --prepare
if [ ! -f "$WINEPREFIX/.vorla-wheel" ]; then
    "$here/wine-run.sh" reg add 'HKLM\System\CurrentControlSet\Services\winebus' \
        /v "Enable SDL" /t REG_DWORD /d 0 /f >/dev/null
    touch "$WINEPREFIX/.vorla-wheel"
fi
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
status=0
waited=0
"$here/wine-run.sh" "$waiter" --wait-wheel || waited=$?
if [ "$waited" -eq 0 ]; then
    "$here/wine-run.sh" "$@" || status=$?
elif [ "$waited" -eq 1 ]; then
    echo "wheel-run.sh: wine never listed the wheel" >&2
    status=125
else
    # Not the wheel: wine could not start the waiter (its words are above).
    echo "wheel-run.sh: the waiter ended with status $waited before it looked for the wheel" >&2
    status=125
fi
wineserver -k 2>/dev/null || true
exit $status
