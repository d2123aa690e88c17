#!/bin/sh
# The whole test suite again, built with AddressSanitizer and UBSan (gcc) in
# build-asan/, without the kernel test. Any sanitizer report from any process
# (test programs and the programs they start) fails the stage, even one whose
# exit code a test does not look at: reports go to files, which must stay
# absent.
set -eu
cd "$(dirname "$0")/../.."
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)
build=build-asan
start=$(date +%s)

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DLUMIQ_SANITIZE=ON -DLUMIQ_WERROR=ON >/dev/null

logs="$root/$build/sanitizer-reports"
rm -rf "$logs"
mkdir -p "$logs"
# LeakSanitizer runs everywhere, the Qt programs included: they release
# what they take, so no leak needs suppressing.
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:log_path=$logs/asan"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$logs/ubsan"
export QT_QPA_PLATFORM=offscreen

# Building already runs the test programs (test discovery), so the reports
# are watched from here on.
status=0
cmake --build "$build" -j "$jobs" || status=$?
if [ "$status" = 0 ]; then
  (cd "$build" && ctest -LE kernel --output-on-failure -j "$jobs") || status=$?
fi

sh scripts/sanitizer-reports.sh "$logs" || status=1
echo "sanitizers: $(($(date +%s) - start)) s"
exit "$status"
