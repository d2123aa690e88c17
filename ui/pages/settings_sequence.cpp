#include "ui/pages/settings_sequence.h"

#include <algorithm>

#include "link/device_commands.h"
#include "ui/pages/control_page.h"
#include "ui/pages/output_format_page.h"
#include "ui/pages/output_method_page.h"
#include "ui/pages/setting_io.h"
#include "ui/pages/symbology_page.h"
#include "ui/pages/version_page.h"

namespace lumiq::ui {

std::vector<std::string> LoadPages(PageSet& pages) {
  SettingReader reader;
  SymbologyPage::Load(pages.symbology, reader);
  OutputMethodPage::Load(pages.outputMethod, reader);
  OutputFormatPage::Load(pages.outputFormat, reader);
  ControlPage::Load(pages.control, reader);
  VersionPage::Load(pages.version, reader);
  return reader.FailedKeys();
}

SaveOutcome SavePages(const PageSet& pages) {
  SettingWriter writer;
  SymbologyPage::StoreS1(pages.symbology, writer);            // S1
  OutputMethodPage::StoreS2(pages.outputMethod, writer);      // S2
  OutputFormatPage::StoreGroupA(pages.outputFormat, writer);  // S3
  ControlPage::StoreGroupA(pages.control, writer);            // S4
  OutputFormatPage::StoreGroupB(pages.outputFormat, writer);  // S5
  VersionPage::StoreS6(pages.version, writer);                // S6
  ControlPage::StoreGroupB(pages.control, writer);            // S7
  OutputFormatPage::StoreGroupC(pages.outputFormat, writer);  // S8

  SaveOutcome outcome;
  outcome.failedKeys = writer.FailedKeys();
  // The commit goes out whatever the sets returned: the scanner may have
  // taken some of them, and they only take effect once committed.
  outcome.commitFailed = CommitSettings() != 0;                // S9
  return outcome;
}

namespace {
// Each key once, in the order it first failed: `wifi0_apimothed` is sent
// twice in one Save and may fail twice.
std::string WithKeys(const char* text, const std::vector<std::string>& keys) {
  std::string message = text;
  std::vector<std::string> named;
  for (const std::string& key : keys) {
    if (std::find(named.begin(), named.end(), key) != named.end()) continue;
    named.push_back(key);
    message += "\n" + key;
  }
  return message;
}
}  // namespace

std::string SaveMessage(const SaveOutcome& outcome) {
  if (outcome.Succeeded()) return kSaveSucceededText;
  return WithKeys(kSaveFailedText, outcome.failedKeys);
}

std::string LoadFailureMessage(const std::vector<std::string>& failedKeys) {
  return WithKeys(kLoadFailedText, failedKeys);
}

}  // namespace lumiq::ui
