#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "link/scanner_link.h"
#include "profile/profile.h"

namespace lumiq::zrctl {

// How far ApplyProfile goes once it has read the scanner.
enum class ApplyMode {
  kCheck,  // compares; sends nothing
  kPlan,   // apply --check: compares and says what apply would send
  kApply,  // compares, and where anything differs sends, commits, reads back
};

// A setting whose value on the scanner is not the profile's.
struct SettingDifference {
  std::string key;
  std::string before;  // the scanner's
  std::string after;   // the profile's
};

// What ApplyProfile found and did on one scanner.
struct ApplyOutcome {
  bool read = false;       // every setting compared was read
  bool compliant = false;  // before: every setting as the profile has it
  bool changed = false;    // a set was sent
  bool committed = false;
  bool verified = false;   // holds the profile at the end, as last read
  int compared = 0;        // settings compared (the firmware version is not)
  std::vector<SettingDifference> differences;  // before anything was sent, file order
  std::vector<std::string> failedKeys;  // a get, a set, or a value not stored as sent
  std::string message;  // the first failure, one line without "zrctl: "
  bool deviceNumberRead = false;
  std::string deviceNumber;  // at the end
};

// Exit statuses of check and apply beyond commands.h's.
inline constexpr int kExitUnreachable = 3;  // not found, not opened or not read: nothing sent

// Brings the scanner `link` has open to `profile` (the firmware version
// aside, as restore) as far as `mode` goes. It reads every setting first and
// sends nothing to a scanner that holds them all, nor to one it could not
// read. Each difference gets a line "KEY: scanner=... profile=..." on `out`,
// values as `zrctl get` shows them, then a line for the scanner's state, to
// which `note` (how deviceno was treated) is added; failures go to `err`.
ApplyOutcome ApplyProfile(ScannerLink& link, const std::vector<profile::ProfileEntry>& profile,
                          ApplyMode mode, const std::string& note, std::ostream& out,
                          std::ostream& err);

// check's or apply's exit status for one scanner's outcome.
int ApplyStatus(const ApplyOutcome& outcome, ApplyMode mode);

}  // namespace lumiq::zrctl
