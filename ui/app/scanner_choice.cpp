#include "ui/app/scanner_choice.h"

#include <algorithm>
#include <utility>

#include "link/device_commands.h"
#include "profile/setting_text.h"
#include "res/i18n/catalogue.h"
#include "ui/app/chooser_texts.h"

namespace lumiq::ui::app {

namespace {

// A value as the version page would show it, short enough for one row;
// control bytes and bytes that are no GBK text escaped as zrctl shows them.
std::string Shown(bool read, const std::string& value) {
  if (!read) return i18n::Tr(kChoiceNotRead);
  if (value.empty()) return i18n::Tr(kChoiceEmptyValue);
  return profile::QuoteText(value, 32);
}

const char* WhyUnreadable(OpenFailure failure) {
  switch (failure) {
    case OpenFailure::kInUse: return kChoiceInUse;
    case OpenFailure::kPermissionDenied: return kChoiceNoPermission;
    case OpenFailure::kNoAnswer: return kChoiceNoAnswer;
    case OpenFailure::kNotFound: return kChoiceGone;
    default: return kChoiceUnreadable;
  }
}

}  // namespace

std::vector<ScannerIdentity> PresentScanners(HidPlatform& platform) {
  std::vector<ScannerIdentity> scanners = SortedInterfaces(platform);
  scanners.erase(std::remove_if(scanners.begin(), scanners.end(),
                                [](const ScannerIdentity& scanner) {
                                  return !IsScannerInterface(scanner.info.attributes) ||
                                         scanner.info.path.size() + 1 > kDevicePathSize;
                                }),
                 scanners.end());
  return scanners;
}

std::string ChoiceText(const ScannerIdentity& scanner) {
  const std::string port = scanner.info.port.empty() ? std::string(i18n::Tr(kChoiceUnknownPort))
                                                     : profile::QuoteText(scanner.info.port, 32);
  if (!scanner.opened) {
    return i18n::TrFormat(kChoiceRowUnreadable, {port, i18n::Tr(WhyUnreadable(scanner.failure))});
  }
  return i18n::TrFormat(kChoiceRow,
                        {port, Shown(scanner.deviceNumberRead, scanner.deviceNumber),
                         Shown(scanner.firmwareRead, scanner.firmware)});
}

std::vector<ScannerChoice> ReadChoices(std::vector<ScannerIdentity> scanners) {
  std::vector<ScannerChoice> choices;
  for (ScannerIdentity& scanner : scanners) {
    Identify(DeviceLink(), &scanner);
    choices.push_back({scanner.info.path, ChoiceText(scanner)});
  }
  return choices;
}

}  // namespace lumiq::ui::app
