#!/usr/bin/env bash
# Renders each page of Vorla Setting, on the simulated wheel, to
# docs/screenshots/ (offscreen: no display needed).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
source "$top/scripts/deps.sh"
vorla_install_missing
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" --target vorla-screenshots -j "$(nproc)"
QT_QPA_PLATFORM=offscreen "$top/build/vorla-screenshots" --pages "$top/docs/screenshots"
