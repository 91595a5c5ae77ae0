#!/usr/bin/env bash
# Builds every release artifact of the checked-out commit into
# release/<version>/ (the version of CHANGELOG.md's newest heading):
#   vorla-setting-<version>.tar.gz            the source, as git archive gives it
#   vorla-setting_<version>_amd64.deb         (and the .rpm where rpmbuild is installed)
#   vorla-setting-<version>-win64.zip         the portable Windows program
#   vorla-setting-<version>-win64-setup.exe   its installer
#   SHA256SUMS                                for sha256sum -c
# and prints what it made. The artifacts are built from the commit, not from
# the working tree: its changes are left out. The same commit gives the same
# bytes anywhere (scripts/check-reproducible.sh), so a download can be checked
# by building it again. Run in an unpacked source tarball (outside any git
# checkout), it builds the binaries of that source the same way.
# The Windows half needs the cross-built Qt; without it in the cache it is
# built first (about an hour on 2 cores).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
source "$top/scripts/reproducible.sh"
version="$(sed -n 's/^## \([0-9.]*\) - [0-9-]*$/\1/p' "$top/CHANGELOG.md" | head -n 1)"
out="${VORLA_RELEASE_OUT:-$top/release/$version}"

if git -C "$top" rev-parse --git-dir >/dev/null 2>&1; then
    [ -z "$(git -C "$top" status --porcelain --untracked-files=no)" ] ||
        echo "Note: the working tree has changes; the release is made of commit $(git -C "$top" rev-parse --short HEAD) without them"
    rm -rf "$out" "$top/build-release"
    mkdir -p "$out"
    out="$(cd "$out" && pwd)"
    git -C "$top" archive --format=tar.gz --prefix="vorla-setting-$version/" -o "$out/vorla-setting-$version.tar.gz" HEAD
    # The binaries are built from the source tarball's own tree, as anyone
    # reproducing the release would.
    mkdir -p "$top/build-release"
    tar -xzf "$out/vorla-setting-$version.tar.gz" -C "$top/build-release"
    SOURCE_DATE_EPOCH="$(git -C "$top" log -1 --format=%ct)" VORLA_RELEASE_OUT="$out" \
        GIT_CEILING_DIRECTORIES="$top/build-release" \
        bash "$top/build-release/vorla-setting-$version/scripts/release.sh"
    exit
fi

vorla_reproducible "$top"
mkdir -p "$out"
echo "== Linux packages"
bash "$top/scripts/package.sh" "$out"
echo "== Windows program"
bash "$top/scripts/build-windows.sh"
cp "$top"/build-windows/dist/vorla-setting-"$version"-win64.zip "$top"/build-windows/dist/vorla-setting-"$version"-win64-setup.exe "$out/"

cd "$out"
rm -f SHA256SUMS
sha256sum -- * > SHA256SUMS.new
mv SHA256SUMS.new SHA256SUMS
sha256sum -c --quiet SHA256SUMS
echo "Release $version in $out:"
ls -l --time-style=+ -- * | awk '{ printf "  %10s  %s\n", $5, $NF }'
