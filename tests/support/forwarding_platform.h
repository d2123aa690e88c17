#pragma once

#include <string>
#include <vector>

#include "link/hid_platform.h"

namespace lumiq::test {

// Passes every platform operation on to another platform. Tests derive from
// it to watch or hook the few operations they care about.
class ForwardingPlatform : public HidPlatform {
 public:
  explicit ForwardingPlatform(HidPlatform& inner) : inner_(inner) {}

  int ListInterfaces(std::vector<std::string>* paths) override {
    return inner_.ListInterfaces(paths);
  }
  bool ReadAttributes(const std::string& path, HidAttributes* attributes) override {
    return inner_.ReadAttributes(path, attributes);
  }
  HidOpenResult Open(const std::string& path, HidAccess access) override {
    return inner_.Open(path, access);
  }
  int WriteReport(HidHandle handle, const uint8_t* report, int timeoutMs) override {
    return inner_.WriteReport(handle, report, timeoutMs);
  }
  int ReadReport(HidHandle handle, uint8_t* buffer, int timeoutMs) override {
    return inner_.ReadReport(handle, buffer, timeoutMs);
  }
  void Close(HidHandle handle) override { inner_.Close(handle); }
  std::string PortOf(const std::string& path) override { return inner_.PortOf(path); }

 private:
  HidPlatform& inner_;
};

}  // namespace lumiq::test
