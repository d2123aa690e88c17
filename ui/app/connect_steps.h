#pragma once

#include <string>

namespace lumiq::ui::app {

// What "连接设备" does before a settings window may open, the same in every
// binding: open the scanner (discovery, link, handshake), then read its
// firmware version. Each outcome has one message for the operator.
// kChoosing: more than one scanner is present and the chooser is up instead.
enum class ConnectOutcome { kNoDevice, kNoVersion, kConnected, kChoosing };

struct ConnectResult {
  ConnectOutcome outcome = ConnectOutcome::kNoDevice;
  std::string message;  // UTF-8, shown in a plain OK box owned by the dialog
  bool Connected() const { return outcome == ConnectOutcome::kConnected; }
};

// The whole sequence from discovery on; every call starts over.
ConnectResult ConnectToScanner();
// The same on the interface at `path`, without discovery (the scanner the
// operator chose).
ConnectResult ConnectToScannerAt(const std::string& path);

// The message for the open that just failed: the fixed text, then the
// cause the link found, where it knows one.
std::string OpenFailedMessage();

}  // namespace lumiq::ui::app
