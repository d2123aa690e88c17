#!/bin/sh
# Windows cross-build: the link, zrctl and the link's tests built with
# mingw-w64 (warnings are errors on our targets), the tests and `zrctl list`
# run under Wine, headless. Reuses build-win64/ on a second run.
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

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIQ_BUILD_UI=OFF >/dev/null

targets="lumiq_link platform_tests"
tests="tests/platform/platform_tests.exe"
if [ -f tests/link/CMakeLists.txt ]; then
  targets="$targets link_tests"
  tests="tests/link/link_tests.exe $tests"
fi
zrctl=""
if [ -f tools/zrctl/CMakeLists.txt ]; then
  targets="$targets zrctl"
  zrctl="$build/tools/zrctl/zrctl.exe"
fi
# shellcheck disable=SC2086
cmake --build "$build" -j "$jobs" --target $targets

# Wine keeps its prefix inside the build folder and must never need a
# display: the programs are console programs.
export WINEPREFIX="$build/wine-prefix"
export WINEDEBUG=-all
# No Mono or Gecko: their install prompts are the only windows a new prefix
# would try to open.
export WINEDLLOVERRIDES="mscoree=;mshtml="
unset DISPLAY WAYLAND_DISPLAY
stop_wine() { WINEPREFIX="$build/wine-prefix" "$(dirname "$wine")/wineserver" -k 2>/dev/null || true; }
trap stop_wine EXIT

for test in $tests; do
  echo "-- wine $test"
  "$wine" "$build/$test" --gtest_brief=1
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
fi

echo "windows-cross: passed in $(( $(date +%s) - start )) s"
