#include "tools/virtual_scanner/uhid_device.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace lumiq::vscan {

UhidDevice::~UhidDevice() { Destroy(); }

bool UhidDevice::Create(const DeviceIdentity& identity, std::string* error) {
  Destroy();
  fd_ = open("/dev/uhid", O_RDWR | O_CLOEXEC);
  if (fd_ < 0) {
    *error = std::string("cannot open /dev/uhid: ") + std::strerror(errno) +
             (errno == ENOENT ? " (load the uhid module: modprobe uhid)"
                              : errno == EACCES ? " (run as root)" : "");
    return false;
  }
  identity_ = identity;
  if (!Write(CreateRequest(identity))) {
    *error = std::string("cannot create the uhid device: ") + std::strerror(errno);
    close(fd_);
    fd_ = -1;
    return false;
  }
  return true;
}

void UhidDevice::Destroy() {
  if (fd_ < 0) return;
  uhid_event event;
  std::memset(&event, 0, sizeof event);
  event.type = UHID_DESTROY;
  Write(event);  // closing the descriptor destroys it as well, should this fail
  close(fd_);
  fd_ = -1;
}

bool UhidDevice::Read(uhid_event* event) {
  for (;;) {
    const ssize_t count = read(fd_, event, sizeof *event);
    if (count > 0) return true;
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    return false;
  }
}

bool UhidDevice::Write(const uhid_event& event) {
  for (;;) {
    const ssize_t count = write(fd_, &event, sizeof event);
    if (count == static_cast<ssize_t>(sizeof event)) return true;
    if (count < 0 && errno == EINTR) continue;
    return false;
  }
}

std::string FindHidrawNode(const std::string& uniq) {
  DIR* directory = opendir("/sys/class/hidraw");
  if (directory == nullptr) return {};
  std::string node;
  const std::string wanted = "HID_UNIQ=" + uniq;
  while (dirent* entry = readdir(directory)) {
    const std::string name = entry->d_name;
    if (name.compare(0, 6, "hidraw") != 0) continue;
    std::ifstream uevent("/sys/class/hidraw/" + name + "/device/uevent");
    std::string line;
    bool ours = false;
    while (std::getline(uevent, line)) {
      if (line == wanted) ours = true;
    }
    // udev (or devtmpfs) makes the node a moment after sysfs shows it.
    if (ours && access(("/dev/" + name).c_str(), F_OK) == 0) {
      node = "/dev/" + name;
      break;
    }
  }
  closedir(directory);
  return node;
}

}  // namespace lumiq::vscan
