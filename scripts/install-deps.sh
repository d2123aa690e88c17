#!/bin/sh
# Installs the Debian packages of scripts/packages.txt that are missing.
set -eu
cd "$(dirname "$0")/.."
missing=""
for pkg in $(grep -v '^#' scripts/packages.txt | sed 's/#.*//' | tr -s ' \n' ' '); do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $pkg"
  fi
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" != 0 ]; then
  echo "missing packages:$missing (run as root, or install them)" >&2
  exit 1
fi
echo "installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $missing >/dev/null
