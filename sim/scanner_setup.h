#pragma once

#include <string>

#include "link/hid_platform.h"
#include "sim/seed_file.h"
#include "sim/simulated_scanner.h"

namespace lumiq::sim {

// A simulated scanner as the programs offer one: from a seed file, or the
// demo configuration when `seedFile` is empty. `text`, when given, receives
// the seed as read, so a write-back can keep its comments. false with
// `error` when the seed cannot be read or parsed; `scanner` is then left
// unchanged.
bool SeedScanner(const std::string& seedFile, SimulatedScanner& scanner, SeedError* error,
                 std::string* text = nullptr);

// Plugs `platform` in as the one OpenDevice discovers scanners on for as long
// as it lives; on leaving, gives any link up and goes back to the native
// backend, so the platform may be destroyed after it. nullptr keeps the
// native backend and still gives its link up on leaving.
class PluggedPlatform {
 public:
  explicit PluggedPlatform(HidPlatform* platform);
  ~PluggedPlatform();
  PluggedPlatform(const PluggedPlatform&) = delete;
  PluggedPlatform& operator=(const PluggedPlatform&) = delete;
};

}  // namespace lumiq::sim
