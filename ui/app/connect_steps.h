#pragma once

#include <string>

namespace lumiq::ui::app {

// What "连接设备" does before a settings window may open, the same in every
// binding: open the scanner (discovery, link, handshake), then read its
// firmware version. Each outcome has one message for the operator.
enum class ConnectOutcome { kNoDevice, kNoVersion, kConnected };

struct ConnectResult {
  ConnectOutcome outcome = ConnectOutcome::kNoDevice;
  std::string message;  // UTF-8, shown in a plain OK box owned by the dialog
  bool Connected() const { return outcome == ConnectOutcome::kConnected; }
};

// The whole sequence from discovery on; every call starts over.
ConnectResult ConnectToScanner();

// The message for an open that failed with `openResult` (a negative
// OpenDevice code). The one place that text is put together.
std::string OpenFailedMessage(int openResult);

}  // namespace lumiq::ui::app
