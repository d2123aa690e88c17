#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "link/scanner_link.h"
#include "profile/profile.h"

namespace lumiq::zrctl {

// One setting read back after a restore's commit.
struct VerifiedSetting {
  std::string key;
  std::string sent;
  std::string stored;  // what the scanner gave back
  bool read = false;   // false: the get failed, `failure` says why
  std::string failure;
  bool Matches() const { return read && stored == sent; }
};

// Reads every setting of `sent` back from the scanner `link` has open, in order, and
// compares: a scanner may acknowledge a set and keep another value, and only
// a read-back tells. Each one not stored as sent gets a line on `out`,
// "KEY: sent=... stored=..." (or why it could not be read back), values shown
// as `zrctl get` shows them. Returns every setting read, mismatches included.
std::vector<VerifiedSetting> VerifyStored(ScannerLink& link,
                                          const std::vector<profile::ProfileEntry>& sent,
                                          std::ostream& out);

}  // namespace lumiq::zrctl
