#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "link/scanner_link.h"
#include "profile/profile.h"

namespace lumiq::zrctl {

// How a profile went onto one scanner.
struct StationApplyOutcome {
  bool read = false;       // every setting of the profile was read first
  bool compliant = false;  // ... and each already held the profile's value
  bool changed = false;    // a set was sent
  bool committed = false;
  // The settings sent, in profile order.
  std::vector<std::string> sentKeys;
  // Not read before; a set refused; or not stored as sent.
  std::vector<std::string> failedKeys;
  bool Ok() const { return read && (compliant || (committed && failedKeys.empty())); }
};

// Reads every setting of `profile` (the firmware version aside) from the
// scanner `link` has open; a scanner that holds them all is sent nothing.
// Otherwise only the settings that differ are set, committed once, and read
// back. Messages (a get or set that failed, a value not stored as sent) go
// to `details`.
StationApplyOutcome ApplyOnScanner(ScannerLink& link,
                                   const std::vector<profile::ProfileEntry>& profile,
                                   std::ostream& details);

}  // namespace lumiq::zrctl
