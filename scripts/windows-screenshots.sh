#!/bin/sh
# Screenshots of every window and every tab of the Windows build, taken by
# lumiq-headless.exe (demo scanner) under Wine on a virtual X display, into
# docs/screenshots/windows/: at 96 DPI, and at 144 DPI (150 %, the factory
# setting of many laptops) with "-144dpi" before the extension. Needs what the Windows stage needs plus xvfb
# (xvfb-run); run it after scripts/test.d/20-windows-cross.sh has built
# build-win64/. Not a test: the images are committed.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build-win64"
out="$root/docs/screenshots/windows"
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
exe="$build/ui/win32/lumiq-headless.exe"
[ -f "$exe" ] || { echo "windows-screenshots: build $exe first" >&2; exit 1; }
command -v xvfb-run >/dev/null || { echo "windows-screenshots: needs xvfb" >&2; exit 1; }

# A prefix of its own with the X driver (the test prefix has the null one).
export WINEPREFIX="$build/wine-screens"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
export LC_ALL=C.UTF-8
stop_wine() { "$(dirname "$wine")/wineserver" -k 2>/dev/null || true; }
trap stop_wine EXIT

# The dialog fonts are Windows' Chinese fonts; Wine has none of them, so they
# are mapped to the installed WenQuanYi Micro Hei.
font="WenQuanYi Micro Hei"
for face in "微软雅黑" "宋体" "System" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma"; do
  "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "$font" /f >/dev/null 2>&1
done

# No window manager runs on the virtual display: Wine draws the captions and
# frames itself, so the shots show them as Windows would.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

# shoot DPI FOLDER: the display's scale is read when Wine starts, so the
# settings above and the DPI take effect on a fresh start on the virtual
# display.
shoot() {
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  stop_wine
  xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$wine" "$exe" --screenshots "$(printf 'Z:%s' "$2" | tr / '\\')" >/dev/null
  # The test-scan window, with three keyboard scans in it.
  shots=$(mktemp -d)
  xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$wine" "$exe" --seed scripts/test-scan.seed \
    --screenshots "$(printf 'Z:%s' "$shots" | tr / '\\')" testscan 'keys:SN:4711\r' \
    'keys:SN:4711\r\n' 'keys:4711\r' >/dev/null
  cp "$shots/testscan.png" "$2/"
  rm -rf "$shots"
  stop_wine
}

rm -rf "$out"
mkdir -p "$out/144"
shoot 96 "$out"
shoot 144 "$out/144"
for shot in "$out"/144/*.png; do
  name=$(basename "$shot" .png)
  mv "$shot" "$out/$name-144dpi.png"
done
rmdir "$out/144"
ls "$out"
