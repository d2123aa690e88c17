#include <fcntl.h>
#include <libudev.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "link/platform/udev_watcher.h"

// The Linux watcher: libudev's monitor on the hidraw subsystem. Its socket
// and a pipe that Stop writes to are waited on with poll, so a station that
// waits for scanners sleeps in the kernel until one comes.

namespace lumiq {

namespace {

class UdevWatcher : public DeviceWatcher {
 public:
  explicit UdevWatcher(const char* subsystem) : subsystem_(subsystem) {}
  ~UdevWatcher() override {
    if (monitor_ != nullptr) udev_monitor_unref(monitor_);
    if (udev_ != nullptr) udev_unref(udev_);
    if (stop_[0] >= 0) close(stop_[0]);
    if (stop_[1] >= 0) close(stop_[1]);
  }
  UdevWatcher(const UdevWatcher&) = delete;
  UdevWatcher& operator=(const UdevWatcher&) = delete;

  bool Start(std::string* error) override {
    if (pipe2(stop_, O_CLOEXEC | O_NONBLOCK) != 0) {
      *error = std::string("cannot watch for scanners: ") + std::strerror(errno);
      return false;
    }
    udev_ = udev_new();
    if (udev_ == nullptr) {
      *error = "cannot watch for scanners: libudev could not start";
      return false;
    }
    // udevd's events come after its rules ran, so the node already has the
    // permissions the package's rule gives it. Without udevd (a minimal
    // system, a container) only the kernel's own events come.
    const char* source = access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
    monitor_ = udev_monitor_new_from_netlink(udev_, source);
    if (monitor_ == nullptr ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, subsystem_, nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
      *error = std::string("cannot watch for scanners: the udev monitor could not start (") +
               source + " events)";
      return false;
    }
    return true;
  }

  WaitResult Wait(int timeoutMs, std::vector<DeviceChange>* changes) override {
    if (monitor_ == nullptr) return WaitResult::kFailed;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
      pollfd waits[2] = {{udev_monitor_get_fd(monitor_), POLLIN, 0}, {stop_[0], POLLIN, 0}};
      int wait = -1;
      if (timeoutMs >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        wait = left.count() < 0 ? 0 : static_cast<int>(left.count());
      }
      const int ready = poll(waits, 2, wait);
      if (ready < 0) {
        if (errno == EINTR) continue;  // a signal; its handler calls Stop if it means it
        return WaitResult::kFailed;
      }
      if (waits[1].revents != 0) return WaitResult::kStopped;
      if (ready == 0) return WaitResult::kTimedOut;
      bool any = false;
      // The socket does not block: take every event that is there.
      while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(device);
        const char* node = udev_device_get_devnode(device);
        DeviceChange change;
        change.kind = action != nullptr && std::strcmp(action, "remove") == 0
                          ? DeviceChange::Kind::kRemoved
                          : DeviceChange::Kind::kArrived;
        if (node != nullptr) change.path = node;
        udev_device_unref(device);
        changes->push_back(std::move(change));
        any = true;
      }
      if (any) return WaitResult::kChanged;
      if (waits[0].revents & (POLLERR | POLLHUP | POLLNVAL)) return WaitResult::kFailed;
    }
  }

  void Stop() override {
    if (stop_[1] < 0) return;
    const char byte = 1;
    // The pipe keeps the byte, so a Stop before the Wait still ends it.
    [[maybe_unused]] const ssize_t written = write(stop_[1], &byte, 1);
  }

 private:
  const char* subsystem_;
  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
  int stop_[2] = {-1, -1};
};

}  // namespace

std::unique_ptr<DeviceWatcher> UdevWatcherFor(const char* subsystem) {
  return std::make_unique<UdevWatcher>(subsystem);
}

std::unique_ptr<DeviceWatcher> NativeDeviceWatcher() { return UdevWatcherFor("hidraw"); }

}  // namespace lumiq
