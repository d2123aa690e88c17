#pragma once

#include <array>
#include <string>

#include "ui/app/page_tabs.h"
#include "ui/pages/setting_io.h"

namespace lumiq::ui::app {

// Which tabs hold a setting changed since the window opened: what each
// page's store steps would send, compared with what they would have sent
// then. Only the pages' own controls count, so a tab is marked for its own
// edits and unmarked again when they are undone.
class ChangeMarks {
 public:
  // What the pages would send now becomes the unchanged state.
  void Reset(const PagesByTab& pages);
  // Per tab, whether its page would send anything else now.
  std::array<bool, kPageCount> Changed(const PagesByTab& pages) const;

 private:
  std::array<SettingMap, kPageCount> sent_;
};

// Tracks whether the connected scanner is simulated (the demo, the runner):
// its windows say so.
void SetScannersSimulated(bool simulated);
bool ScannersSimulated();

// The port of the scanner the last connect opened ("" when unknown).
void SetConnectedPort(std::string port);
const std::string& ConnectedPort();

// The settings window's title (UTF-8) in the current language: the
// template's caption, the subject and, while a setting has changed, the
// mark. `subject` comes from ScannerSubject or FileSubject.
std::string WindowTitle(const std::string& subject, bool changed);
// A tab's header: its caption (translated), marked while changed.
std::string TabCaption(int tab, bool changed);
// The connected scanner by port and `deviceNumber` (its bytes, nullptr when
// unread), simulated ones said as such.
std::string ScannerSubject(const std::string* deviceNumber);
std::string FileSubject(const std::string& name);

}  // namespace lumiq::ui::app
