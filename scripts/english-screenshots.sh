#!/bin/sh
# Screenshots of every window and tab in English, into docs/screenshots/en/
# (Qt binding, from build/) and docs/screenshots/en/windows/ (Win32 binding
# under Wine on a virtual display, when build-win64/ has lumiq-headless.exe
# and xvfb-run is installed), both on the demo scanner. Not a test: the
# images are committed.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
out="$root/docs/screenshots/en"
qt="$root/build/ui/qt/lumiq-headless"
[ -x "$qt" ] || { echo "english-screenshots: build $qt first" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out"
"$qt" --lang en --screenshots "$out" >/dev/null
# The test-scan window, with three keyboard scans in it: as set, an extra
# line break, no prefix.
scans="testscan keys:SN:4711\\r keys:SN:4711\\r\\n keys:4711\\r"
shots=$(mktemp -d)
# shellcheck disable=SC2086
"$qt" --lang en --seed scripts/test-scan.seed --screenshots "$shots" $scans >/dev/null
cp "$shots/testscan.png" "$out/"
rm -rf "$shots"

exe="$root/build-win64/ui/win32/lumiq-headless.exe"
if [ ! -f "$exe" ] || ! command -v xvfb-run >/dev/null; then
  echo "english-screenshots: no $exe or no xvfb-run: Qt shots only"
  ls "$out"
  exit 0
fi
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
# The prefix of scripts/windows-screenshots.sh, set up the same way: the X
# driver, undecorated windows that Wine frames itself, the dialog fonts
# mapped to the installed WenQuanYi Micro Hei.
export WINEPREFIX="$root/build-win64/wine-screens"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
export LC_ALL=C.UTF-8
stop_wine() { "$(dirname "$wine")/wineserver" -k 2>/dev/null || true; }
trap stop_wine EXIT
for face in "微软雅黑" "宋体" "System" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma"; do
  "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "WenQuanYi Micro Hei" \
    /f >/dev/null 2>&1
done
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
stop_wine
mkdir -p "$out/windows"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$wine" "$exe" --lang en --screenshots "$(printf 'Z:%s' "$out/windows" | tr / '\\')" >/dev/null
shots=$(mktemp -d)
# shellcheck disable=SC2086
xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$wine" "$exe" --lang en --seed scripts/test-scan.seed \
  --screenshots "$(printf 'Z:%s' "$shots" | tr / '\\')" $scans >/dev/null
cp "$shots/testscan.png" "$out/windows/"
rm -rf "$shots"
ls "$out" "$out/windows"
