#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/app/connect_steps.h"
#include "ui/app/document_source.h"
#include "ui/app/scanner_choice.h"

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
  // A new settings window on `source` (a profile file), opened and kept as
  // OpenSettings' is.
  virtual void OpenSettingsOn(std::unique_ptr<DocumentSource> source) = 0;
  // More than one scanner is present: the chooser (template 103) shows one
  // row per choice in this order, the first selected. Enter, OK or a double
  // click on a row calls ConnectChosen with it; Escape or cancel closes the
  // chooser and nothing more happens. A window without a chooser goes back.
  virtual void OpenChooser(const std::vector<ScannerChoice>& /*choices*/) {}
};

// "连接设备" (also Enter): every press starts over from discovery. With one
// scanner (or none) it opens it as discovery finds it; with more it reads
// each one's device number and firmware for the chooser and opens none
// (the link of an earlier connect is given up first, since it holds its
// scanner). The message is shown before any settings window opens, which
// opens only once the version was read.
ConnectOutcome RunConnect(ConnectWindow& window);

// The chooser's choice: the same open, version read and messages as with
// one scanner, on the chosen interface.
ConnectOutcome ConnectChosen(ConnectWindow& window, const ScannerChoice& choice);

// "打开配置文件..." (and a file given to the program): the file read as an
// import reads it, then a settings window on it; a file an import would
// refuse opens nothing, and the import's message says why. No scanner is
// opened, read or written. kNoDevice when nothing opened.
ConnectOutcome OpenProfile(ConnectWindow& window, const ChosenFile& file);

}  // namespace lumiq::ui::app
