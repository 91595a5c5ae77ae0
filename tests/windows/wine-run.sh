#!/usr/bin/env bash
# Runs a Windows program under wine, headless and quiet, in the project's own
# wine prefix (made on first use): CMake's cross-compiling emulator for the
# Windows build, so that its tests and build-time tools run here.
#   wine-run.sh PROGRAM [ARGUMENTS...]
#   wine-run.sh --prepare        only make the prefix
# WINEPREFIX chooses another prefix.
set -euo pipefail
export WINEPREFIX="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/vorla-setting/wine-prefix}"
export WINEDEBUG=-all
# No Mono or Gecko installer prompts while the prefix is made.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine=wine
command -v wine >/dev/null 2>&1 || wine=wine64

mkdir -p "$(dirname "$WINEPREFIX")"
(
    # Tests run in parallel: one of them makes the prefix, the others wait.
    flock 9
    if [ ! -f "$WINEPREFIX/.vorla-ready" ]; then
        "$wine" wineboot -i >/dev/null 2>&1 || true
        # Wine has no Arial, which the window asks for; Windows does.
        "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f >/dev/null 2>&1
        wineserver -w || true
        touch "$WINEPREFIX/.vorla-ready"
    fi
) 9>"$WINEPREFIX.lock"

[ "${1:-}" = "--prepare" ] && exit 0
exec "$wine" "$@"
