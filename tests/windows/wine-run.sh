#!/usr/bin/env bash
# Runs a Windows program under wine, headless and quiet, in the project's own
# wine prefix (made on first use): CMake's cross-compiling emulator for the
# Windows build, so that its tests and build-time tools run here.
#   wine-run.sh PROGRAM [ARGUMENTS...]
#   wine-run.sh --prepare        only make the prefix
# WINEPREFIX chooses another prefix.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
export WINEPREFIX="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/vorla-setting/wine-prefix}"
export WINEDEBUG=-all
# No Mono or Gecko installer prompts while the prefix is made.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine=wine
command -v wine >/dev/null 2>&1 || wine=wine64

# Wine keeps QT_* variables from Windows programs; envrun.exe (envrun.cpp)
# gives them back. It is built beside the prefix, once for each version.
runner="$WINEPREFIX-envrun-$(cat "$here/envrun.cpp" "$here/../../app/console/CommandTail.h" | sha256sum | cut -c1-12).exe"

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
    if [ ! -f "$runner" ]; then
        x86_64-w64-mingw32-g++-posix -municode -static -O2 -I"$here/../.." "$here/envrun.cpp" -o "$runner.new"
        mv "$runner.new" "$runner"
    fi
) 9>"$WINEPREFIX.lock"

[ "${1:-}" = "--prepare" ] && exit 0
while IFS='=' read -r name _; do
    export "VORLA_WINE_$name=${!name}"
done < <(env | grep -E '^QT_[A-Za-z0-9_]*=' || true)
exec "$wine" "$runner" "$@"
