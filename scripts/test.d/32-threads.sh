#!/bin/sh
# The tests of what runs on several threads at once (links on many
# scanners, zrctl --all, the station), built with ThreadSanitizer in
# build-tsan/. Only the programs without a window: the Qt library is not
# built for ThreadSanitizer, and the windows hold one scanner on one thread.
# Any report fails the stage, even from a process whose exit code a test
# does not look at: reports go to files, which must stay absent.
set -eu
cd "$(dirname "$0")/../.."
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)
build=build-tsan
start=$(date +%s)

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIQ_THREAD_SANITIZE=ON \
  -DLUMIQ_BUILD_UI=OFF -DLUMIQ_WERROR=ON >/dev/null

logs="$root/$build/sanitizer-reports"
rm -rf "$logs"
mkdir -p "$logs"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:log_path=$logs/tsan"

status=0
cmake --build "$build" -j "$jobs" --target link_tests sim_tests zrctl_tests zrctl || status=$?
if [ "$status" = 0 ]; then
  for program in tests/link/link_tests tests/sim/sim_tests tests/zrctl/zrctl_tests; do
    echo "-- $program"
    "$build/$program" --gtest_brief=1 || status=1
  done
fi

sh scripts/sanitizer-reports.sh "$logs" || status=1
echo "threads: $(($(date +%s) - start)) s"
exit "$status"
