#pragma once

#include <memory>

#include "link/device_watcher.h"

namespace lumiq {

// The Linux watcher on one udev subsystem: "hidraw" for the scanners; the
// benchmark takes one whose events it can raise without a HID device.
std::unique_ptr<DeviceWatcher> UdevWatcherFor(const char* subsystem);

}  // namespace lumiq
