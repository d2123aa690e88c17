#!/bin/sh
# Checks the Windows installer as an administrator meets it, under Wine
# (null graphics driver, a prefix of its own that is thrown away):
#   - msiexec /i MSI /qn puts exactly the programs and README.txt into
#     Program Files\LumiqConfigTool, the two Start Menu entries in place and
#     the product in Windows' list, for the whole machine; the installed
#     zrctl.exe runs;
#   - an MSI of a newer version (built here from the same stage folder)
#     replaces it: one entry in the list, the newer version;
#   - msiexec /x ... /qn leaves none of it behind;
#   - none of that installs a service; with INSTALLSTATIONSERVICE=1 the MSI
#     also installs the service LumiqStation (started with Windows) on the
#     profile in ProgramData\LumiqConfigTool, kept by an upgrade, which starts
#     through the service manager and, Wine showing its user as the owner of
#     every file, refuses the profile and stops with zrctl's status for it;
#     the installed zrctl.exe also runs as a service that keeps running until
#     the service manager stops it, and as one without --log that stops at
#     once with status 2; uninstalling removes the service and
#     leaves only the profile and the records.
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
command -v msibuild >/dev/null || fail "needs msibuild (msitools)"

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
msibuild "$work/newer.msi" -q "$(cat "$root/packaging/windows/station-condition.sql")"

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
# installed_as VERSION [station]: station, the service's copy of zrctl.exe.
installed_as() {
  expected_version=$1
  (cd "$folder" 2>/dev/null && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort) >"$work/files" ||
    fail "nothing in Program Files\\LumiqConfigTool"
  printf '%s\n' LumiqConfigTool-demo.exe LumiqConfigTool.exe README.txt zrctl.exe \
    ${2:+station/zrctl.exe} | LC_ALL=C sort >"$work/expected"
  diff -u "$work/expected" "$work/files" >&2 ||
    fail "Program Files\\LumiqConfigTool differs from the list (- expected, + installed)"
  for file in LumiqConfigTool.exe LumiqConfigTool-demo.exe zrctl.exe README.txt; do
    cmp -s "$stage/$file" "$folder/$file" || fail "the installed $file is not the built one"
  done
  [ -z "${2:-}" ] || cmp -s "$stage/zrctl.exe" "$folder/station/zrctl.exe" ||
    fail "the service's zrctl.exe is not the built one"

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
  if [ -z "${2:-}" ]; then
    no_service "without INSTALLSTATIONSERVICE=1"
    [ ! -e "$data" ] || fail "ProgramData\\LumiqConfigTool made without INSTALLSTATIONSERVICE=1"
  fi
}

service=LumiqStation
data="$drive/ProgramData/LumiqConfigTool"
services='HKLM\System\CurrentControlSet\Services'
no_service() {
  if "$wine" reg query "$services\\$service" >/dev/null 2>&1; then
    fail "$1: the service $service is installed"
  fi
}
# service_value NAME: a value of the service's registration (Wine's sc has no qc).
service_value() {
  "$wine" reg query "$services\\$service" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
# service_state NAME FIELD: what sc query says of it ("1  STOPPED", "0  (0x0)").
service_state() {
  "$wine" sc query "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *: *//p"
}
# wait_state NAME STATE: until sc query shows it, 60 s at most.
wait_state() {
  tries=0
  until service_state "$1" STATE | grep -q " $2\$"; do
    tries=$((tries + 1))
    [ "$tries" -lt 120 ] || fail "$1 is not $2 but $(service_state "$1" STATE)"
    sleep 0.5
  done
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

echo "-- msiexec /i $(basename "$msi") INSTALLSTATIONSERVICE=1 /qn"
msiexec /i "$msi" INSTALLSTATIONSERVICE=1
installed_as "$version" station
[ -d "$data" ] || fail "no ProgramData\\LumiqConfigTool for the profile"
programs='C:\Program Files\LumiqConfigTool'
profiles='C:\ProgramData\LumiqConfigTool'
arguments="serve \"$profiles\\site.profile\" --log \"$profiles\\station.csv\" --windows-service"
# Windows Installer puts the program's path in quotes; Wine's does not.
case "$(service_value ImagePath)" in
  "\"$programs\\station\\zrctl.exe\" $arguments" | "$programs\\station\\zrctl.exe $arguments") ;;
  *) fail "the service runs '$(service_value ImagePath)', not station\\zrctl.exe $arguments" ;;
esac
[ "$(service_value Start)" = 0x2 ] || fail "the service does not start with Windows: Start $(service_value Start)"
[ "$(service_value Type)" = 0x10 ] || fail "the service is not a process of its own: Type $(service_value Type)"
# Wine ends a session's services with its last program: a server kept
# running keeps them until the service manager has stopped them. (Wine also
# starts the services that start with Windows in every new session, as if it
# had just booted: the station may have run already, without a profile.)
"$wineserver" -w
"$wineserver" -p
wait_state "$service" STOPPED
rm -f "$data/station.log"

echo "-- net start $service: the profile Wine shows as the user's is refused"
printf 'masterver=V2.0.7\nqrcode=0\n' >"$data/site.profile"
"$wine" net start "$service" >/dev/null 2>&1 || true
wait_state "$service" STOPPED
if ! { [ "$(service_state "$service" WIN32_EXIT_CODE)" = "1066  (0x42a)" ] &&
  [ "$(service_state "$service" SERVICE_EXIT_CODE)" = "4  (0x4)" ]; }; then
  fail "$service did not stop with zrctl's status for an unsafe profile: $(service_state "$service" WIN32_EXIT_CODE), $(service_state "$service" SERVICE_EXIT_CODE)"
fi
if ! grep -q 'site.profile is not safe to serve' "$data/station.log" ||
  ! grep -q 'zrctl: service stopped with status 4' "$data/station.log"; then
  cat "$data/station.log" >&2
  fail "station.log does not say why $service stopped"
fi

echo "-- the installed zrctl.exe as a service, until the service manager stops it"
check=LumiqStationCheck
printf 'masterver=V2.0.7\ndeviceno=A-1\nqrcode=1\n' >"$data/seed.txt"
"$wine" sc create "$check" binpath= "\"$programs\\station\\zrctl.exe\" provision \"$profiles\\site.profile\" --log \"$profiles\\check.csv\" --simulate=\"$profiles\\seed.txt\" --windows-service" >/dev/null
"$wine" net start "$check" >/dev/null || fail "net start $check failed"
tries=0
until grep -q 'deviceno A-1.*: ok' "$data/check.log" 2>/dev/null; do
  tries=$((tries + 1))
  [ "$tries" -lt 120 ] || { cat "$data/check.log" >&2; fail "the service served no scanner"; }
  sleep 0.5
done
service_state "$check" STATE | grep -q ' RUNNING$' || fail "$check is not running after its scanner"
"$wine" net stop "$check" >/dev/null || fail "net stop $check failed"
wait_state "$check" STOPPED
[ "$(service_state "$check" WIN32_EXIT_CODE)" = "0  (0x0)" ] ||
  fail "$check stopped with $(service_state "$check" WIN32_EXIT_CODE)"
if ! grep -q 'stop asked for by the service manager' "$data/check.log" ||
  ! grep -q 'zrctl: service stopped with status 0' "$data/check.log" ||
  ! grep -q ',A-1,V2.0.7,ok,' "$data/check.csv"; then
  cat "$data/check.log" "$data/check.csv" >&2
  fail "the service's log and record are not as expected"
fi
"$wine" sc delete "$check" >/dev/null
# Without --log there is nowhere to write: the service stops at once, and
# says so to the service manager rather than never answering it.
"$wine" sc create "$check-nolog" binpath= "\"$programs\\station\\zrctl.exe\" provision \"$profiles\\site.profile\" --windows-service" >/dev/null
"$wine" net start "$check-nolog" >/dev/null 2>&1 || true
wait_state "$check-nolog" STOPPED
[ "$(service_state "$check-nolog" SERVICE_EXIT_CODE)" = "2  (0x2)" ] ||
  fail "$check-nolog stopped with $(service_state "$check-nolog" SERVICE_EXIT_CODE), expected 2"
"$wine" sc delete "$check-nolog" >/dev/null
"$wineserver" -k
"$wineserver" -w

echo "-- msiexec /i LumiqConfigTool $newer /qn (upgrade): the service stays"
msiexec /i "$work/newer.msi"
installed_as "$newer" station
service_value ImagePath | grep -q 'station.zrctl\.exe serve ' || fail "the upgrade lost $service"

echo "-- msiexec /x /qn with the service"
msiexec /x "$work/newer.msi"
no_service "after uninstalling"
[ ! -e "$folder" ] || fail "Program Files\\LumiqConfigTool left behind"
# What the administrator and the service wrote stays; nothing else.
(cd "$data" && ls | LC_ALL=C sort | tr '\n' ' ') >"$work/left"
[ "$(cat "$work/left")" = "check.csv check.log seed.txt site.profile station.log " ] ||
  fail "ProgramData\\LumiqConfigTool holds after uninstalling: $(cat "$work/left")"
rm -rf "$data"
left=$(find "$drive" -iname '*lumiq*' 2>/dev/null || true)
[ -z "$left" ] || fail "left behind after uninstalling the service: $left"
if "$wine" reg query 'HKLM\Software\LumiqConfigTool' >/dev/null 2>&1; then
  fail "left HKLM\\Software\\LumiqConfigTool behind after uninstalling the service"
fi

echo "msi: install, upgrade to $newer, uninstall, and the station service passed"
