#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "link/scanner_link.h"
#include "profile/profile.h"

namespace lumiq::zrctl {

// What a profile's sets and their commit did on one scanner.
struct SentProfile {
  std::vector<profile::ProfileEntry> sent;  // acknowledged, in file order
  std::vector<std::string> failedKeys;      // sets refused or not answered
  int commit = -1;                          // CommitSettings' result
  bool Committed() const { return commit == 0; }
};

// Sends every setting of `profile` but the firmware version, in file order,
// then one commit, as the window's Save does: also after a failed set, so
// that the sets that did arrive are kept. Each failure gets a line on `err`.
SentProfile SendProfile(ScannerLink& link, const std::vector<profile::ProfileEntry>& profile,
                        std::ostream& err);

}  // namespace lumiq::zrctl
