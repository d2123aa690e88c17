#!/bin/sh
# Installs what is missing, builds, and starts the tool on the built-in
# simulated scanner.
set -eu
cd "$(dirname "$0")"
./scripts/install-deps.sh scripts/packages-run.txt
# Without the tests, which need more packages (./test.sh turns them on, and a
# later ./run.sh leaves that as it is).
if [ -f build/CMakeCache.txt ]; then
  cmake -S . -B build >/dev/null
else
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIQ_BUILD_TESTS=OFF >/dev/null
fi
cmake --build build -j "$(nproc 2>/dev/null || echo 2)"
if [ -x build/ui/qt/LumiqConfigTool-demo ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec build/ui/qt/LumiqConfigTool-demo
fi
echo "No display: here is the demo scanner's whole configuration instead"
echo "(build/ui/qt/lumiq-headless --screenshots DIR makes pictures of every window)."
exec build/tools/zrctl/zrctl --simulate dump
