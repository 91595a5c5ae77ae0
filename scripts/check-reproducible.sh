#!/usr/bin/env bash
# Builds the release artifacts of one commit twice and compares them byte for
# byte. The two builds differ in what must not matter: the directory (and its
# length), the time, the umask, the locale, the time zone and the temporary
# directory. Each build works on the commit as git archive gives it, as a
# source tarball would.
#   scripts/check-reproducible.sh [linux|windows|windows-full|all] [COMMIT]
# linux: the .deb (and the .rpm where rpmbuild is installed); windows: the
# executables, the zip and the installer, from the cross-built Qt in the cache
# (built first where it is missing, scripts/windows/qt.sh); windows-full: the
# same, with the second build given a cache of its own, so that the static Qt
# and hidapi inside the executables are built twice and compared through them.
# Every artifact of both builds, unpacked (the packages, the zip, the
# installer, and what is gzipped inside them), is also searched for this
# machine's paths: the checkout, the build directories, the home directory,
# the cache and the temporary directories. Any difference or path found is
# shown (differences with diffoscope where it is installed) and the status is
# 1. The builds stay in build-reproducible/ for a closer look.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
what="${1:-all}"
commit="${2:-HEAD}"
case "$what" in linux|windows|windows-full|all) ;; *) echo "usage: $0 [linux|windows|windows-full|all] [COMMIT]" >&2; exit 2 ;; esac
source "$top/scripts/deps.sh"
# What unpacks the artifacts for the search: rpm2cpio and cpio for the .rpm,
# 7z for the installer (it reads NSIS's archive).
vorla_install_missing rpm2cpio cpio p7zip-full

work="$top/build-reproducible"
rm -rf "$work"
# Names of different lengths: paths that leak shift everything after them.
sides=("$work/a/src" "$work/second-build/vorla-setting-source")
# ccache, where it is installed, spares the second compile, not the packing.
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
fi
cache="${XDG_CACHE_HOME:-$HOME/.cache}"

# build SIDE UMASK LOCALE TZ CACHE
build() {
    local dir="$1"
    mkdir -p "$dir/out" "$dir.tmp"
    git -C "$top" archive "$commit" | tar -x -C "$dir"
    (
        umask "$2"
        export LC_ALL="$3" TZ="$4" XDG_CACHE_HOME="$5" TMPDIR="$dir.tmp"
        unset SOURCE_DATE_EPOCH
        # Not the checkout around build-reproducible/: the tree alone, as unpacked from a tarball.
        export GIT_CEILING_DIRECTORIES="$(dirname "$dir")"
        cd "$dir"
        if [ "$what" = linux ] || [ "$what" = all ]; then
            VORLA_PACKAGE_BUILD="$dir/build-package" bash scripts/package.sh "$dir/out" >"$dir/package.log" 2>&1 ||
                { tail -30 "$dir/package.log"; exit 1; }
        fi
        if [ "$what" != linux ]; then
            bash scripts/build-windows.sh >"$dir/windows.log" 2>&1 || { tail -30 "$dir/windows.log"; exit 1; }
            cp build-windows/dist/* "$dir/out/"
        fi
    )
}

# leaks SIDE: every artifact of a build unpacked into SIDE.unpacked and
# searched for the paths in $work/machine-paths; prints what it finds.
leaks() {
    local out="$1/out" unpacked="$1.unpacked" file into
    rm -rf "$unpacked"
    for file in "$out"/*; do
        into="$unpacked/$(basename "$file")"
        mkdir -p "$into"
        cp "$file" "$into/"
        case "$file" in
            *.deb) dpkg-deb -x "$file" "$into/data"; dpkg-deb -e "$file" "$into/control" ;;
            *.rpm) (cd "$into" && rpm2cpio "$file" | cpio -idm --quiet) ;;
            *.zip) (cd "$into" && cmake -E tar xf "$file") ;;
            *-setup.exe) 7z x -y -o"$into/setup" "$file" >/dev/null ;;
        esac
    done
    find "$unpacked" -type f -name '*.gz' -exec sh -c 'gzip -dc "$1" > "$1.unpacked"' sh {} \;
    grep -r -a -o -F -f "$work/machine-paths" "$unpacked" | sed "s|^$unpacked/||" | sort -u || true
}

echo "== building $(git -C "$top" rev-parse --short "$commit") twice ($what) in $work"
second_cache="$cache"
[ "$what" = windows-full ] && second_cache="$work/second-cache"
start=$(date +%s)
build "${sides[0]}" 022 C UTC "$cache"
build "${sides[1]}" 002 C.UTF-8 Pacific/Chatham "$second_cache"
echo "== built in $(( $(date +%s) - start )) s"

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
for second in "${sides[1]}"/out/*; do
    [ -f "${sides[0]}/out/$(basename "$second")" ] ||
        { echo "only in the second build: $(basename "$second")"; differ=$((differ + 1)); }
done
echo "$same identical, $differ different"

# The machine's paths, each as the builds could have written it.
printf '%s\n' "$top" "$work" "${sides[@]}" "${sides[0]}.tmp" "${sides[1]}.tmp" "$HOME/" "$cache/" \
    "$second_cache/" | sort -u >"$work/machine-paths"
found=0
for side in "${sides[@]}"; do
    hits="$(leaks "$side")"
    if [ -n "$hits" ]; then
        echo "PATHS OF THE BUILD MACHINE in the artifacts of $side:"
        echo "$hits" | head -n 40
        found=1
    fi
done
[ "$found" -eq 0 ] && echo "no path of the build machine in any artifact (searched for: $(tr '\n' ' ' <"$work/machine-paths"))"
[ "$differ" -eq 0 ] && [ "$same" -gt 0 ] && [ "$found" -eq 0 ]
