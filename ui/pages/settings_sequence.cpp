#include "ui/pages/settings_sequence.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "link/device_commands.h"
#include "res/i18n/catalogue.h"
#include "ui/pages/blank_controls.h"
#include "ui/pages/control_page.h"
#include "ui/pages/output_format_page.h"
#include "ui/pages/output_method_page.h"
#include "ui/pages/setting_io.h"
#include "ui/pages/symbology_page.h"
#include "ui/pages/version_page.h"

namespace lumiq::ui {

namespace {

PageControls& PageOf(PageSet& pages, int templateId) {
  switch (templateId) {
    case SymbologyPage::kTemplateId: return pages.symbology;
    case OutputMethodPage::kTemplateId: return pages.outputMethod;
    case OutputFormatPage::kTemplateId: return pages.outputFormat;
    case ControlPage::kTemplateId: return pages.control;
    default: return pages.version;
  }
}

const PageControls& PageOf(const PageSet& pages, int templateId) {
  return PageOf(const_cast<PageSet&>(pages), templateId);
}

void LoadInPageOrder(PageSet& pages, SettingReader& reader) {
  for (const LoadStep& step : LoadSteps()) step.load(PageOf(pages, step.templateId), reader);
}

void StoreInSaveOrder(const PageSet& pages, SettingWriter& writer) {
  for (const StoreStep& step : StoreSteps()) step.store(PageOf(pages, step.templateId), writer);
}

}  // namespace

const std::vector<LoadStep>& LoadSteps() {
  static const std::vector<LoadStep> steps = {
      {SymbologyPage::kTemplateId, &SymbologyPage::Load},
      {OutputMethodPage::kTemplateId, &OutputMethodPage::Load},
      {OutputFormatPage::kTemplateId, &OutputFormatPage::Load},
      {ControlPage::kTemplateId, &ControlPage::Load},
      {VersionPage::kTemplateId, &VersionPage::Load},
  };
  return steps;
}

const std::vector<StoreStep>& StoreSteps() {
  static const std::vector<StoreStep> steps = {
      {"S1", SymbologyPage::kTemplateId, &SymbologyPage::StoreS1},
      {"S2", OutputMethodPage::kTemplateId, &OutputMethodPage::StoreS2},
      {"S3", OutputFormatPage::kTemplateId, &OutputFormatPage::StoreS3},
      {"S4", ControlPage::kTemplateId, &ControlPage::StoreS4},
      {"S5", OutputFormatPage::kTemplateId, &OutputFormatPage::StoreS5},
      {"S6", VersionPage::kTemplateId, &VersionPage::StoreS6},
      {"S7", ControlPage::kTemplateId, &ControlPage::StoreS7},
      {"S8", OutputFormatPage::kTemplateId, &OutputFormatPage::StoreS8},
  };
  return steps;
}

std::vector<std::string> ReadMissingSettings(SettingMap* settings) {
  BlankControls discarded;
  PageSet pages{discarded, discarded, discarded, discarded, discarded};
  SettingReader reader(*settings, SettingReader::MissingFromScanner::kRead);
  LoadInPageOrder(pages, reader);
  // The values `settings` already had come back unchanged; only the
  // scanner's are new.
  for (const auto& [key, value] : reader.Values()) settings->emplace(key, value);
  return reader.FailedKeys();
}

std::vector<std::string> LoadPages(PageSet& pages) { return LoadPages(pages, nullptr); }

std::vector<std::string> LoadPages(PageSet& pages, SettingMap* read) {
  SettingReader reader;
  LoadInPageOrder(pages, reader);
  if (read) *read = reader.Values();
  return reader.FailedKeys();
}

std::vector<std::string> LoadPagesFrom(PageSet& pages, const SettingMap& settings,
                                       SettingMap* read) {
  SettingReader reader(settings);
  LoadInPageOrder(pages, reader);
  if (read) *read = reader.Values();
  return reader.FailedKeys();
}

std::vector<std::string> StorePagesInto(const PageSet& pages, SettingMap* settings) {
  SettingWriter writer(*settings);
  StoreInSaveOrder(pages, writer);
  return writer.FailedKeys();
}

SaveOutcome SavePages(const PageSet& pages) {
  SettingWriter writer;
  StoreInSaveOrder(pages, writer);

  SaveOutcome outcome;
  outcome.failedKeys = writer.FailedKeys();
  // The commit goes out whatever the sets returned: the scanner may have
  // taken some of them, and they only take effect once committed.
  outcome.commitFailed = CommitSettings() != 0;                // S9
  return outcome;
}

namespace {
// The failure text on the first line, then each key once, in the order it
// first failed (`wifi0_apimothed` is sent twice in one Save and may fail
// twice), several to a line: a Save with the scanner gone fails some fifty
// keys, and one a line would make a box taller than the screen. A key is
// never split, so a line is longer than kMessageLineColumns characters only
// when a single key is.
std::string WithKeys(const std::string& text, const std::vector<std::string>& keys) {
  std::string message = i18n::Tr(text.c_str());
  std::vector<std::string> named;
  size_t column = 0;
  for (const std::string& key : keys) {
    if (std::find(named.begin(), named.end(), key) != named.end()) continue;
    const bool first = named.empty();
    named.push_back(key);
    const size_t separator = std::char_traits<char>::length(kMessageKeySeparator);
    // Room is kept for the comma that closes a line when the next key wraps.
    if (!first && column + separator + key.size() + 1 <= kMessageLineColumns) {
      message += kMessageKeySeparator;
      column += separator;
    } else {
      if (!first) message += ',';  // the list goes on below
      message += '\n';
      column = 0;
    }
    message += key;
    column += key.size();
  }
  return message;
}
}  // namespace

std::string SaveMessage(const SaveOutcome& outcome) {
  if (outcome.Succeeded()) return i18n::Tr(kSaveSucceededText);
  return WithKeys(kSaveFailedText, outcome.failedKeys);
}

std::string LoadFailureMessage(const std::vector<std::string>& failedKeys) {
  return WithKeys(kLoadFailedText, failedKeys);
}

std::string MessageWithKeys(const std::string& text, const std::vector<std::string>& keys) {
  return WithKeys(text, keys);
}

std::string KeyLines(const std::vector<std::string>& keys) {
  // The list as it follows a first line, without that line's break.
  return keys.empty() ? std::string() : WithKeys("", keys).substr(1);
}

}  // namespace lumiq::ui
