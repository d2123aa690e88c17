#include "link/platform/hidraw.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <new>
#include <utility>

namespace lumiq {
namespace {

using Clock = std::chrono::steady_clock;

// The kernel's bus number for USB in HID_ID.
constexpr uint32_t kBusUsb = 0x0003;

// A uevent file is a few hundred bytes; anything longer is not one.
constexpr size_t kMaxSysfsText = 4096;

int FdOf(HidHandle handle) {
  if (handle < 0 || handle > INT_MAX) return -1;
  return static_cast<int>(handle);
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') ||
         (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

// 1 to 8 hexadecimal digits, nothing else.
bool ParseHexField(const std::string& text, uint32_t* value) {
  if (text.empty() || text.size() > 8) return false;
  uint32_t result = 0;
  for (char c : text) {
    if (!IsHexDigit(c)) return false;
    result = result * 16 + static_cast<uint32_t>(HexValue(c));
  }
  *value = result;
  return true;
}

bool ReadSmallFile(const std::string& path, std::string* text) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char chunk[512];
  text->clear();
  bool ok = true;
  for (;;) {
    ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    if (n == 0) break;
    text->append(chunk, static_cast<size_t>(n));
    if (text->size() > kMaxSysfsText) {
      ok = false;
      break;
    }
  }
  close(fd);
  return ok;
}

// The value of KEY= in a uevent text, or false when the key is absent.
bool UeventValue(const std::string& uevent, const std::string& key,
                 std::string* value) {
  const std::string prefix = key + "=";
  size_t start = 0;
  while (start < uevent.size()) {
    size_t end = uevent.find('\n', start);
    if (end == std::string::npos) end = uevent.size();
    if (uevent.compare(start, prefix.size(), prefix) == 0 &&
        end - start >= prefix.size()) {
      *value = uevent.substr(start + prefix.size(),
                             end - start - prefix.size());
      return true;
    }
    start = end + 1;
  }
  return false;
}

std::string ResolvedPath(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return std::string();
  std::string result(resolved);
  free(resolved);
  return result;
}

// A USB HID device sits right under the USB interface it belongs to; walking
// up (rather than looking only at the parent) also covers drivers that put a
// level in between. The walk never leaves the sysfs root.
// `directory`, when given, receives the interface's directory.
int UsbInterfaceAbove(const std::string& deviceLink,
                      const std::string& sysfsRoot,
                      std::string* directory = nullptr) {
  std::string root = ResolvedPath(sysfsRoot);
  std::string dir = ResolvedPath(deviceLink);
  if (root.empty() || dir.empty()) return -1;
  if (root != "/") root += '/';
  while (dir.size() > root.size() && dir.compare(0, root.size(), root) == 0) {
    std::string text;
    if (ReadSmallFile(dir + "/bInterfaceNumber", &text)) {
      if (directory != nullptr) *directory = dir;
      return hidraw::ParseInterfaceNumber(text);
    }
    size_t slash = dir.rfind('/');
    if (slash == std::string::npos) break;
    dir.resize(slash);
  }
  return -1;
}

int RemainingMs(Clock::time_point deadline) {
  const Clock::duration left = deadline - Clock::now();
  if (left <= Clock::duration::zero()) return 0;
  // Rounded up so a wait never ends just before its time-out.
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

Clock::time_point DeadlineAfter(int timeoutMs) {
  return Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
}

}  // namespace

namespace hidraw {

OpenFailure OpenFailureOf(int error) {
  switch (error) {
    case 0:
      return OpenFailure::kNone;
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return OpenFailure::kNotFound;
    case EACCES:
    case EPERM:
      return OpenFailure::kPermissionDenied;
    case EWOULDBLOCK:
    case EBUSY:
      return OpenFailure::kInUse;
    default:
      return OpenFailure::kUnknown;
  }
}

bool ParseHidId(const std::string& value, uint32_t* bus, uint16_t* vendor,
                uint16_t* product) {
  size_t first = value.find(':');
  if (first == std::string::npos) return false;
  size_t second = value.find(':', first + 1);
  if (second == std::string::npos) return false;
  uint32_t b = 0, v = 0, p = 0;
  if (!ParseHexField(value.substr(0, first), &b) ||
      !ParseHexField(value.substr(first + 1, second - first - 1), &v) ||
      !ParseHexField(value.substr(second + 1), &p)) {
    return false;
  }
  if (v > 0xFFFF || p > 0xFFFF) return false;
  *bus = b;
  *vendor = static_cast<uint16_t>(v);
  *product = static_cast<uint16_t>(p);
  return true;
}

int InterfaceFromPhys(const std::string& phys) {
  static const std::string kMarker = "/input";
  size_t at = phys.rfind(kMarker);
  if (at == std::string::npos) return -1;
  std::string digits = phys.substr(at + kMarker.size());
  // USB interface numbers are one byte.
  if (digits.empty() || digits.size() > 3) return -1;
  int number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    number = number * 10 + (c - '0');
  }
  return number <= 255 ? number : -1;
}

std::string PortOfInterfaceName(const std::string& name) {
  // The kernel names a USB interface BUS-PORT[.PORT...]:CONFIG.INTERFACE.
  const size_t colon = name.find(':');
  if (colon == std::string::npos || colon == 0) return std::string();
  const std::string port = name.substr(0, colon);
  if (port.find('-') == std::string::npos) return std::string();
  for (char c : port) {
    if (!(c >= '0' && c <= '9') && c != '-' && c != '.') return std::string();
  }
  return port;
}

int ParseInterfaceNumber(const std::string& text) {
  std::string digits = text;
  while (!digits.empty() &&
         (digits.back() == '\n' || digits.back() == ' ' ||
          digits.back() == '\r' || digits.back() == '\t')) {
    digits.pop_back();
  }
  if (digits.empty() || digits.size() > 2) return -1;
  uint32_t value = 0;
  if (!ParseHexField(digits, &value)) return -1;
  return static_cast<int>(value);
}

int HidrawIndex(const std::string& name) {
  static const std::string kPrefix = "hidraw";
  if (name.size() <= kPrefix.size() || name.size() > kPrefix.size() + 6 ||
      name.compare(0, kPrefix.size(), kPrefix) != 0) {
    return -1;
  }
  int index = 0;
  for (size_t i = kPrefix.size(); i < name.size(); ++i) {
    char c = name[i];
    if (c < '0' || c > '9') return -1;
    index = index * 10 + (c - '0');
  }
  return index;
}

}  // namespace hidraw

HidrawPlatform::HidrawPlatform(std::string sysfsRoot, std::string devDir)
    : sysfsRoot_(std::move(sysfsRoot)), devDir_(std::move(devDir)) {}

int HidrawPlatform::ListInterfaces(std::vector<std::string>* paths) {
  try {
    paths->clear();
    // No hidraw class at all (module not loaded) simply means no interfaces.
    DIR* dir = opendir((sysfsRoot_ + "/class/hidraw").c_str());
    if (dir == nullptr) return 0;
    std::vector<std::pair<int, std::string>> found;
    try {
      while (dirent* entry = readdir(dir)) {
        int index = hidraw::HidrawIndex(entry->d_name);
        if (index >= 0) found.emplace_back(index, entry->d_name);
      }
    } catch (...) {
      closedir(dir);
      throw;
    }
    closedir(dir);
    // readdir's order is the file system's; sorting by number gives the
    // order the devices appeared in, the same on every call.
    std::sort(found.begin(), found.end());
    for (const auto& entry : found) {
      paths->push_back(devDir_ + "/" + entry.second);
    }
    return 0;
  } catch (const std::bad_alloc&) {
    paths->clear();
    return -1;
  }
}

bool HidrawPlatform::ReadAttributes(const std::string& path,
                                    HidAttributes* attributes) {
  try {
    size_t slash = path.rfind('/');
    std::string name =
        slash == std::string::npos ? path : path.substr(slash + 1);
    if (hidraw::HidrawIndex(name) < 0) return false;
    const std::string device = sysfsRoot_ + "/class/hidraw/" + name + "/device";

    std::string uevent;
    if (!ReadSmallFile(device + "/uevent", &uevent)) return false;
    std::string hidId;
    uint32_t bus = 0;
    HidAttributes result;
    if (!UeventValue(uevent, "HID_ID", &hidId) ||
        !hidraw::ParseHidId(hidId, &bus, &result.vendorId,
                            &result.productId)) {
      return false;
    }
    // Only a device on the USB bus can take its number from a USB interface
    // above it: a Bluetooth device behind a USB dongle would otherwise get
    // the dongle's interface number.
    if (bus == kBusUsb) {
      result.interfaceNumber = UsbInterfaceAbove(device, sysfsRoot_);
    }
    // Virtual (uhid) devices have no USB parent; their creator states the
    // interface in the physical path.
    std::string phys;
    if (result.interfaceNumber < 0 && UeventValue(uevent, "HID_PHYS", &phys)) {
      result.interfaceNumber = hidraw::InterfaceFromPhys(phys);
    }
    *attributes = result;
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// What the node at `st` is as far as its type and sysfs tell, before it is
// opened: opening is not harmless everywhere (a watchdog starts counting, a
// tape rewinds), so only a node that may be a hidraw one is opened at all.
HidrawPlatform::NodeKind HidrawPlatform::KindOf(const struct stat& st) const {
  if (S_ISFIFO(st.st_mode)) return acceptPipes_ ? NodeKind::kHidraw : NodeKind::kPipe;
  if (!S_ISCHR(st.st_mode)) return NodeKind::kOther;
  const std::string link = sysfsRoot_ + "/dev/char/" + std::to_string(major(st.st_rdev)) + ":" +
                           std::to_string(minor(st.st_rdev)) + "/subsystem";
  const std::string subsystem = ResolvedPath(link);
  if (subsystem.empty()) return NodeKind::kUnknownCharacter;
  const size_t slash = subsystem.rfind('/');
  const std::string name = slash == std::string::npos ? subsystem : subsystem.substr(slash + 1);
  return name == "hidraw" ? NodeKind::kHidraw : NodeKind::kOtherCharacter;
}

namespace {

std::string DescribeNode(const struct stat& st) {
  if (S_ISREG(st.st_mode)) return "a regular file";
  if (S_ISDIR(st.st_mode)) return "a folder";
  if (S_ISBLK(st.st_mode)) return "a block device (a disk or a partition)";
  if (S_ISSOCK(st.st_mode)) return "a socket";
  if (S_ISFIFO(st.st_mode)) return "a FIFO (a named pipe)";
  if (S_ISCHR(st.st_mode)) return "a character device other than a HID interface";
  return "not a device node";
}

}  // namespace

namespace {

HidOpenResult Failed(int error) {
  HidOpenResult result;
  result.failure = hidraw::OpenFailureOf(error);
  if (result.failure == OpenFailure::kNone) result.failure = OpenFailure::kUnknown;
  result.systemError = error;
  return result;
}

HidOpenResult Refused(const struct stat& st) {
  HidOpenResult result;
  result.failure = OpenFailure::kNotAScanner;
  result.refusal = DescribeNode(st);
  result.systemError = ENOTTY;
  return result;
}

}  // namespace

std::string HidrawPlatform::PortOf(const std::string& path) {
  try {
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (hidraw::HidrawIndex(name) < 0) return std::string();
    const std::string device = sysfsRoot_ + "/class/hidraw/" + name + "/device";
    std::string uevent;
    if (!ReadSmallFile(device + "/uevent", &uevent)) return std::string();
    std::string hidId;
    uint32_t bus = 0;
    uint16_t vendor = 0;
    uint16_t product = 0;
    if (UeventValue(uevent, "HID_ID", &hidId) &&
        hidraw::ParseHidId(hidId, &bus, &vendor, &product) && bus == kBusUsb) {
      std::string interfaceDir;
      if (UsbInterfaceAbove(device, sysfsRoot_, &interfaceDir) >= 0) {
        const std::string port =
            hidraw::PortOfInterfaceName(interfaceDir.substr(interfaceDir.rfind('/') + 1));
        if (!port.empty()) return port;
      }
    }
    std::string phys;
    if (!UeventValue(uevent, "HID_PHYS", &phys)) return std::string();
    const size_t input = phys.rfind("/input");
    return input == std::string::npos ? phys : phys.substr(0, input);
  } catch (const std::bad_alloc&) {
    return std::string();
  }
}

HidOpenResult HidrawPlatform::Open(const std::string& path, HidAccess access) {
  // The path's type is looked at before anything is opened, and the opened
  // file's again before it is handed on: a path swapped in between is
  // caught by the second look, and no byte goes to anything but a hidraw
  // node (or a test's pipe).
  struct stat named;
  if (stat(path.c_str(), &named) != 0) return Failed(errno);
  const NodeKind kind = KindOf(named);
  if (kind != NodeKind::kHidraw && kind != NodeKind::kUnknownCharacter) return Refused(named);
  int mode = access == HidAccess::kRead ? O_RDONLY : O_WRONLY;
  int fd = open(path.c_str(), mode | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return Failed(errno);
  struct stat opened;
  if (fstat(fd, &opened) != 0) {
    const int error = errno;
    close(fd);
    return Failed(error);
  }
  NodeKind openedKind = KindOf(opened);
  // Without a sysfs entry to ask, the driver itself is: only hidraw answers
  // this request.
  if (openedKind == NodeKind::kUnknownCharacter) {
    hidraw_devinfo info;
    openedKind = ioctl(fd, HIDIOCGRAWINFO, &info) == 0 ? NodeKind::kHidraw
                                                       : NodeKind::kOtherCharacter;
  }
  if (openedKind != NodeKind::kHidraw) {
    close(fd);
    return Refused(opened);
  }
  // The read handle holds the node for the link: every open hidraw file gets
  // its own copy of each input report, so a second program reading along
  // would take replies meant for us as its own. flock belongs to the open
  // file, not to the process: the link's own write handle is a second open
  // file and must not ask for it. The kernel drops it with the descriptor,
  // also when the program dies.
  if (access == HidAccess::kRead) {
    int locked;
    do {
      locked = flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    // Where the file system has no locks (no hidraw node lives on such a
    // one) the node stays usable, only unguarded.
    if (locked != 0 && errno == EWOULDBLOCK) {
      close(fd);
      return Failed(EWOULDBLOCK);
    }
  }
  HidOpenResult result;
  result.handle = fd;
  return result;
}

int HidrawPlatform::WriteReport(HidHandle handle, const uint8_t* report,
                                int timeoutMs) {
  int fd = FdOf(handle);
  if (fd < 0 || report == nullptr) return -1;
  const Clock::time_point deadline = DeadlineAfter(timeoutMs);
  for (;;) {
    // The kernel takes the report id as the first byte and strips it itself
    // for devices without numbered reports. On a hidraw node this call is
    // synchronous whatever O_NONBLOCK says and ends within the kernel's USB
    // time-out (5000 ms), not `timeoutMs`; the wait below serves descriptors
    // that do report a full queue (the pipes and sockets of the tests).
    ssize_t n = write(fd, report, kHidReportSize);
    if (n == kHidReportSize) return kHidReportSize;
    if (n >= 0) return -1;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return -1;

    pollfd wait = {fd, POLLOUT, 0};
    int ready = poll(&wait, 1, RemainingMs(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return -1;
    if ((wait.revents & POLLOUT) == 0) return -1;
  }
}

int HidrawPlatform::ReadReport(HidHandle handle, uint8_t* buffer,
                               int timeoutMs) {
  int fd = FdOf(handle);
  if (fd < 0 || buffer == nullptr) return kHidReadFailed;
  const Clock::time_point deadline = DeadlineAfter(timeoutMs);
  for (;;) {
    pollfd wait = {fd, POLLIN, 0};
    int ready = poll(&wait, 1, RemainingMs(deadline));
    if (ready < 0) {
      if (errno == EINTR) continue;
      return kHidReadFailed;
    }
    if (ready == 0) return kHidReadFailed;
    // Queued input is still taken from a device that is going away; only
    // when none is left does the hang-up end the wait.
    if ((wait.revents & POLLIN) == 0) {
      if (wait.revents & (POLLERR | POLLHUP | POLLNVAL)) return kHidReadFailed;
      continue;
    }

    uint8_t local[kHidReportSize];
    ssize_t n = read(fd, local, sizeof local);
    if (n < 0) {
      // A wake-up without a report to take waits again. (Each open hidraw
      // file has a queue of its own, so no other opener takes ours.)
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      return kHidReadFailed;  // ENODEV, EIO: unplugged
    }
    if (n == 0) return kHidReadFailed;
    if (n == kHidReportSize - 1) {
      // Unnumbered input arrives without its report id byte.
      buffer[0] = 0;
      std::memcpy(buffer + 1, local, kHidReportSize - 1);
      return kHidReportSize;
    }
    std::memcpy(buffer, local, static_cast<size_t>(n));
    return static_cast<int>(n);
  }
}

void HidrawPlatform::Close(HidHandle handle) {
  int fd = FdOf(handle);
  if (fd >= 0) close(fd);
}

HidrawPlatform& NativeHidrawPlatform() {
  static HidrawPlatform platform;
  return platform;
}

HidPlatform& NativeHidPlatform() { return NativeHidrawPlatform(); }

}  // namespace lumiq
