#!/bin/bash
# Boots a stock Debian kernel under QEMU, with the host's root mounted
# read-only over 9p, and runs a test script inside it, chrooted into the
# host's root, so the programs of the build run unchanged against a real
# kernel HID stack (uhid, hid-generic, hidraw).
#
# usage: run_kernel_test.sh --work DIR --cache DIR --guest-script FILE [NAME=VALUE ...]
#   --work DIR          scratch folder (initramfs, console log, results)
#   --cache DIR         where the kernel is kept between runs
#   --guest-script FILE run by /bin/sh in the guest; NAME=VALUE pairs are
#                       exported to it, as are RESULTS (a writable folder
#                       shared with the host) and SCRATCH (a tmpfs)
#
# The script reports with lines "LUMIQ-KT PASS name" / "LUMIQ-KT FAIL name"
# on the console; this side counts them.
#
# Environment:
#   LUMIQ_SKIP_KERNEL_TEST=1   skip (exit 77), for machines without network
#                              for the first kernel download, or without QEMU
#   LUMIQ_KERNEL_CACHE=DIR     overrides --cache (share one kernel between
#                              build folders)
#   LUMIQ_KERNEL_TEST_TIMEOUT  seconds the guest may run (default 400)
set -u

log() { echo "kernel-test: $*"; }
fail() { echo "kernel-test: FAILED: $*" >&2; exit 1; }

if [ -n "${LUMIQ_SKIP_KERNEL_TEST:-}" ] && [ "${LUMIQ_SKIP_KERNEL_TEST}" != 0 ]; then
  log "skipped (LUMIQ_SKIP_KERNEL_TEST is set)"
  exit 77
fi

work=""
cache=""
guest_script=""
guest_env=()
while [ $# -gt 0 ]; do
  case "$1" in
    --work) work=$2; shift 2 ;;
    --cache) cache=$2; shift 2 ;;
    --guest-script) guest_script=$2; shift 2 ;;
    *=*) guest_env+=("$1"); shift ;;
    *) fail "unknown argument $1" ;;
  esac
done
[ -n "$work" ] && [ -n "$cache" ] && [ -n "$guest_script" ] || fail "usage: $0 --work DIR --cache DIR --guest-script FILE [NAME=VALUE ...]"
cache=${LUMIQ_KERNEL_CACHE:-$cache}
guest_script=$(readlink -f "$guest_script")
[ -f "$guest_script" ] || fail "no guest script $guest_script"

started=$(date +%s.%N)
elapsed() { echo "$(date +%s.%N) $started" | awk '{ printf "%.1f", $1 - $2 }'; }

# --- what the host needs ------------------------------------------------------
hint="install the packages of scripts/packages.txt (./test.sh does), or set LUMIQ_SKIP_KERNEL_TEST=1 to skip this test"
qemu=$(command -v qemu-system-x86_64) || fail "qemu-system-x86_64 not found: $hint"
busybox=""
for candidate in /bin/busybox /usr/bin/busybox; do
  # Only a static busybox runs in an initramfs that has no C library.
  if [ -x "$candidate" ] && ! ldd "$candidate" >/dev/null 2>&1; then busybox=$candidate; break; fi
done
[ -n "$busybox" ] || fail "no statically linked busybox (package busybox-static): $hint"
for tool in cpio dpkg-deb tar xz; do
  command -v "$tool" >/dev/null || fail "$tool not found: $hint"
done

# Module names as the kernel knows them, in load order; each comes with the
# modules it depends on. Of the 9p stack, whatever that kernel version has.
wanted_modules="virtio_pci 9pnet_virtio 9p hid hid_generic uhid"
# Files to take from the package; covers the dependencies of the kernels we
# know, others are fetched on a second pass.
extract_modules="hid hid-generic uhid virtio_ring virtio virtio_pci_modern_dev virtio_pci_legacy_dev virtio_pci netfs fscache 9pnet 9pnet_virtio 9p"

# --- the kernel: downloaded once, then taken from the cache --------------------
module_file() { # module name -> its file in the cache, or nothing
  local name=$1 alt
  alt=$(echo "$name" | tr '_' '-')
  for f in "$cache/kernel/modules/$name.ko" "$cache/kernel/modules/$alt.ko"; do
    [ -f "$f" ] && { echo "$f"; return; }
  done
}

module_depends() {
  tr '\0' '\n' < "$1" | grep -a -m1 '^depends=' | sed 's/^depends=//; s/,/ /g'
}

extract_from_package() { # deb, then module file names without .ko
  local deb=$1; shift
  local patterns=() name
  for name in "$@"; do patterns+=("*/$name.ko" "*/$name.ko.xz" "*/$name.ko.zst" "*/$name.ko.gz"); done
  local tree="$cache/kernel/tree"
  mkdir -p "$tree"
  dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$tree" --wildcards './boot/vmlinuz-*' "${patterns[@]}" 2>/dev/null
  # Some packages have no match for one of the compressions: tar then exits 2
  # although it extracted the rest; what counts is what arrived.
  local f base
  while IFS= read -r f; do
    base=$(basename "$f")
    case "$base" in
      *.ko) cp "$f" "$cache/kernel/modules/$base" ;;
      # busybox insmod may not read compressed modules: unpack them here.
      *.ko.xz) xz -dc "$f" > "$cache/kernel/modules/${base%.xz}" ;;
      *.ko.zst) zstd -qdc "$f" > "$cache/kernel/modules/${base%.zst}" || fail "cannot unpack $base (zstd missing?)" ;;
      *.ko.gz) gzip -dc "$f" > "$cache/kernel/modules/${base%.gz}" ;;
    esac
  done < <(find "$tree" -name '*.ko*' -type f)
  local vmlinuz
  vmlinuz=$(find "$tree/boot" -name 'vmlinuz-*' -type f 2>/dev/null | head -n1)
  [ -n "$vmlinuz" ] && cp "$vmlinuz" "$cache/kernel/vmlinuz"
  rm -rf "$tree"
}

# Sets resolved_order to the wanted modules and their dependencies in load
# order, and missing to those the cache does not hold.
resolve_order() {
  local seen=" " order=""
  visit() {
    local name=$1 file dep
    name=$(echo "$name" | tr '-' '_')
    case "$seen" in *" $name "*) return 0 ;; esac
    seen="$seen$name "
    file=$(module_file "$name")
    if [ -z "$file" ]; then missing="$missing $name"; return 0; fi
    for dep in $(module_depends "$file"); do visit "$dep"; done
    order="$order $name"
  }
  missing=""
  for m in $wanted_modules; do visit "$m"; done
  resolved_order=$order
}

fetch_kernel() {
  local package
  find_package() {
    apt-cache depends linux-image-amd64 2>/dev/null |
      sed -n 's/^ *Depends: \(linux-image-[0-9][^ ]*-amd64\)$/\1/p' | head -n1
  }
  package=$(find_package)
  if [ -z "$package" ] && [ "$(id -u)" = 0 ]; then
    log "no package lists yet: apt-get update"
    apt-get update -qq >/dev/null 2>&1
    package=$(find_package)
  fi
  [ -n "$package" ] || fail "cannot find the kernel package linux-image-amd64 depends on (apt-get update? network?); set LUMIQ_SKIP_KERNEL_TEST=1 to skip this test"
  log "downloading $package (once; cached in $cache)"
  rm -rf "$cache/kernel" "$cache/download"
  mkdir -p "$cache/kernel/modules" "$cache/download"
  # apt drops to its own user for downloads; let it write here.
  chmod 777 "$cache/download" 2>/dev/null
  if ! (cd "$cache/download" && apt-get download -q "$package" >/dev/null 2>&1); then
    if [ "$(id -u)" = 0 ]; then
      apt-get update -qq >/dev/null 2>&1
      package=$(find_package)
      (cd "$cache/download" && apt-get download -q "$package" >/dev/null 2>&1)
    fi
  fi
  local deb
  deb=$(find "$cache/download" -name 'linux-image-*.deb' | head -n1)
  [ -n "$deb" ] || fail "cannot download $package (no network?); set LUMIQ_SKIP_KERNEL_TEST=1 to skip this test"
  extract_from_package "$deb" $extract_modules
  [ -f "$cache/kernel/vmlinuz" ] || fail "no vmlinuz in $deb"
  resolve_order
  if [ -n "$missing" ]; then
    # A kernel whose modules depend on more than we know: fetch those too.
    local round
    for round in 1 2 3; do
      extract_from_package "$deb" $(echo "$missing" | sed 's/_/-/g') $missing
      resolve_order
      [ -z "$missing" ] && break
    done
  fi
  [ -z "$missing" ] || fail "modules missing from $package:$missing"
  echo "$package" > "$cache/kernel/package"
  rm -rf "$cache/download"
  touch "$cache/kernel/complete"
}

# The kernel without its self-decompressor, started by QEMU at its PVH entry:
# under software emulation that saves the seconds the bzImage spends
# unpacking itself. Left out when the kernel has no PVH entry.
unpack_kernel() {
  local image=$cache/kernel/vmlinuz out=$cache/kernel/vmlinux magic offset
  rm -f "$out"
  for magic in '\xfd\x37\x7a\x58\x5a\x00:xz -dc' '\x28\xb5\x2f\xfd:zstd -qdc' '\x1f\x8b\x08:gzip -dc'; do
    offset=$(LC_ALL=C grep -obUaP "${magic%%:*}" "$image" 2>/dev/null | head -n1 | cut -d: -f1)
    [ -n "$offset" ] || continue
    # The compressed kernel is followed by more of the bzImage, which the
    # decompressor calls trailing garbage; the output is complete regardless.
    tail -c +$((offset + 1)) "$image" | ${magic#*:} > "$out.tmp" 2>/dev/null
    if [ "$(head -c 4 "$out.tmp" | od -An -tx1 | tr -d ' \n')" = 7f454c46 ] &&
        command -v readelf >/dev/null && readelf -n "$out.tmp" 2>/dev/null | grep -q '0x00000012'; then
      mv "$out.tmp" "$out"
      return
    fi
  done
  rm -f "$out.tmp"
}

mkdir -p "$cache" "$work"
# Build folders that share a cache take turns at filling it.
exec 9>"$cache/lock"
flock 9 2>/dev/null
if [ ! -f "$cache/kernel/complete" ]; then
  fetch_kernel
  log "kernel ready after $(elapsed) s"
fi
if [ ! -f "$cache/kernel/load-order" ]; then
  resolve_order
  [ -z "$missing" ] || fail "modules missing from the cached kernel:$missing (remove $cache/kernel to fetch it again)"
  echo "$resolved_order" > "$cache/kernel/load-order"
  unpack_kernel
fi
flock -u 9 2>/dev/null
exec 9>&-
resolved_order=$(cat "$cache/kernel/load-order")
kernel_image=$cache/kernel/vmlinuz
[ -f "$cache/kernel/vmlinux" ] && kernel_image=$cache/kernel/vmlinux
log "kernel $(cat "$cache/kernel/package") ($(basename "$kernel_image")), modules:$resolved_order"

# --- the initramfs: busybox, the modules, init and its settings ----------------
root="$work/initramfs"
rm -rf "$root"
mkdir -p "$root/bin" "$root/modules" "$root/proc" "$root/sys" "$root/dev" "$root/host"
cp "$busybox" "$root/bin/busybox"
for m in $resolved_order; do cp "$(module_file "$m")" "$root/modules/$m.ko"; done
cp "$(dirname "$0")/guest_init.sh" "$root/init"
chmod 755 "$root/init" "$root/bin/busybox"

results="$work/results"
rm -rf "$results"
mkdir -p "$results"
quote() { printf "'%s'" "$(printf '%s' "$1" | sed "s/'/'\\\\''/g")"; }
# Plain words only: busybox reads this before anything is mounted.
printf 'MODULES="%s"\nRESULTS=%s\n' "$resolved_order" "$(quote "$results")" > "$root/test.conf"
{
  echo "export RESULTS=$(quote "$results")"
  echo "export GUEST_SCRIPT=$(quote "$guest_script")"
  echo "export SCRATCH=/dev/shm"
  echo "export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin"
  for pair in "${guest_env[@]+"${guest_env[@]}"}"; do
    echo "export ${pair%%=*}=$(quote "${pair#*=}")"
  done
} > "$results/guest.env"
(cd "$root" && find . | cpio -o -H newc --quiet) > "$work/initramfs.cpio" || fail "cannot pack the initramfs"

# --- the boot ------------------------------------------------------------------
timeout_s=${LUMIQ_KERNEL_TEST_TIMEOUT:-400}
console="$work/console.log"
log "booting (software emulation, at most $timeout_s s)"
boot_started=$(date +%s.%N)
timeout -k 10 "$timeout_s" "$qemu" -nographic -m 256 -nic none -no-reboot \
  -kernel "$kernel_image" -initrd "$work/initramfs.cpio" \
  -append "console=ttyS0 quiet panic=-1" \
  -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap \
  -virtfs "local,path=$results,mount_tag=results,security_model=none,multidevs=remap" \
  </dev/null 2>&1 | sed -u 's/\r//g; s/\x1bc//g; s/\x1b\[[0-9;?]*[A-Za-z]//g' | tee "$console"
qemu_status=${PIPESTATUS[0]}
boot_time=$(echo "$(date +%s.%N) $boot_started" | awk '{ printf "%.1f", $1 - $2 }')

[ "$qemu_status" = 124 ] && fail "the guest did not finish within $timeout_s s (see $console)"
[ "$qemu_status" = 0 ] || fail "qemu exited with $qemu_status (see $console)"

passed=$(grep -c '^LUMIQ-KT PASS ' "$console")
failed=$(grep -c '^LUMIQ-KT FAIL ' "$console")
grep -q '^LUMIQ-KT DONE' "$console" || fail "the guest stopped before its last step ($passed passed, $failed failed; see $console)"
echo
echo "kernel-test: guest $boot_time s, whole test $(elapsed) s"
grep '^LUMIQ-KT FAIL ' "$console" | sed 's/^LUMIQ-KT /kernel-test: /'
echo "$passed passed, $failed failed"
[ "$failed" = 0 ] && [ "$passed" -gt 0 ]
