#!/usr/bin/env bash
# Builds Vorla Setting and starts it on the simulated wheel. Without a display
# it runs under Xvfb, saves a screenshot and prints its path.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
source "$top/scripts/deps.sh"
vorla_install_missing

build="$top/build"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target vorla-setting-sim -j "$(nproc)"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/vorla-setting-sim"
fi

# No display: a virtual one, the program on it, and a picture of the screen.
cmake --build "$build" --target vorla-screenshots -j "$(nproc)"
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 900x500x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
program=""
trap 'kill "$program" "$xvfb" 2>/dev/null || true' EXIT
sleep 1
DISPLAY="$display" QT_QPA_PLATFORM=xcb "$build/vorla-setting-sim" &
program=$!
sleep 3
shot="$top/build/vorla-setting-sim.png"
DISPLAY="$display" QT_QPA_PLATFORM=xcb "$build/vorla-screenshots" --screen "$shot"
echo "Vorla Setting ran on a virtual display; screenshot: $shot"
