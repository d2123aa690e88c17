#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "link/device_watcher.h"
#include "link/hid_platform.h"

namespace lumiq::zrctl {

// One run of zrctl: `args` without the program name; output on `out`,
// messages on `err`; returns the exit status. Without --simulate it works on
// `devices` (nullptr: the native HID devices), which lets tests plug in their
// own simulated scanners and look at what they received; `watcher` tells
// provision when they come and go (nullptr: the system's notifications).
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        HidPlatform* devices = nullptr, DeviceWatcher* watcher = nullptr);

int Main(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace lumiq::zrctl
