#!/bin/sh
# The real program under wine, where hidapi's Windows backend cannot start
# (wine's cfgmgr32 lacks what it needs): it must behave as with no wheel,
# show its "Error" box and end with status 0 once the box is answered. The
# windows platform plugin needs a display: a virtual one. The first window in
# a fresh wine prefix can take a minute (wine builds its font cache).
#   no-wheel.sh WINE_RUN PROGRAM ANSWER_BOX
set -eu
wine_run=$1 program=$2 answer_box=$3
# A prefix of its own: its wine desktop gets the display, which one first made
# by the suite's programs without a display would not have.
export WINEPREFIX="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/vorla-setting/wine-prefix}-display"
"$wine_run" --prepare
unset QT_QPA_PLATFORM
exec xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    "$1" "$2" & program=$!
    answered=0
    "$1" "$3" Error 120 || answered=$?
    status=0
    wait $program || status=$?
    echo "program exited $status"
    [ "$answered" -eq 0 ] && [ "$status" -eq 0 ]
' sh "$wine_run" "$program" "$answer_box"
