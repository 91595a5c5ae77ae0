#!/usr/bin/env bash
# Builds the release artifacts of one commit twice and compares them byte for
# byte. The two builds differ in what must not matter: the directory (and its
# length), the time, the umask, the locale and the time zone. Each build works
# on the commit as git archive gives it, as a source tarball would.
#   scripts/check-reproducible.sh [linux|windows|all] [COMMIT]
# linux: the .deb (and the .rpm where rpmbuild is installed); windows: the
# executables, the zip and the installer (needs the cross-built Qt; without it
# in the cache the Windows half builds it first, about an hour on 2 cores).
# Any difference is shown with diffoscope where it is installed; the status is
# 1 then. The builds stay in build-reproducible/ for a closer look.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
what="${1:-all}"
commit="${2:-HEAD}"
case "$what" in linux|windows|all) ;; *) echo "usage: $0 [linux|windows|all] [COMMIT]" >&2; exit 2 ;; esac

work="$top/build-reproducible"
rm -rf "$work"
# Names of different lengths: paths that leak shift everything after them.
sides=("$work/a/src" "$work/second-build/vorla-setting-source")
# ccache, where it is installed, spares the second compile, not the packing.
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
fi

# build SIDE UMASK LOCALE TZ
build() {
    local dir="$1"
    mkdir -p "$dir/out"
    git -C "$top" archive "$commit" | tar -x -C "$dir"
    (
        umask "$2"
        export LC_ALL="$3" TZ="$4"
        unset SOURCE_DATE_EPOCH
        # Not the checkout around build-reproducible/: the tree alone, as unpacked from a tarball.
        export GIT_CEILING_DIRECTORIES="$(dirname "$dir")"
        cd "$dir"
        if [ "$what" != windows ]; then
            VORLA_PACKAGE_BUILD="$dir/build-package" bash scripts/package.sh "$dir/out" >"$dir/package.log" 2>&1 ||
                { tail -30 "$dir/package.log"; exit 1; }
        fi
        if [ "$what" != linux ]; then
            bash scripts/build-windows.sh >"$dir/windows.log" 2>&1 || { tail -30 "$dir/windows.log"; exit 1; }
            cp build-windows/dist/* "$dir/out/"
        fi
    )
}
echo "== building $(git -C "$top" rev-parse --short "$commit") twice ($what) in $work"
build "${sides[0]}" 022 C UTC
build "${sides[1]}" 002 C.UTF-8 Pacific/Chatham

differ=0 same=0
for first in "${sides[0]}"/out/*; do
    name="$(basename "$first")"
    second="${sides[1]}/out/$name"
    if [ ! -f "$second" ]; then
        echo "only in the first build: $name"; differ=$((differ + 1)); continue
    fi
    if cmp -s "$first" "$second"; then
        echo "identical: $name ($(sha256sum "$first" | cut -c1-16))"; same=$((same + 1))
    else
        echo "DIFFERENT: $name"; differ=$((differ + 1))
        if command -v diffoscope >/dev/null 2>&1; then
            diffoscope --text - "$first" "$second" | head -n 200 || true
        fi
    fi
done
echo "$same identical, $differ different"
[ "$differ" -eq 0 ] && [ "$same" -gt 0 ]
