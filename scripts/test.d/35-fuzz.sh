#!/bin/sh
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a
# bounded time. A crash, a sanitizer report, a leak or an input that takes
# longer than LUMIQ_FUZZ_TIMEOUT seconds fails the stage; the input is kept
# in fuzz/artifacts/. What a run learns is kept in build-fuzz/corpus/ for the
# next run; fuzz/corpus/ (the seeds in the repository) is only read.
#   LUMIQ_FUZZ_SECONDS  seconds per target (default 50)
set -eu
cd "$(dirname "$0")/../.."
jobs=$(nproc 2>/dev/null || echo 2)
build=build-fuzz
seconds=${LUMIQ_FUZZ_SECONDS:-50}
timeout=${LUMIQ_FUZZ_TIMEOUT:-10}
start=$(date +%s)

if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLUMIQ_BUILD_FUZZ=ON -DLUMIQ_BUILD_UI=OFF -DLUMIQ_BUILD_TESTS=OFF -DLUMIQ_WERROR=ON >/dev/null
else
  cmake -S . -B "$build" -DLUMIQ_WERROR=ON >/dev/null
fi
cmake --build "$build" -j "$jobs" --target fuzz_all

mkdir -p fuzz/artifacts
status=0
for target in fuzz_transact fuzz_hidraw fuzz_pages fuzz_seed; do
  binary="$build/fuzz/$target"
  [ -x "$binary" ] || continue
  mkdir -p "$build/corpus/$target"
  log="$build/$target.log"
  if "$binary" -max_total_time="$seconds" -timeout="$timeout" -print_final_stats=1 \
      -artifact_prefix=fuzz/artifacts/"$target"- \
      "$build/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    last=$(grep -E '^#[0-9]+' "$log" | tail -n 1 | grep -oE 'cov: [0-9]+ ft: [0-9]+' || true)
    echo "$target: $runs runs, $last"
  else
    echo "$target FAILED (log: $log)" >&2
    grep -E 'ERROR|runtime error|check failed|SUMMARY|Test unit written' "$log" >&2 || tail -n 40 "$log" >&2
    status=1
  fi
done
echo "fuzz: $(($(date +%s) - start)) s"
exit "$status"
