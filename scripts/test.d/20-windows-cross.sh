#!/bin/sh
# Windows cross-build: the link, zrctl, the link's tests, zrctl's Windows
# tests (the service glue, the profile check on access lists), the windows'
# toolkit-free behaviour tests and the three Win32 programs built with
# mingw-w64 (warnings are errors on our targets); the tests and
# `zrctl list` run under Wine, headless; then lumiq-headless.exe
# runs the same scenarios as the Linux lumiq-headless of build/ (which
# ./test.sh has built) and must print the same bytes and leave the same
# scanner trace. Reuses build-win64/ on a second run.
set -eu
cd "$(dirname "$0")/../.."
root=$(pwd)
build="$root/build-win64"
jobs=$(nproc 2>/dev/null || echo 2)
start=$(date +%s)

wine=$(command -v wine64 || true)
[ -n "$wine" ] || [ ! -x /usr/lib/wine/wine64 ] || wine=/usr/lib/wine/wine64
if [ -z "$wine" ] || ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  echo "windows-cross: needs g++-mingw-w64-x86-64 and wine64" >&2
  exit 1
fi
linux_headless="$root/build/ui/qt/lumiq-headless"
if [ ! -x "$linux_headless" ]; then
  echo "windows-cross: needs the Linux build's $linux_headless (run ./test.sh)" >&2
  exit 1
fi

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIQ_WERROR=ON >/dev/null

targets="lumiq_link platform_tests app_tests LumiqConfigTool LumiqConfigTool-demo lumiq-headless win32_ui_tests"
tests="tests/platform/platform_tests.exe tests/app/app_tests.exe tests/win32/win32_ui_tests.exe"
if [ -f tests/link/CMakeLists.txt ]; then
  targets="$targets link_tests"
  tests="tests/link/link_tests.exe $tests"
fi
zrctl=""
if [ -f tools/zrctl/CMakeLists.txt ]; then
  targets="$targets zrctl zrctl_windows_tests"
  zrctl="$build/tools/zrctl/zrctl.exe"
  tests="$tests tests/zrctl/zrctl_windows_tests.exe"
fi
# shellcheck disable=SC2086
cmake --build "$build" -j "$jobs" --target $targets

# The programs must run from any folder: nothing but Windows' own DLLs.
for exe in LumiqConfigTool LumiqConfigTool-demo lumiq-headless; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$build/ui/win32/$exe.exe" | sed -n 's/.*DLL Name: //p' |
    grep -viE '^(kernel32|advapi32|user32|gdi32|comctl32|comdlg32|uxtheme|ole32|oleacc|msvcrt|setupapi|hid)\.dll$' || true)
  if [ -n "$dlls" ]; then
    echo "windows-cross: $exe.exe needs DLLs Windows lacks: $dlls" >&2
    exit 1
  fi
done

# Wine keeps its prefix inside the build folder and never needs a display:
# the null graphics driver creates windows without one.
export WINEDEBUG=-all
# No Mono or Gecko: their install prompts are the only windows a new prefix
# would try to open.
export WINEDLLOVERRIDES="mscoree=;mshtml="
# Arguments reach Wine as UTF-8 only under a UTF-8 locale.
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
stop_wine() {
  for prefix in "$build/wine-prefix" "$build/wine-prefix-144"; do
    WINEPREFIX="$prefix" "$(dirname "$wine")/wineserver" -k 2>/dev/null || true
  done
}
trap stop_wine EXIT
# prepare_prefix DIR DPI: the null graphics driver, the display's DPI, and
# the dialog fonts mapped to the one installed Chinese font (the fonts the
# screenshots and the Linux build use), so that captions are measured in
# the font an operator sees.
prepare_prefix() {
  export WINEPREFIX="$1"
  [ -f "$WINEPREFIX/.prepared-$2" ] && return 0
  "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$2" /f >/dev/null 2>&1
  for face in "微软雅黑" "宋体" "System" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma"; do
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" \
      /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  done
  # A new prefix starts its desktop with the default driver before the
  # settings exist; the programs below must find a desktop on the null one.
  "$(dirname "$wine")/wineserver" -w
  touch "$WINEPREFIX/.prepared-$2"
}

# The windows at 150 %: pages, keys and captions once more at 144 DPI.
prepare_prefix "$build/wine-prefix-144" 144
echo "-- wine tests/win32/win32_ui_tests.exe at 144 DPI"
LUMIQ_EXPECT_DPI=144 "$wine" "$build/tests/win32/win32_ui_tests.exe" --gtest_brief=1 \
  --gtest_filter='Win32Desk.*:Win32MessageBox.*'
"$(dirname "$wine")/wineserver" -k 2>/dev/null || true

prepare_prefix "$build/wine-prefix" 96
for test in $tests; do
  echo "-- wine $test"
  LUMIQ_EXPECT_DPI=96 "$wine" "$build/$test" --gtest_brief=1
done

if [ -n "$zrctl" ]; then
  # Wine has no scanner: the listing must say so and end with status 1.
  echo "-- wine zrctl.exe list"
  set +e
  output=$("$wine" "$zrctl" list 2>&1)
  status=$?
  set -e
  printf '%s\n' "$output"
  if [ "$status" -ne 1 ] || [ -z "$output" ]; then
    echo "windows-cross: zrctl.exe list ended with status $status, expected 1 with a message" >&2
    exit 1
  fi
  # Nor does a detection script's check: status 3, and its one line says why.
  echo "-- wine zrctl.exe --all check --summary"
  printf 'qrcode=0\n' >"$build/fleet-check.profile"
  set +e
  output=$(cd "$build" && "$wine" "$zrctl" --all check --summary fleet-check.profile 2>/dev/null)
  status=$?
  set -e
  printf '%s\n' "$output"
  case $output in
    'changed=no comment="no scanner found'*) ;;
    *) status=-1 ;;
  esac
  if [ "$status" -ne 3 ]; then
    echo "windows-cross: zrctl.exe check ended with status $status, expected 3 and the summary line" >&2
    exit 1
  fi
fi

# --- one scenario, two bindings ---
work="$build/headless-scenarios"
rm -rf "$work"
mkdir -p "$work/linux" "$work/windows"
# Seeds: one scanner per output channel (Wi-Fi is the demo's), with values
# that must go back byte for byte: GBK text and bytes that are not GBK.
# (Not "com1.txt": Windows takes that name for the serial port.)
seed() {
  name=$1
  shift
  {
    echo "masterver=V2.0.7"
    echo 'deviceno=\xB2\xD6\xBF\xE2-7'
    echo 'codeprefix=\xFF\x81'
    echo 'codepostfix=\xB2'
    echo "contentorder=PREFIX,CONTENT,POSTFIX,ENTER"
    for line in "$@"; do echo "$line"; done
  } >"$work/$name"
}
seed seed-com1.txt io_outputs=com1 io_inits=com1,hid1 io_monitors=com1 com1_baudrate=115200 \
  com1_stopbits=1 com1_bytesizes=8 com1_paritys=NONE
seed seed-hid0.txt io_outputs=hid0 io_inits=hid0 io_monitors=hid0 hid0_presskeytime=20 \
  hid0_upkeytime=10
seed seed-bluetooth0.txt io_outputs=bluetooth0 io_inits=bluetooth0,com0 io_monitors=bluetooth0 \
  'bluetooth0_name=ZR-BT-\xC0\xB6'

failed=0
# scenario NAME EXPECTED-STATUS ARGUMENTS...: relative paths, so that both
# programs read the same seed and write a trace of the same name.
scenario() {
  name=$1
  expected=$2
  shift 2
  for side in linux windows; do
    cp "$work"/seed-*.txt "$work/$side/"
    set +e
    if [ "$side" = linux ]; then
      (cd "$work/$side" && "$linux_headless" --trace "$name.trace" "$@" >"$name.out" 2>"$name.err")
    else
      # A window waiting for input would wait for ever here.
      (cd "$work/$side" && timeout 120 "$wine" "$build/ui/win32/lumiq-headless.exe" \
        --trace "$name.trace" "$@" >"$name.out" 2>"$name.err")
    fi
    status=$?
    set -e
    if [ "$status" -ne "$expected" ]; then
      echo "windows-cross: $name: $side runner ended with $status, expected $expected" >&2
      cat "$work/$side/$name.err" >&2
      failed=1
    fi
  done
  for kind in out trace; do
    if ! cmp -s "$work/linux/$name.$kind" "$work/windows/$name.$kind"; then
      echo "windows-cross: $name: the two runners differ in their $kind:" >&2
      diff "$work/linux/$name.$kind" "$work/windows/$name.$kind" >&2 || true
      failed=1
    fi
  done
  if [ ! -s "$work/linux/$name.out" ]; then
    echo "windows-cross: $name: no message printed" >&2
    failed=1
  fi
  echo "-- scenario $name: $(wc -l <"$work/windows/$name.trace") commands, $(wc -l <"$work/windows/$name.out") messages"
}

scenario connect-fails 1 --silent-from 1 save
scenario version-fails 1 --silent-from 2 save
scenario every-page-edited 0 \
  uncheck:130:1033 check:130:1093 \
  tab:1 text:133:1103=ZR-Test text:133:1150=仓库 text:133:1043=WPAPSK text:133:1153=TKIP \
  text:133:1154=pa55#word text:133:1155=10.0.0.9 text:133:1156=9a2b00 text:133:1157=/scan?x=1 \
  check:133:1151 check:133:1212 \
  tab:2 check:132:1061 uncheck:132:1060 check:132:1104 text:132:1063=前缀 text:132:1001=7F \
  check:132:1207 check:132:1235 check:132:1249 text:132:1221=4a5 text:132:1220=12 \
  tab:3 check:131:1100 text:131:1001=1500 check:131:1219 uncheck:131:1073 check:131:1246 \
  check:131:1192 check:131:1199 check:131:1213 check:131:1210 check:131:1223 \
  text:131:1216=2 text:131:1215=9 \
  tab:4 text:137:1103=仓库7号 save save exit
scenario load-fails 0 --silent-from 3 tab:3 save
scenario set-fails 0 --silent-from 60 text:137:1103=ZR-1 save
scenario unencodable-text 0 --seed seed-com1.txt text:137:1103=仓库😀 text:132:1063=한글 \
  text:133:1067=9600 save
# A leading U+FEFF typed is refused by both, not dropped.
scenario byte-order-mark 0 "text:137:1103=$(printf '\357\273\277')7" save
if ! grep -q 'deviceno' "$work/windows/byte-order-mark.out" 2>/dev/null ||
  grep -q 'SET deviceno' "$work/windows/byte-order-mark.trace" 2>/dev/null; then
  echo "windows-cross: byte-order-mark: the typed U+FEFF was not refused naming deviceno" >&2
  failed=1
fi
scenario channel-com1 0 --seed seed-com1.txt text:133:1067=57600 text:133:1068=2 \
  text:133:1069=7 text:133:1070=EVEN save
scenario channel-hid0 0 --seed seed-hid0.txt text:132:1221=35 text:132:1220=x15 save
scenario channel-wifi0 0 text:133:1103=AP-9 check:133:1152 text:133:1154=秘钥 save
scenario channel-bluetooth0 0 --seed seed-bluetooth0.txt text:133:1159=蓝牙-8 save
# The test-scan window: a keyboard scanner's scans against the prefix and
# enter set (one as set, a missing CR, an extra LF), then a hex prefix typed
# (one without it, one with it); serial scans on the scanner's port after
# the channel is switched, and the switch saved.
seed seed-scan.txt io_outputs=hid0 io_inits=hid0 io_monitors=hid0 'codeprefix=SN:' \
  codepostfix= codeprepostformat=char nfcable=0 hid0_presskeytime=20 hid0_upkeytime=10 \
  com1_baudrate=9600 com1_stopbits=1 com1_bytesizes=8 com1_paritys=NONE
scenario test-scan-keys 0 --seed seed-scan.txt testscan 'keys:SN:4711\r' 'keys:SN:4711' \
  'keys:SN:4711\r\n' tab:2 check:132:1207 text:132:1063=1D53 testscan 'keys:SN:4711\r' \
  'keys:\x1dS4711\r' exit
scenario test-scan-serial 0 --seed seed-scan.txt channel:com1 testscan 'serial:SN:12\r' \
  'serial:SN:12\r\n' 'serial:\xB2\xD6SN:\x00' save
for name in test-scan-keys test-scan-serial; do
  if ! grep -q '^SCAN .* MATCH$' "$work/windows/$name.out" ||
    ! grep -q '^SCAN .* DIFFERS ' "$work/windows/$name.out"; then
    echo "windows-cross: $name: the scans were not all reported" >&2
    failed=1
  fi
done
# Switching the channel: the new channel's parameters read, nothing sent
# until Save, and Save sending that channel.
scenario channel-switch 0 --seed seed-hid0.txt channel:wifi0 text:133:1103=AP-1 \
  channel:bluetooth0 text:133:1159=BT-2 save channel:com1 testscan save
scenario english-test-scan 0 --lang en --seed seed-scan.txt testscan 'keys:SN:1\r\n' \
  channel:wifi0 testscan
# A configuration exported, another imported and saved, then exported
# again: the files written must be the same bytes on both sides too.
{
  echo "# another counter's scanner"
  echo 'codeprefix=\xC7\xB0'
  echo "io_outputs=hid0"
  echo "hid0_presskeytime=30"
} >"$work/seed-import.txt"
scenario profile-transfer 0 --seed seed-com1.txt export:before.profile \
  import:seed-import.txt save export:after.profile
# Imports the window must not take as written: a channel switched on (its
# parameters read from the scanner first), values no control shows, keys of
# channels that are off, an edit lost to the import.
echo "io_outputs=com1" >"$work/seed-import-switch.txt"
printf '%s\n' 'qrcode=1 ' dmcode=2 workmode=9 wifi0_protocol=UDP com1_baudrate=9600 \
  bluetooth0_name=BT foo=1 >"$work/seed-import-odd.txt"
echo "io_outputs=com1,hid0" >"$work/seed-import-list.txt"
echo "io_outputs=WIFI0" >"$work/seed-import-case.txt"
scenario import-channel-switch 0 import:seed-import-switch.txt save export:switch.profile
scenario import-channel-unread 0 --silent-from 47 import:seed-import-switch.txt save
scenario import-unshowable 0 import:seed-import-odd.txt save export:odd.profile \
  import:seed-import-list.txt export:list.profile text:137:1103=仓库😀 \
  import:seed-import-case.txt save
# A profile prepared without a scanner: opened, edited and saved by both
# runners, no command to any scanner, the same file written (the Linux
# tests restore it with zrctl and compare with what the window sends);
# odd values and missing keys named as an import names them; closing with
# unsaved edits asks; applied to a scanner, Save sends the file's values.
{
  echo "# counter 3: keep this comment"
  cat "$work/seed-com1.txt"
} >"$work/seed-site.txt"
file_scenario() {
  name=$1
  shift
  scenario "$name" 0 "$@"
  if ! cmp -s "$work/linux/seed-site.txt" "$work/windows/seed-site.txt"; then
    echo "windows-cross: $name: the two runners saved different files" >&2
    diff "$work/linux/seed-site.txt" "$work/windows/seed-site.txt" >&2 || true
    failed=1
  fi
}
file_scenario file-open-save open:seed-site.txt check:130:1033 "text:137:1103=仓库-5" \
  text:133:1067=57600 save exit
if ! grep -q '^# counter 3: keep this comment$' "$work/windows/seed-site.txt" ||
  ! grep -q '^deviceno=仓库-5$' "$work/windows/seed-site.txt"; then
  echo "windows-cross: file-open-save: the saved file lost its comment or the edit" >&2
  failed=1
fi
file_scenario file-close-asks open:seed-site.txt check:130:1033 answer:cancel exit answer:save \
  exit
file_scenario file-odd open:seed-import-odd.txt tab:3 exit
file_scenario file-apply open:seed-site.txt apply save
# Applied with two demo scanners plugged in: the chooser, the second chosen.
file_scenario file-apply-chooser --scanners 2 open:seed-site.txt apply pick:2 save
for name in file-open-save file-close-asks file-odd; do
  for side in linux windows; do
    if [ -s "$work/$side/$name.trace" ]; then
      echo "windows-cross: $name: the $side runner sent a scanner commands" >&2
      failed=1
    fi
  done
done
# The same in English: every message of both runners English and the same
# bytes, the commands sent the same as in Chinese.
printf '%s\n' qrcode=1 'no equals sign here' >"$work/seed-import-bad.txt"
scenario english-connect-fails 1 --lang en --silent-from 1 save
scenario english-version-fails 1 --lang en --silent-from 2 save
scenario english-load-fails 0 --lang en --silent-from 3 tab:3 save
scenario english-set-fails 0 --lang en --silent-from 60 text:137:1103=ZR-1 save
scenario english-files 0 --lang en --seed seed-com1.txt import:seed-import-bad.txt \
  import:seed-import-odd.txt export:english.profile text:137:1103=仓库😀 export:refused.profile \
  save
for name in english-connect-fails english-version-fails english-load-fails english-set-fails \
  english-files english-test-scan; do
  if grep -qP '[\x{3000}-\x{9FFF}\x{FF00}-\x{FFEF}]' "$work/windows/$name.out"; then
    echo "windows-cross: $name: Chinese in the English messages:" >&2
    cat "$work/windows/$name.out" >&2
    failed=1
  fi
done
# Two scanners at one desk: the chooser's rows, the second one chosen (its
# device number in the export), then one pulled, the other alone, and both
# again.
{
  echo "masterver=V2.0.8"
  echo 'deviceno=\xB2\xD6\xBF\xE2-8'
  echo "io_outputs=hid0"
} >"$work/seed-second.txt"
scenario two-scanners 0 --seed seed-com1.txt --seed seed-second.txt pick:2 export:second.profile \
  exit unplug:1 connect exit plug:1 connect pick:1 text:137:1103=仓库-1 save
if ! grep -q '^deviceno=仓库-8$' "$work/windows/second.profile" 2>/dev/null; then
  echo "windows-cross: two-scanners: the export does not show the second scanner's device number" >&2
  failed=1
fi
for file in before.profile after.profile switch.profile odd.profile list.profile english.profile \
  second.profile; do
  if [ ! -s "$work/linux/$file" ] || ! cmp -s "$work/linux/$file" "$work/windows/$file"; then
    echo "windows-cross: the two runners wrote different $file" >&2
    diff "$work/linux/$file" "$work/windows/$file" >&2 || true
    failed=1
  fi
done
# Text and paths in an English and a Chinese code page.
sh "$root/scripts/windows-text-scenarios.sh" "$wine" "$build" "$root/build" || failed=1
if [ "$failed" -ne 0 ]; then
  echo "windows-cross: the Windows runner differs from the Linux one (files in $work)" >&2
  exit 1
fi

echo "windows-cross: passed in $(( $(date +%s) - start )) s"
