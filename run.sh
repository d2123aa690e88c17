#!/bin/sh
# Installs what is missing, builds, and starts the tool on the built-in
# simulated scanner.
set -eu
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)"
if [ -x build/ui/qt/LumiqConfigTool-demo ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec build/ui/qt/LumiqConfigTool-demo
fi
echo "No display: here is the demo scanner's whole configuration instead"
echo "(build/ui/qt/lumiq-headless --screenshots DIR makes pictures of every window)."
exec build/tools/zrctl/zrctl --simulate dump
