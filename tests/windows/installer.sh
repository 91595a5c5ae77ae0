#!/bin/sh
# The installer under wine, in a prefix of its own: a silent install (/S)
# puts the program, its console launcher and an uninstaller under the user's
# %LOCALAPPDATA%\Programs, a Start-menu shortcut and an uninstall entry in
# the user's registry, and asks for no administrator rights; the silent
# uninstall takes all of it away again. It shows the licence as information
# (a "Next" button, no demand to accept it), installs it with the third-party
# notices, and is named by CHANGELOG.md's version.
#   installer.sh WINE_RUN BUILD_DIR
set -eu
wine_run=$1 build=$2
work=$(mktemp -d)
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
"$wine_run" --prepare
export WINEPREFIX="$work/prefix"
"$wine_run" --prepare
failures=0
fail() { echo "FAIL: $1"; failures=$((failures + 1)); }

(cd "$build" && cpack -G NSIS -B "$work/cpack" >/dev/null)
setup=$(ls "$work"/cpack/vorla-setting-*-win64-setup.exe)
echo "installer: $(basename "$setup")"
source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
version=$(sed -n 's/^## \([0-9.]*\) - [0-9-]*$/\1/p' "$source_dir/CHANGELOG.md" | head -n 1)
[ "$(basename "$setup")" = "vorla-setting-$version-win64-setup.exe" ] || fail "the installer is not of version $version"
nsi=$(ls "$work"/cpack/_CPack_Packages/*/NSIS/project.nsi)
grep -q '^ *!insertmacro MUI_PAGE_LICENSE ".*LICENSE.txt"' "$nsi" || fail "the installer shows no licence page with LICENSE.txt"
# The licence page informs: it goes on with "Next" and says that the licence
# need not be accepted; no installer system's name at the foot of the pages.
page=$(grep -B 4 '^ *!insertmacro MUI_PAGE_LICENSE' "$nsi")
echo "$page" | grep -q '!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"' || fail "the licence page's button is not Next"
echo "$page" | grep -q '!define MUI_LICENSEPAGE_TEXT_BOTTOM "You need not accept' ||
    fail "the licence page asks for the licence to be accepted"
grep -q '^BrandingText " "$' "$nsi" || fail "the installer shows the installer system's branding line"

# No elevation: the installer's manifest asks to run as the user who starts it.
wrestool -x --raw --type=24 "$setup" | grep -q 'level="asInvoker"' || fail "the installer asks for elevation"

key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VorlaSetting'
"$wine_run" "$setup" /S
wineserver -w
users="$WINEPREFIX/drive_c/users"
home=$(ls -d "$users"/*/AppData/Local/Programs 2>/dev/null | grep -v /Public/ | head -1 || true)
folder="$home/Vorla Setting"
for file in vorla-setting.exe vorla-setting.com LICENSE.txt THIRD-PARTY-NOTICES.txt Uninstall.exe; do
    [ -f "$folder/$file" ] || fail "not installed: $folder/$file"
done
[ -z "$(find "$folder" -iname cfgmgr32.dll)" ] || fail "the wheel tests' cfgmgr32.dll was installed"
shortcut=$(find "$users" -path '*Start Menu/Programs/Vorla Setting/Vorla Setting.lnk' | head -1)
[ -n "$shortcut" ] || fail "no Start-menu shortcut"
"$wine_run" reg query "$key" /v UninstallString >/dev/null 2>&1 || fail "no uninstall entry in $key"
"$wine_run" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VorlaSetting' >/dev/null 2>&1 \
    && fail "an uninstall entry for all users"

# The uninstaller hands over to a copy of itself and returns: wait for both.
"$wine_run" "$folder/Uninstall.exe" /S
wineserver -w
[ ! -e "$folder" ] || fail "left behind: $(find "$folder")"
[ -z "$(find "$users" -path '*Start Menu/Programs/Vorla Setting*')" ] || fail "the Start-menu shortcut is left"
"$wine_run" reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry is left"
"$wine_run" reg query 'HKCU\Software\Vorla' >/dev/null 2>&1 && fail "HKCU\\Software\\Vorla is left"

[ "$failures" -eq 0 ] && echo "installed per user with a shortcut and an uninstaller; uninstalled without a trace"
[ "$failures" -eq 0 ]
