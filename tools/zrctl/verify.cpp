#include "tools/zrctl/verify.h"

#include "profile/setting_text.h"
#include "tools/zrctl/commands.h"

namespace lumiq::zrctl {

std::vector<VerifiedSetting> VerifyStored(ScannerLink& link,
                                          const std::vector<profile::ProfileEntry>& sent,
                                          std::ostream& out) {
  std::vector<VerifiedSetting> verified;
  for (const profile::ProfileEntry& entry : sent) {
    VerifiedSetting setting;
    setting.key = entry.key;
    setting.sent = entry.value;
    std::string value;
    const int result = ReadSetting(link, entry.key, &value);
    if (result < 0) {
      setting.failure = DescribeGetFailure(result, value);
    } else {
      setting.read = true;
      setting.stored = std::move(value);
    }
    if (!setting.Matches()) {
      out << profile::Quote(setting.key) << ": sent=" << profile::QuoteText(setting.sent, 1024);
      if (setting.read) {
        out << " stored=" << profile::QuoteText(setting.stored, 1024) << '\n';
      } else {
        out << " not read back: " << setting.failure << '\n';
      }
    }
    verified.push_back(std::move(setting));
  }
  return verified;
}

}  // namespace lumiq::zrctl
