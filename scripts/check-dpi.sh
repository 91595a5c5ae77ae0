#!/usr/bin/env bash
# Starts vorla-setting-sim from a build on a virtual X display whose desktop
# asks for the given dpi (Xft.dpi, as GNOME and Plasma set it), and prints the
# window's size in screen pixels: 900x500 at 96 dpi, 1350x750 at 144, 1800x1000
# at 192. A screenshot of the display goes to <build>/check-dpi-<dpi>.png.
#   scripts/check-dpi.sh [BUILD_DIR [DPI]]    (default: build 192)
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
source "$top/scripts/deps.sh"
vorla_install_missing x11-xserver-utils x11-utils  # xrdb, xwininfo

build="$(cd "${1:-$top/build}" && pwd)"
dpi="${2:-192}"
cmake --build "$build" --target vorla-setting-sim vorla-screenshots -j "$(nproc)" >/dev/null

display=":$((90 + RANDOM % 100))"
# -noreset: the resources set below must outlive xrdb's connection.
Xvfb "$display" -screen 0 2400x1400x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
program=""
state="$(mktemp)"
trap 'kill $program $xvfb 2>/dev/null || true; rm -f "$state"' EXIT
sleep 1
echo "Xft.dpi: $dpi" | DISPLAY="$display" xrdb -merge
export DISPLAY="$display" QT_QPA_PLATFORM=xcb VORLA_SIM_STATE="$state"
"$build/vorla-setting-sim" &
program=$!
for _ in $(seq 50); do
    size="$(xwininfo -root -children | sed -n 's/.*"Vorla Setting".* \([0-9]*x[0-9]*\)+.*/\1/p')"
    [ -n "$size" ] && break
    sleep 0.2
done
sleep 1  # the first frame
"$build/vorla-screenshots" --screen "$build/check-dpi-$dpi.png"
echo "Xft.dpi $dpi: window ${size:-not shown} screen pixels; screenshot $build/check-dpi-$dpi.png"
[ -n "$size" ]
