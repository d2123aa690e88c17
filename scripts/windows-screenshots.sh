#!/bin/sh
# Screenshots of every window and every tab of the Windows build, taken by
# lumiq-headless.exe (demo scanner) under Wine on a virtual X display, into
# docs/screenshots/windows/. Needs what the Windows stage needs plus xvfb
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

# The settings above started Wine without a display; it must start afresh
# on the virtual one.
stop_wine

rm -rf "$out"
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$wine" "$exe" --screenshots "$(printf 'Z:%s' "$out" | tr / '\\')" >/dev/null
ls "$out"
