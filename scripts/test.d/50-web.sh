#!/bin/sh
# The browser page: the toolkit-free layers compiled with Debian's
# Emscripten into build-web/page (only the page's targets: no Qt, no
# tests), its files' compressed sizes held to 1 MB in all, a release zip,
# then the page in headless Chromium on stand-in scanners
# (tests/web/run_page.js): the desktop runner's scenarios must leave the
# same scanner trace, print the same messages and write the same profiles
# as the Linux lumiq-headless of build/ (when ./test.sh has built it), and
# a benchmark figure for Load and Save at 1 ms per report. Reuses build-web/
# on a second run.
set -eu
cd "$(dirname "$0")/../.."
root=$(pwd)
build="$root/build-web"
jobs=$(nproc 2>/dev/null || echo 2)
start=$(date +%s)

for tool in emcmake em++ node chromium; do
  if ! command -v "$tool" >/dev/null; then
    echo "web: needs $tool (scripts/packages.txt: emscripten, chromium, node-ws)" >&2
    exit 1
  fi
done
# Debian's Emscripten runs its tools with the system's Node modules.
export NODE_PATH=/usr/share/nodejs
# Debian ships the system libraries prebuilt in a frozen cache; anything it
# lacks would be built into build-web/ and kept for the next run.
if [ ! -d /usr/share/emscripten/cache/sysroot/lib/wasm32-emscripten ]; then
  export EM_CACHE="$build/emscripten-cache" EM_FROZEN_CACHE=0
fi

# The WebHID backend's JavaScript half on a fake navigator.hid: no build needed.
mkdir -p "$build"
node --test tests/web/webhid_test.js >"$build/webhid-test.log" 2>&1 || {
  cat "$build/webhid-test.log" >&2
  exit 1
}
grep -E '^# (pass|fail)' "$build/webhid-test.log" | tr '\n' ' ' | sed 's/^/web: webhid.js: /; s/ $/\n/'
rm -f "$build/webhid-test.log"

if [ ! -f "$build/CMakeCache.txt" ]; then
  emcmake cmake --preset web >/dev/null
fi
cmake --build "$build" -j "$jobs" --target lumiq-page

# What a browser fetches, compressed as a server sends it.
page="$build/page"
total=0
for file in index.html lumiq.js lumiq.css lumiq.svg lumiq-web.js lumiq-web.wasm lumiq-sim.js standin-hid.js; do
  size=$(gzip -9c "$page/$file" | wc -c)
  total=$((total + size))
  printf 'web: %-16s %8d bytes, %7d gzip\n' "$file" "$(wc -c <"$page/$file")" "$size"
done
echo "web: the page's files compressed: $total bytes"
if [ "$total" -gt 1048576 ]; then
  echo "web: the page's files exceed 1 MB compressed" >&2
  exit 1
fi

version=$(sed -n 's/^project(LumiqConfigTool VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
zip="$build/LumiqConfigTool-$version-web.zip"
rm -f "$zip"
(cd "$page" && cmake -E tar cf "$zip" --format=zip index.html lumiq.js lumiq.css lumiq.svg \
  lumiq-web.js lumiq-web.wasm lumiq-sim.js standin-hid.js)
echo "web: $zip"

headless="$root/build/ui/qt/lumiq-headless"
set -- --page "$page" --work "$build/page-tests" --bench \
  --screenshots "${LUMIQ_WEB_SCREENSHOTS:-$build/screenshots}"
if [ -x "$headless" ]; then
  set -- "$@" --headless "$headless"
else
  echo "web: no $headless: the page's traces are not compared with the Linux runner's" >&2
fi
node tests/web/run_page.js "$@"

echo "web: passed in $(( $(date +%s) - start )) s"
