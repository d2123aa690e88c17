#include "ui/app/connect_steps.h"

#include <vector>

#include "link/device_commands.h"
#include "res/i18n/catalogue.h"
#include "res/strings.h"
#include "ui/app/change_marks.h"
#include "ui/pages/connect_message.h"

namespace lumiq::ui::app {

std::string OpenFailedMessage() { return ConnectFailedMessage(LastOpenFailure()); }

namespace {

// What follows an open: its failure message, or the version read.
ConnectResult AfterOpen(int opened) {
  ConnectResult result;
  if (opened < 0) {
    result.outcome = ConnectOutcome::kNoDevice;
    result.message = OpenFailedMessage();
    return result;
  }
  // The version is read into the connect dialog's own 1024-byte buffer; it
  // is only checked for, not shown.
  std::vector<char> version(kLongValueBufferSize, '\0');
  int length = 0;
  if (GetVersion(version.data(), version.size(), &length) < 0) {
    result.outcome = ConnectOutcome::kNoVersion;
    result.message = i18n::Tr(res::kVersionFailedText);
    return result;
  }
  result.outcome = ConnectOutcome::kConnected;
  result.message = i18n::Tr(res::kConnectedText);
  return result;
}

}  // namespace

ConnectResult ConnectToScanner() {
  SetConnectedPort(std::string());
  return AfterOpen(OpenDevice());
}

ConnectResult ConnectToScannerAt(const std::string& path) {
  // For the settings window's title, which names the scanner by its port.
  SetConnectedPort(CurrentHidPlatform().PortOf(path));
  return AfterOpen(OpenDeviceAt(path));
}

}  // namespace lumiq::ui::app
