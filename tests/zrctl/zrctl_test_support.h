#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "link/device_watcher.h"
#include "link/hid_platform.h"
#include "sim/simulated_scanner.h"

namespace lumiq::test {

struct ZrctlResult {
  int status = -1;
  std::string out;
  std::string err;
};

// One zrctl run in-process. `devices` stands for the HID devices when the
// arguments hold no --simulate; `watcher` tells provision when they come and go.
ZrctlResult RunZrctl(const std::vector<std::string>& args, HidPlatform* devices = nullptr,
                     DeviceWatcher* watcher = nullptr);

// The scanner's record as trace lines, handshakes included.
std::vector<std::string> Record(const sim::SimulatedScanner& scanner);

std::vector<std::string> Lines(const std::string& text);

// A folder of its own for each test, removed afterwards.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  static void Write(const std::string& path, const std::string& text);
  static std::string Read(const std::string& path);

 private:
  std::filesystem::path path_;
};

}  // namespace lumiq::test
