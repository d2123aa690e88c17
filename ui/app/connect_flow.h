#pragma once

#include <string>

#include "ui/app/connect_steps.h"

namespace lumiq::ui::app {

// What the connect dialog's window does for the connect flow.
class ConnectWindow {
 public:
  virtual ~ConnectWindow() = default;
  // The settings window of an earlier connect, if one is still kept, goes.
  virtual void DropSettings() = 0;
  // A plain OK box owned by the connect dialog.
  virtual void ShowMessage(const std::string& utf8) = 0;
  // A new settings window: run modally (the application) or kept until the
  // next connect (the runner, tests).
  virtual void OpenSettings() = 0;
};

// "连接设备" (also Enter): every press starts over from discovery. The
// message is shown before any settings window opens, which opens only once
// the version was read.
ConnectOutcome RunConnect(ConnectWindow& window);

}  // namespace lumiq::ui::app
