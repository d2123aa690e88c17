#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace lumiq::zrctl {

// How provisioning one scanner ended, as the log's result column says it.
enum class ProvisionOutcome {
  kOk,               // the settings that differed were sent and read back as sent
  kCompliant,        // held the profile already: nothing sent
  kFailed,           // a set or the read-back failed
  kCommitFailed,     // the commit was refused, unanswered or not stored
  kFirmwareDiffers,  // not applied: the profile is for another firmware
  kFirmwareNotRead,  // not applied: the firmware version could not be read
  kNotOpened,        // the scanner could not be opened or did not answer
};

const char* OutcomeName(ProvisionOutcome outcome);

// One scanner at the station: a line on the terminal, a row in the log.
struct ProvisionRecord {
  std::time_t time = 0;
  std::string path;
  std::string port;         // empty: the system does not tell
  std::string deviceNumber;  // as the scanner gave it (bytes)
  bool deviceNumberRead = false;
  std::string firmware;      // as the scanner gave it (bytes)
  bool firmwareRead = false;
  ProvisionOutcome outcome = ProvisionOutcome::kOk;
  std::vector<std::string> changedKeys;  // the settings sent
  // The keys that failed; after a failed commit, every key it left
  // uncommitted.
  std::vector<std::string> failedKeys;
  std::string reason;  // why, when the outcome names no key
};

// "2026-12-09T05:41:07Z".
std::string IsoUtcTime(std::time_t time);

// The log's first line and a record's row, each ending in CR LF as CSV
// does: a spreadsheet on either system opens it. Values are settings text
// (GBK as characters, other bytes as \xNN); a field with a comma, a quote,
// a blank at either end or a line break is quoted, quotes doubled; one that
// a spreadsheet would take for a formula (=, +, -, @ first) gets a leading
// apostrophe inside the quotes. The failed keys are parted by blanks, a
// blank inside a key written \x20, as the settings text reads it back.
std::string ProvisionLogHeader();
std::string ProvisionLogRow(const ProvisionRecord& record);

}  // namespace lumiq::zrctl
