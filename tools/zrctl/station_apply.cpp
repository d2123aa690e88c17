#include "tools/zrctl/station_apply.h"

#include "profile/known_keys.h"
#include "profile/setting_text.h"
#include "tools/zrctl/commands.h"
#include "tools/zrctl/verify.h"

namespace lumiq::zrctl {

StationApplyOutcome ApplyOnScanner(ScannerLink& link,
                                   const std::vector<profile::ProfileEntry>& profile,
                                   std::ostream& details) {
  StationApplyOutcome outcome;
  std::vector<profile::ProfileEntry> differing;
  for (const profile::ProfileEntry& entry : profile) {
    if (profile::IsReadOnlyKey(entry.key)) continue;
    std::string value;
    const int got = ReadSetting(link, entry.key, &value);
    if (got < 0) {
      details << "zrctl: get " << profile::Quote(entry.key)
              << " failed: " << DescribeGetFailure(got, value) << "\n";
      outcome.failedKeys.push_back(entry.key);
      continue;
    }
    if (value != entry.value) differing.push_back(entry);
  }
  // A scanner not read whole is not written: what it holds is not known.
  if (!outcome.failedKeys.empty()) return outcome;
  outcome.read = true;
  outcome.compliant = differing.empty();
  if (outcome.compliant) return outcome;

  std::vector<profile::ProfileEntry> sent;
  for (const profile::ProfileEntry& entry : differing) {
    const int set = link.SetSetting(entry.key, entry.value);
    outcome.changed = true;
    if (set != 0) {
      details << "zrctl: line " << entry.line << ": set " << profile::Quote(entry.key)
              << " failed: " << DescribeSetResult(set) << " (SetSetting " << set << ")\n";
      outcome.failedKeys.push_back(entry.key);
      continue;
    }
    outcome.sentKeys.push_back(entry.key);
    sent.push_back(entry);
  }
  // One commit even after a failed set, as the window's Save does: the sets
  // that arrived are kept.
  const int committed = link.CommitSettings();
  outcome.committed = committed == 0;
  if (!outcome.committed) {
    details << "zrctl: commit failed: no answer or refused by the scanner (CommitSettings "
            << committed << ")\n";
    return outcome;
  }
  for (const VerifiedSetting& setting : VerifyStored(link, sent, details)) {
    if (!setting.Matches()) outcome.failedKeys.push_back(setting.key);
  }
  return outcome;
}

}  // namespace lumiq::zrctl
