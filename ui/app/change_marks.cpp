#include "ui/app/change_marks.h"

#include <optional>

#include "profile/setting_text.h"
#include "res/i18n/catalogue.h"
#include "res/strings.h"
#include "ui/app/chooser_texts.h"
#include "ui/app/document_texts.h"
#include "ui/pages/blank_controls.h"

namespace lumiq::ui::app {

namespace {

SettingMap SentByTab(const PagesByTab& pages, int tab) {
  BlankControls blank;
  PagesByTab alone{};
  for (int other = 0; other < kPageCount; ++other) {
    alone[static_cast<size_t>(other)] =
        other == tab ? pages[static_cast<size_t>(other)] : &blank;
  }
  SettingMap sent;
  const std::vector<std::string> failed = StorePagesInto(PagesOf(alone), &sent);
  // A text that cannot be encoded sends nothing, yet it was typed.
  for (const std::string& key : failed) sent["\n" + key] = "";
  return sent;
}

bool simulated = false;
std::string connectedPort;

}  // namespace

void ChangeMarks::Reset(const PagesByTab& pages) {
  for (int tab = 0; tab < kPageCount; ++tab) sent_[static_cast<size_t>(tab)] = SentByTab(pages, tab);
}

std::array<bool, kPageCount> ChangeMarks::Changed(const PagesByTab& pages) const {
  std::array<bool, kPageCount> changed{};
  for (int tab = 0; tab < kPageCount; ++tab) {
    changed[static_cast<size_t>(tab)] = SentByTab(pages, tab) != sent_[static_cast<size_t>(tab)];
  }
  return changed;
}

void SetScannersSimulated(bool value) { simulated = value; }
bool ScannersSimulated() { return simulated; }
void SetConnectedPort(std::string port) { connectedPort = std::move(port); }
const std::string& ConnectedPort() { return connectedPort; }

std::string WindowTitle(const std::string& subject, bool changed) {
  std::string title = i18n::TrFormat(kTitleText, {i18n::Tr(res::kAppCaption), subject});
  return changed ? title + kChangedMark : title;
}

std::string TabCaption(int tab, bool changed) {
  const std::string caption = i18n::Tr(kPageTabs[tab].caption);
  return changed ? caption + kChangedMark : caption;
}

std::string ScannerSubject(const std::string* deviceNumber) {
  const std::string port = connectedPort.empty() ? i18n::Tr(kChoiceUnknownPort) : connectedPort;
  const std::string number =
      deviceNumber ? (deviceNumber->empty() ? i18n::Tr(kChoiceEmptyValue)
                                            : profile::QuoteText(*deviceNumber))
                   : i18n::Tr(kChoiceNotRead);
  return i18n::TrFormat(simulated ? kSimulatedSubject : kScannerSubject, {port, number});
}

std::string FileSubject(const std::string& name) {
  // The name alone: a folder's path would push the caption out of sight.
  const size_t slash = name.find_last_of("/\\");
  return i18n::TrFormat(kFileSubject, {slash == std::string::npos ? name : name.substr(slash + 1)});
}

}  // namespace lumiq::ui::app
