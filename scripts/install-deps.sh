#!/bin/sh
# Installs the Debian packages of the given lists (files of one package a
# line, # comments) that are missing, and says how much that was.
# Usage: install-deps.sh LIST...   e.g. scripts/packages-run.txt
set -eu
cd "$(dirname "$0")/.."
[ "$#" -gt 0 ] || { echo "usage: $0 LIST..." >&2; exit 2; }
missing=""
for pkg in $(sed 's/#.*//' "$@" | tr -s ' \n' ' '); do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $pkg"
  fi
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" != 0 ]; then
  echo "missing packages:$missing (run as root, or install them: apt-get install$missing)" >&2
  exit 1
fi
echo "installing:$missing"
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
trap 'rm -f "$log"' EXIT
apt-get update -qq
# shellcheck disable=SC2086
if ! apt-get install -y -q --no-install-recommends $missing >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi
# apt's own summary: how many packages, how much downloaded and on disk.
grep -E '^[0-9]+ upgraded|^Need to get|^After this operation' "$log" || true
