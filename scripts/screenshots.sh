#!/usr/bin/env bash
# Renders each page of Vorla Setting, on the simulated wheel, to
# docs/screenshots/ (offscreen: no display needed), and the RGB page at 200 %.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
source "$top/scripts/deps.sh"
vorla_install_missing
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" --target vorla-screenshots -j "$(nproc)"
QT_QPA_PLATFORM=offscreen "$top/build/vorla-screenshots" --pages "$top/docs/screenshots"
# The RGB page again on a screen of 192 dpi (200 %), for the README.
twice="$(mktemp -d)"
trap 'rm -rf "$twice"' EXIT
QT_QPA_PLATFORM=offscreen QT_FONT_DPI=192 "$top/build/vorla-screenshots" --pages "$twice" >/dev/null
cp "$twice/page2-rgb.png" "$top/docs/screenshots/page2-rgb-2x.png"
echo "$top/docs/screenshots/page2-rgb-2x.png"
