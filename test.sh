#!/bin/sh
# Installs what is missing, builds, and runs every test. Build folders are
# reused on a second run.
set -eu
cd "$(dirname "$0")"
./scripts/install-deps.sh scripts/packages-run.txt scripts/packages.txt
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIQ_WERROR=ON -DLUMIQ_BUILD_TESTS=ON >/dev/null
cmake --build build -j "$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")

# Further test stages (sanitizers, Windows cross-build, fuzzing, ...), each
# failing the whole run on its own failure.
for step in scripts/test.d/*.sh; do
  [ -e "$step" ] || continue
  echo "== $step"
  sh "$step"
done
echo "all tests passed"
