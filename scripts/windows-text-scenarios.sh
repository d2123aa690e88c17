#!/bin/sh
# Text and paths on Windows, in an English (1252) and a Chinese (936) code
# page: under Wine, zrctl.exe and lumiq-headless.exe must send the bytes and
# write the files the Linux programs do, in folders named in scripts that no
# single code page holds. Called by test.d/20-windows-cross.sh with Wine's
# environment set up: WINE BUILD-WIN64 BUILD-LINUX.
set -eu
wine=$1
build=$2
linux=$3
zrctl_linux="$linux/tools/zrctl/zrctl"
headless_linux="$linux/ui/qt/lumiq-headless"
zrctl_win="$build/tools/zrctl/zrctl.exe"
headless_win="$build/ui/win32/lumiq-headless.exe"
work="$build/text-scenarios"
rm -rf "$work"
failed=0
fail() {
  echo "windows-text: $*" >&2
  failed=1
}

# Wine takes its code page from the Unix locale, and reads arguments and
# file names as UTF-8 only under a UTF-8 one: code page 936 needs
# zh_CN.UTF-8, made here from glibc's locale sources when the system lacks it.
locales="$build/locales"
if [ ! -d "$locales/zh_CN.UTF-8" ]; then
  mkdir -p "$locales"
  if ! localedef -i zh_CN -f UTF-8 "$locales/zh_CN.UTF-8" >/dev/null 2>&1; then
    rm -rf "$locales/zh_CN.UTF-8"
    echo "windows-text: cannot make the zh_CN.UTF-8 locale (needs the locales package)" >&2
    exit 1
  fi
fi

# The folders and files every pass starts from.
prepare() {
  mkdir -p "$1/张三" "$1/한국" "$1/😀"
  printf '%s\n' 'masterver=V2.0.7' 'deviceno=仓库-7' 'codeprefix=\xFF\x81' 'io_outputs=com1' \
    >"$1/😀/seed.txt"
  printf 'masterver=V2.0.7\n' >"$1/한국/blank.txt"
  # A scanner of a fleet and its profile, for check and apply.
  printf '%s\n' 'deviceno=仓库-9' 'codeprefix=\xFF\x81' 'io_outputs=com1' >"$1/한국/fleet.txt"
  printf '%s\n' 'masterver=V2.0.7' 'codeprefix=条€' 'io_outputs=hid0' \
    'io_inits=com0,hid0,hid1,com2' 'io_monitors=hid1' >"$1/张三/golden.profile"
  # A dump as zrctl wrote it before values were text: every byte escaped.
  printf '%s\n' '# zrctl profile: firmware V2.0.7, device number \xB2\xD6\xBF\xE2-7' \
    'deviceno=\xB2\xD6\xBF\xE2-7' 'codeprefix=\xCC\xF5\x80' >"$1/old.profile"
}

# run SIDE DIR EXPECTED-STATUS PROGRAM ARGUMENTS...: stdout to DIR/last.out,
# stderr to DIR/last.err.
run() {
  side=$1
  dir=$2
  expected=$3
  program=$4
  shift 4
  set +e
  if [ "$side" = linux ]; then
    (cd "$dir" && "$program" "$@" >last.out 2>last.err)
  else
    (cd "$dir" && timeout 120 env $winenv "$wine" "$program" "$@" >last.out 2>last.err)
  fi
  status=$?
  set -e
  if [ "$status" -ne "$expected" ]; then
    fail "$side ($dir): $(basename "$program") $* ended with $status, expected $expected: $(cat "$dir/last.err")"
  fi
}

# The same steps on each side; the files they leave are compared after.
steps() {
  side=$1
  dir=$2
  zrctl=$3
  headless=$4
  # Typed text goes out as the window sends it; the escape as the byte.
  run "$side" "$dir" 0 "$zrctl" --simulate=😀/seed.txt set --commit 'codeprefix=条€' \
    'codepostfix=\xE6'
  cp "$dir/😀/seed.txt" "$dir/seed-before.txt"
  for value in Straße 'ok😀'; do
    run "$side" "$dir" 2 "$zrctl" --simulate=😀/seed.txt set --commit "codeprefix=$value"
    case $value in Straße) code=U+00DF ;; *) code=U+1F600 ;; esac
    grep -q "$code" "$dir/last.err" || fail "$side: set codeprefix=$value: $code not named"
  done
  cmp -s "$dir/😀/seed.txt" "$dir/seed-before.txt" || fail "$side: a refused set changed the scanner"
  # A dump holding Chinese, into a Chinese folder, restored from it into a
  # Korean one and dumped again.
  run "$side" "$dir" 0 "$zrctl" --simulate=😀/seed.txt dump 张三/a.profile
  run "$side" "$dir" 0 "$zrctl" --simulate=한국/blank.txt restore 张三/a.profile
  run "$side" "$dir" 0 "$zrctl" --simulate=한국/blank.txt dump 한국/b.profile
  cmp -s "$dir/张三/a.profile" "$dir/한국/b.profile" ||
    fail "$side: the profile did not come back byte for byte through restore"
  # The old escaped dump means what it always did.
  run "$side" "$dir" 0 "$zrctl" --simulate=😀/seed.txt diff old.profile
  # zrctl writes text, in CR LF on Windows, which PowerShell takes as lines.
  keep_text() { tr -d '\r' <"$dir/last.out" >"$dir/$1"; }
  # What a detection and a remediation script run: check finds the
  # scanner differing and sends nothing, apply sends, both are then at peace.
  run "$side" "$dir" 1 "$zrctl" --simulate=한국/fleet.txt check --summary 张三/golden.profile
  keep_text check-before.out
  run "$side" "$dir" 0 "$zrctl" --simulate=한국/fleet.txt apply 张三/golden.profile
  keep_text apply.out
  run "$side" "$dir" 0 "$zrctl" --simulate=한국/fleet.txt check --summary 张三/golden.profile
  keep_text check-after.out
  run "$side" "$dir" 0 "$zrctl" --simulate=한국/fleet.txt apply --summary 张三/golden.profile
  keep_text apply-again.out
  # The window's buttons, through the runner: export and import in each folder.
  run "$side" "$dir" 0 "$headless" --seed 😀/seed.txt --trace 한국/run.trace \
    export:张三/w.profile import:한국/b.profile text:137:1103=仓库8 save export:😀/after.profile
  mv "$dir/last.out" "$dir/run.out"
}

mkdir -p "$work/linux"
prepare "$work/linux"
winenv=""
steps linux "$work/linux" "$zrctl_linux" "$headless_linux"
grep -q '^codeprefix=条€$' "$work/linux/张三/a.profile" ||
  fail "linux: the dump does not hold codeprefix=条€ as text"
grep -qx 'changed=no comment="1 scanner: 1 differs (codeprefix, io_outputs, io_inits, io_monitors)"' \
  "$work/linux/check-before.out" || fail "linux: check: $(cat "$work/linux/check-before.out")"
grep -qx 'changed=no comment="1 scanner compliant"' "$work/linux/apply-again.out" ||
  fail "linux: a second apply: $(cat "$work/linux/apply-again.out")"

for codepage in 1252 936; do
  dir="$work/windows-$codepage"
  mkdir -p "$dir"
  prepare "$dir"
  if [ "$codepage" = 936 ]; then
    winenv="LOCPATH=$locales LC_ALL=zh_CN.UTF-8"
  else
    winenv="LC_ALL=C.UTF-8"
  fi
  # Each code page in a Wine of its own.
  "$(dirname "$wine")/wineserver" -k 2>/dev/null || true
  # Wine's cmd says "Active code page" only in English.
  if env $winenv "$wine" cmd /c chcp 2>/dev/null | grep -q '^Active code page'; then
    english=1252
  else
    english=936
  fi
  [ "$english" = "$codepage" ] || fail "the $codepage pass runs in another code page"
  steps windows "$dir" "$zrctl_win" "$headless_win"
  if [ "$codepage" = 936 ]; then
    # The stage ran the Win32 tests in 1252; the text and path ones again here.
    env $winenv "$wine" "$build/tests/win32/win32_ui_tests.exe" --gtest_brief=1 \
      --gtest_filter='Win32Text.*:Win32Paths.*' || fail "code page 936: Win32 text tests"
  fi
  for file in 😀/seed.txt seed-before.txt 张三/a.profile 한국/b.profile 张三/w.profile \
    😀/after.profile 한국/run.trace run.out 한국/fleet.txt check-before.out apply.out \
    check-after.out apply-again.out; do
    if ! cmp -s "$work/linux/$file" "$dir/$file"; then
      fail "code page $codepage: $file differs from Linux's:"
      diff "$work/linux/$file" "$dir/$file" >&2 || true
    fi
  done
  echo "-- text and paths in code page $codepage: $(wc -l <"$dir/한국/run.trace") commands"
done
"$(dirname "$wine")/wineserver" -k 2>/dev/null || true

# The bytes zrctl set for 条€ and \xE6 (every side's are Linux's, compared
# above), read against a profile that spells them as bytes.
printf '%s\n' 'codeprefix=\xCC\xF5\x80' 'codepostfix=\xE6' >"$work/sent.profile"
"$zrctl_linux" --simulate="$work/linux/seed-before.txt" diff "$work/sent.profile" >&2 ||
  fail "zrctl set codeprefix=条€ did not send CC F5 80"
[ "$failed" -eq 0 ] || { echo "windows-text: failed (files in $work)" >&2; exit 1; }
