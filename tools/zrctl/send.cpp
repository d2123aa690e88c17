#include "tools/zrctl/send.h"

#include "profile/known_keys.h"
#include "profile/setting_text.h"
#include "tools/zrctl/commands.h"

namespace lumiq::zrctl {

SentProfile SendProfile(ScannerLink& link, const std::vector<profile::ProfileEntry>& profile,
                        std::ostream& err) {
  SentProfile result;
  for (const profile::ProfileEntry& entry : profile) {
    // Dumps carry the firmware version so that diff can compare it; it is
    // the scanner's own and is never written.
    if (profile::IsReadOnlyKey(entry.key)) continue;
    const int set = link.SetSetting(entry.key, entry.value);
    if (set != 0) {
      err << "zrctl: line " << entry.line << ": set " << profile::Quote(entry.key)
          << " failed: " << DescribeSetResult(set) << " (SetSetting " << set << ")\n";
      result.failedKeys.push_back(entry.key);
      continue;
    }
    result.sent.push_back(entry);
  }
  result.commit = link.CommitSettings();
  if (!result.Committed()) {
    err << "zrctl: commit failed: no answer or refused by the scanner (CommitSettings "
        << result.commit << ")\n";
  }
  return result;
}

}  // namespace lumiq::zrctl
