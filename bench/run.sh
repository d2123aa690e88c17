#!/bin/sh
# Builds the benchmarks in Release in build-bench/ and runs them all; the
# figures that matter are summed up at the end. Takes some twenty-five seconds,
# seven of them real waits (two of 2000 ms, one of 3000). Arguments go to the
# benchmark program (for example --benchmark_filter=Settings).
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh scripts/packages-run.txt scripts/packages.txt
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release \
  -DLUMIQ_BUILD_BENCH=ON -DLUMIQ_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench -j "$(nproc 2>/dev/null || echo 2)" --target lumiq_bench
exec build-bench/bench/lumiq_bench "$@"
