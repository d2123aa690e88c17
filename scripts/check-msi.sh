#!/bin/sh
# Checks the Windows installer as an administrator meets it, under Wine
# (null graphics driver, a prefix of its own that is thrown away):
#   - msiexec /i MSI /qn puts exactly the programs and README.txt into
#     Program Files\LumiqConfigTool, the two Start Menu entries in place and
#     the product in Windows' list, for the whole machine; the installed
#     zrctl.exe runs;
#   - an MSI of a newer version (built here from the same stage folder)
#     replaces it: one entry in the list, the newer version;
#   - msiexec /x ... /qn leaves none of it behind.
# Usage: check-msi.sh MSI STAGE-FOLDER   (STAGE-FOLDER: what the msi target
# built it from)
set -eu
msi=$(realpath "$1")
stage=$(realpath "$2")
root=$(cd "$(dirname "$0")/.." && pwd)
fail() {
  echo "msi: $*" >&2
  exit 1
}

wine=$(command -v wine64 || true)
[ -n "$wine" ] || [ ! -x /usr/lib/wine/wine64 ] || wine=/usr/lib/wine/wine64
[ -n "$wine" ] || fail "needs wine64"
command -v wixl >/dev/null || fail "needs wixl"

work=$(mktemp -d)
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
wineserver="$(dirname "$wine")/wineserver"
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
"$wineserver" -w

# The newer release: Windows Installer compares only the first three fields.
version=$(sed -n 's/^project(LumiqConfigTool VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
newer=$(echo "$version" | awk -F. '{ printf "%d.%d.%d.%d", $1, $2, $3 + 1, $4 }')
(cd "$stage" && wixl -a x64 -D SourceDir=. -D "Version=$newer" -D IconFile=lumiq.ico \
  -o "$work/newer.msi" "$root/packaging/windows/LumiqConfigTool.wxs")

drive="$WINEPREFIX/drive_c"
folder="$drive/Program Files/LumiqConfigTool"
# Windows Installer puts a per-machine product's shortcuts in the common
# Start Menu; Wine's puts them in the user's, so either counts here (the
# product's registration below shows it was installed for the machine).
menus="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/LumiqConfigTool
$drive/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/LumiqConfigTool"

msiexec() {
  status=0
  "$wine" msiexec "$@" /qn || status=$?
  "$wineserver" -w
  [ "$status" -eq 0 ] || fail "msiexec $* /qn ended with status $status"
}
# The products Windows lists under Apps: "NAME VERSION", one a line.
listed() {
  "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
    tr -d '\r' | awk '/^HKEY/ { name = ""; next }
      $1 == "DisplayName" { $1 = $2 = ""; name = substr($0, 3) }
      $1 == "DisplayVersion" && name != "" { print name " " $3 }'
}
machine_products() {
  "$wine" reg query \
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18\Products' 2>/dev/null |
    tr -d '\r' | grep -c '^HKEY.*Products\\' || true
}
installed_as() {
  expected_version=$1
  (cd "$folder" 2>/dev/null && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort) >"$work/files" ||
    fail "nothing in Program Files\\LumiqConfigTool"
  printf '%s\n' LumiqConfigTool-demo.exe LumiqConfigTool.exe README.txt zrctl.exe >"$work/expected"
  diff -u "$work/expected" "$work/files" >&2 ||
    fail "Program Files\\LumiqConfigTool differs from the list (- expected, + installed)"
  for file in LumiqConfigTool.exe LumiqConfigTool-demo.exe zrctl.exe README.txt; do
    cmp -s "$stage/$file" "$folder/$file" || fail "the installed $file is not the built one"
  done

  echo "$menus" | while IFS= read -r menu; do
    [ -d "$menu" ] && (cd "$menu" && ls)
  done | LC_ALL=C sort >"$work/shortcuts"
  printf '%s\n' "LumiqConfigTool demo.lnk" "LumiqConfigTool.lnk" >"$work/expected"
  diff -u "$work/expected" "$work/shortcuts" >&2 ||
    fail "the Start Menu entries differ (- expected, + installed)"
  [ "$(listed | grep -c '^LumiqConfigTool ')" -eq 1 ] || { listed >&2; fail "not listed once under Apps"; }
  [ "$(listed | grep '^LumiqConfigTool ')" = "LumiqConfigTool $expected_version" ] ||
    { listed >&2; fail "Apps does not list LumiqConfigTool $expected_version"; }
  [ "$(machine_products)" -ge 1 ] || fail "not installed for the whole machine"

}

echo "-- msiexec /i $(basename "$msi") /qn"
msiexec /i "$msi"
installed_as "$version"
# The installed program runs from its folder: nothing else it needs.
"$wine" "$folder/zrctl.exe" --simulate dump >"$work/dump" 2>&1 || true
grep -q '^qrcode=' "$work/dump" || { cat "$work/dump" >&2; fail "the installed zrctl.exe does not run"; }

echo "-- msiexec /i LumiqConfigTool $newer /qn (upgrade)"
msiexec /i "$work/newer.msi"
installed_as "$newer"

echo "-- msiexec /x /qn"
msiexec /x "$work/newer.msi"
left=$(find "$drive" -iname '*lumiq*' 2>/dev/null || true)
[ -z "$left" ] || fail "left behind after uninstalling: $left"
[ -z "$(listed | grep '^LumiqConfigTool ' || true)" ] || fail "still listed under Apps"
if "$wine" reg query 'HKLM\Software\LumiqConfigTool' >/dev/null 2>&1; then
  fail "left HKLM\\Software\\LumiqConfigTool behind"
fi
echo "msi: install, upgrade to $newer and uninstall passed"
