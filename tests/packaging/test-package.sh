#!/bin/sh
# The package of one format, made by CPack from this build:
#  - named as apt and rpm users expect, holding the program, its desktop file,
#    icons, AppStream file and udev rule where the system looks for them, and
#    nothing else of the build (no simulated wheel, no tests);
#  - depending on the libraries the program links (hidapi, Qt);
#  - with maintainer scripts that reload the udev rules where udev runs and
#    do nothing where it does not (as in this container), never failing;
#  - (DEB) with a Debian copyright file naming GPL-3.0-or-later, lintian
#    finding no error, and the version and date of CHANGELOG.md's newest
#    release in the package's version, its changelog and its AppStream file;
#  - (DEB) unpacked into a throw-away root, the tree passes appstreamcli's
#    validate-tree (the AppStream file finds its desktop file), and the
#    installed program runs on the
#    offscreen platform, finds no wheel, shows the "No device." box (answered
#    by the preloaded answerer) and ends with status 0.
# Every tool it uses is required up front: without one it skips (status 77)
# saying which, or fails under CI=true (tests/support/missing.sh).
#
#   test-package.sh deb|rpm <build dir> <cpack> <CHANGELOG.md> <app id> <udev rules dir> <box answerer module>
set -eu
format=$1 build=$2 cpack=$3 changelog=$4 id=$5 rules=$6 answerer=$7
# The newest release: "## <version> - <date>".
version=$(sed -n 's/^## \([0-9.]*\) - \([0-9-]*\)$/\1/p' "$changelog" | head -n 1)
date=$(sed -n 's/^## \([0-9.]*\) - \([0-9-]*\)$/\2/p' "$changelog" | head -n 1)

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }
. "$(dirname "$0")/../support/missing.sh"

case $format in
deb)
    require dpkg-deb dpkg
    require dpkg-shlibdeps dpkg-dev
    require lintian lintian
    require appstreamcli appstream
    generator=DEB ;;
rpm)
    require rpmbuild rpm
    generator=RPM ;;
*)
    fail "unknown format $format" ;;
esac

work="$build/package-test-$format"
rm -rf "$work"
mkdir -p "$work"
if ! "$cpack" --config "$build/CPackConfig.cmake" -G "$generator" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    fail "cpack -G $generator"
fi

# The files (not directories or links) it installs, one a line, sorted.
expected_files() {
    printf '%s\n' /usr/bin/vorla-setting "/usr/share/applications/$id.desktop" \
        "/usr/share/icons/hicolor/48x48/apps/$id.png" "/usr/share/icons/hicolor/128x128/apps/$id.png" \
        "/usr/share/icons/hicolor/256x256/apps/$id.png" "/usr/share/metainfo/$id.metainfo.xml" \
        "$rules/60-vorla-z-arc.rules" /usr/share/doc/vorla-setting/copyright \
        /usr/share/doc/vorla-setting/changelog.gz | sort
}

if [ "$format" = deb ]; then
    package="$work/out/vorla-setting_${version}_$(dpkg --print-architecture).deb"
    [ -f "$package" ] || fail "no $(basename "$package"); made: $(ls "$work/out")"
    files=$(dpkg-deb -c "$package" | awk '$1 ~ /^-/ { sub(/^\./, "", $6); print $6 }' | sort)
    depends=$(dpkg-deb -f "$package" Depends)
    echo "$depends" | grep -q 'libhidapi-hidraw0' || fail "Depends names no hidapi: $depends"
    echo "$depends" | grep -Eq 'libqt[56]widgets[56]' || fail "Depends names no Qt Widgets: $depends"
    echo "$depends" | grep -Eq 'libqt[56]gui[56]' || fail "Depends names no Qt Gui: $depends"
else
    package=$(ls "$work"/out/vorla-setting-"$version"-*.rpm 2>/dev/null | head -n 1)
    [ -n "$package" ] || fail "no vorla-setting-$version-*.rpm; made: $(ls "$work/out")"
    files=$(rpm -qp --qf '[%{FILEMODES:perms} %{FILENAMES}\n]' "$package" | awk '$1 ~ /^-/ { print $2 }' | sort)
    requires=$(rpm -qp --requires "$package")
    echo "$requires" | grep -q 'libhidapi-hidraw\.so' || fail "requires no hidapi: $requires"
    echo "$requires" | grep -Eq 'libQt[56]Widgets\.so' || fail "requires no Qt Widgets: $requires"
fi
if [ "$files" != "$(expected_files)" ]; then
    echo "expected:"; expected_files
    echo "packaged:"; echo "$files"
    fail "the package holds other files than expected"
fi

# The maintainer scripts, run here with a stand-in udevadm that only notes
# its calls: where udev runs they reload and trigger, elsewhere nothing.
mkdir -p "$work/bin"
printf '#!/bin/sh\necho "udevadm $*" >>"%s"\n' "$work/udevadm.log" >"$work/bin/udevadm"
chmod +x "$work/bin/udevadm"
udev_runs=no
if [ -S /run/udev/control ] && ! { command -v ischroot >/dev/null 2>&1 && ischroot; }; then
    udev_runs=yes
fi
check_script() { # <script> <argument>
    [ -x "$1" ] || fail "$(basename "$1") is not executable"
    rm -f "$work/udevadm.log"
    PATH="$work/bin:$PATH" "$1" "$2" || fail "$(basename "$1") $2 ended with status $?"
    calls=$(cat "$work/udevadm.log" 2>/dev/null || true)
    want=""
    if [ $udev_runs = yes ]; then
        want="udevadm control --reload-rules
udevadm trigger --subsystem-match=hidraw --action=add"
    fi
    [ "$calls" = "$want" ] || fail "$(basename "$1") $2 (udev running: $udev_runs) called: ${calls:-nothing}"
}
if [ "$format" = deb ]; then
    dpkg-deb -e "$package" "$work/control"
    check_script "$work/control/postinst" configure
    check_script "$work/control/postrm" remove
else
    for scriptlet in postinstall postuninstall; do
        rpm -qp --scripts "$package" | grep -q "^$scriptlet scriptlet" || fail "no $scriptlet scriptlet"
    done
    rpm -qp --qf '%{POSTIN}' "$package" >"$work/postinstall"
    rpm -qp --qf '%{POSTUN}' "$package" >"$work/postuninstall"
    chmod +x "$work/postinstall" "$work/postuninstall"
    check_script "$work/postinstall" 1
    check_script "$work/postuninstall" 0
fi

[ "$format" = deb ] || { echo "PASSED: $(basename "$package")"; exit 0; }

# A Z-ARC plugged into this machine would answer the installed program: no
# test may reach a real wheel.
for uevent in /sys/class/hidraw/*/device/uevent; do
    [ -e "$uevent" ] || continue
    grep -qi '^HID_ID=0003:0000C872:00002007$' "$uevent" &&
        skip "a Z-ARC wheel is plugged in; the installed program would talk to it"
done

dpkg-deb -x "$package" "$work/root"
doc="$work/root/usr/share/doc/vorla-setting"
head -n 1 "$doc/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not in Debian's machine-readable format"
grep -qx 'License: GPL-3.0-or-later' "$doc/copyright" || fail "the copyright file names no GPL-3.0-or-later"
[ "$(dpkg-deb -f "$package" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$package" Version), CHANGELOG.md $version"
gzip -dc "$doc/changelog.gz" | head -n 1 | grep -qF "vorla-setting ($version) " || fail "the Debian changelog's newest entry is not $version"
[ "$(gzip -dc "$doc/changelog.gz" | sed -n 's/^ -- .*>  //p' | head -n 1)" = "$(LC_ALL=C date -u -R -d "$date 00:00:00 UTC")" ] ||
    fail "the Debian changelog's newest entry is not dated $date"
grep -q "<release version=\"$version\" date=\"$date\">" "$work/root/usr/share/metainfo/$id.metainfo.xml" ||
    fail "the AppStream file's releases lack $version of $date"
# Warnings are shown; an error fails.
lintian --fail-on error "$package" || fail "lintian found errors"
# The AppStream file with the desktop file it names, as installed.
appstreamcli validate-tree --no-net "$work/root" || fail "appstreamcli validate-tree"
status=0
# env, so that the answerer is preloaded into the program alone, not into
# timeout; a sanitized build's answerer comes before the sanitizer runtime.
timeout 60 env QT_QPA_PLATFORM=offscreen LD_PRELOAD="$answerer" \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" \
    "$work/root/usr/bin/vorla-setting" >"$work/run.log" 2>&1 || status=$?
boxes=$(grep '^box: ' "$work/run.log" || true)
if [ "$status" -ne 0 ] || [ "$boxes" != "box: Error/No device." ] ||
   ! grep -qx "desktop file: $id" "$work/run.log"; then
    cat "$work/run.log"
    fail "the installed program ended with status $status after: ${boxes:-no box}"
fi
echo "PASSED: $(basename "$package")"
