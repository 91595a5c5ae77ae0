#!/usr/bin/env bash
# Builds every release artifact of the checked-out commit into
# release/<version>/ (the version of CHANGELOG.md's newest heading), or into
# VORLA_RELEASE_OUT:
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
# The Windows half needs the cross-built Qt, and builds it first where it is
# not in the cache yet (scripts/windows/qt.sh).
# The output folder is this script's own: one that exists and was not made by
# it is refused, never emptied.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
source "$top/scripts/reproducible.sh"
# The newest heading is the release; one that is not "## <version> - <date>"
# is refused rather than passed over for an older one.
newest="$(grep -m 1 '^## ' "$top/CHANGELOG.md" || true)"
version="$(echo "$newest" | sed -n 's/^## \([0-9][0-9]*\.[0-9][0-9]*\.[0-9][0-9]*\) - [0-9]\{4\}-[0-9]\{2\}-[0-9]\{2\}$/\1/p')"
if [ -z "$version" ]; then
    echo "CHANGELOG.md: the newest heading '${newest}' is not '## <version> - <YYYY-MM-DD>': nothing released" >&2
    exit 1
fi
out="${VORLA_RELEASE_OUT:-$top/release/$version}"
# What marks a folder as this script's output.
marker=.vorla-release-output

# Makes the output folder, or takes back one this script made before.
claim_output() {
    if [ -e "$out" ] && [ ! -f "$out/$marker" ]; then
        echo "$out exists and is not an earlier output of scripts/release.sh: move it away or choose" \
             "another folder with VORLA_RELEASE_OUT" >&2
        exit 1
    fi
    rm -rf "$out"
    mkdir -p "$out"
    touch "$out/$marker"
}

if git -C "$top" rev-parse --git-dir >/dev/null 2>&1; then
    [ -z "$(git -C "$top" status --porcelain --untracked-files=no)" ] ||
        echo "Note: the working tree has changes; the release is made of commit $(git -C "$top" rev-parse --short HEAD) without them"
    claim_output
    out="$(cd "$out" && pwd)"
    rm -rf "$top/build-release"
    git -C "$top" archive --format=tar.gz --prefix="vorla-setting-$version/" -o "$out/vorla-setting-$version.tar.gz" HEAD
    # The binaries are built from the source tarball's own tree, as anyone
    # reproducing the release would.
    mkdir -p "$top/build-release"
    tar -xzf "$out/vorla-setting-$version.tar.gz" -C "$top/build-release"
    SOURCE_DATE_EPOCH="$(git -C "$top" log -1 --format=%ct)" VORLA_RELEASE_OUT="$out" VORLA_RELEASE_CLAIMED="$out" \
        GIT_CEILING_DIRECTORIES="$top/build-release" \
        bash "$top/build-release/vorla-setting-$version/scripts/release.sh"
    exit
fi

vorla_reproducible "$top"
# Called by the checkout's run above with the folder it has just made, which
# already holds the source tarball; any other run makes its folder afresh.
[ "${VORLA_RELEASE_CLAIMED:-}" = "$out" ] || claim_output
echo "== Linux packages"
bash "$top/scripts/package.sh" "$out"
echo "== Windows program"
bash "$top/scripts/build-windows.sh"
cp "$top"/build-windows/dist/vorla-setting-"$version"-win64.zip "$top"/build-windows/dist/vorla-setting-"$version"-win64-setup.exe "$out/"

cd "$out"
rm -f SHA256SUMS
sha256sum -- * > SHA256SUMS.new
mv SHA256SUMS.new SHA256SUMS
echo "Release $version in $out:"
ls -l --time-style=+ -- * | awk '{ printf "  %10s  %s\n", $5, $NF }'
