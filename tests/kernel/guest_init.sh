#!/bin/busybox sh
# The guest's init: loads the modules, mounts the host's root read-only over
# 9p, and runs the test script chrooted into it. There is no udev: devtmpfs
# makes the device nodes.
# The firmware leaves its last line open; the markers must start lines.
echo
/bin/busybox mount -t proc proc /proc
/bin/busybox --install -s /bin
export PATH=/bin
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev

stop() {
  sync
  poweroff -f
  # Should power-off fail, ending init panics the kernel, and panic=-1 with
  # -no-reboot ends QEMU all the same.
  exit 1
}

. /test.conf
for module in $MODULES; do
  insmod "/modules/$module.ko" || { echo "LUMIQ-KT FAIL insmod $module"; stop; }
done

# Larger 9p messages make reading the build's programs and libraries faster.
if ! mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144,cache=loose,ro hostroot /host; then
  echo "LUMIQ-KT FAIL mount the host's root"
  stop
fi
if ! mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144 results "/host$RESULTS"; then
  echo "LUMIQ-KT FAIL mount the results folder"
  stop
fi
mount -t devtmpfs devtmpfs /host/dev
mount -t proc proc /host/proc
mount -t sysfs sysfs /host/sys
mkdir -p /host/dev/shm
mount -t tmpfs -o size=64m tmpfs /host/dev/shm

chroot /host /bin/sh -c ". \"\$0\" && exec /bin/sh \"\$GUEST_SCRIPT\"" "$RESULTS/guest.env"
echo "LUMIQ-KT EXIT $?"
stop
