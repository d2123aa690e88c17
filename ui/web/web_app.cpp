// The page's application: the connect dialog, the chooser and the settings
// window of the desktop bindings, drawn by the page's script
// (ui/web/binding.js) from the same templates, with the same flow from
// ui/app. The script calls the exported functions below for the operator's
// clicks; those that talk to the scanner wait through Asyncify and are
// called with ccall's async mode, the page disabled meanwhile.

#include <emscripten.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/device_commands.h"
#include "res/dialog_template.h"
#include "res/i18n/catalogue.h"
#include "res/i18n/language.h"
#include "res/ids/app_ids.h"
#include "ui/app/connect_flow.h"
#include "ui/app/document_source.h"
#include "ui/app/page_tabs.h"
#include "ui/app/profile_transfer.h"
#include "ui/app/settings_session.h"
#include "ui/web/dialog_json.h"
#include "ui/web/web_page_controls.h"
#include "ui/web/web_texts.h"

// clang-format off
EM_ASYNC_JS(void, lumiq_ui_message, (const char* text), {
  await Module.lumiqUi.message(UTF8ToString(text));
});
EM_JS(void, lumiq_ui_open_settings, (), { Module.lumiqUi.openSettings(); });
EM_JS(void, lumiq_ui_show_settings, (), { Module.lumiqUi.showSettings(); });
EM_JS(void, lumiq_ui_rebuild_pages, (), { Module.lumiqUi.buildPages(); });
EM_JS(void, lumiq_ui_close_settings, (), { Module.lumiqUi.closeSettings(); });
EM_JS(void, lumiq_ui_open_chooser, (const char* rows), {
  Module.lumiqUi.openChooser(JSON.parse(UTF8ToString(rows)));
});
// clang-format on

namespace lumiq::ui::web {

namespace {

class SettingsWindow {
 public:
  explicit SettingsWindow(std::unique_ptr<app::DocumentSource> source)
      : session_(std::move(source)) {
    MakePages();
  }

  app::PagesByTab Pages() {
    app::PagesByTab pages{};
    for (size_t tab = 0; tab < pages_.size(); ++tab) pages[tab] = pages_[tab].get();
    return pages;
  }
  void MakePages() {
    for (size_t tab = 0; tab < pages_.size(); ++tab) {
      pages_[tab] = std::make_unique<WebPageControls>(app::kPageTabs[tab].templateId);
    }
  }
  app::SettingsSession& Session() { return session_; }

 private:
  std::array<std::unique_ptr<WebPageControls>, app::kPageCount> pages_;
  app::SettingsSession session_;
};

std::unique_ptr<SettingsWindow> settings;
std::vector<app::ScannerChoice> choices;

void ShowMessage(const std::string& utf8) { lumiq_ui_message(utf8.c_str()); }

class ConnectWindow final : public app::ConnectWindow {
 public:
  void DropSettings() override {
    if (settings) lumiq_ui_close_settings();
    settings.reset();
  }
  void ShowMessage(const std::string& utf8) override { web::ShowMessage(utf8); }
  void OpenSettings() override { OpenSettingsOn(std::make_unique<app::ScannerSource>()); }
  // The page offers no "打开配置文件..." (its button stays hidden), so only
  // OpenSettings comes here; a source is shown as the desktop shows it.
  void OpenSettingsOn(std::unique_ptr<app::DocumentSource> source) override {
    settings = std::make_unique<SettingsWindow>(std::move(source));
    // The pages' elements exist before their Loads fill them, and the
    // window shows only once they have read the scanner.
    lumiq_ui_open_settings();
    settings->Session().Open(settings->Pages());
    lumiq_ui_show_settings();
    if (const std::optional<std::string> message = settings->Session().OpeningMessage()) {
      web::ShowMessage(*message);
    }
  }
  void OpenChooser(const std::vector<app::ScannerChoice>& offered) override {
    choices = offered;
    std::string rows = "[";
    for (size_t i = 0; i < choices.size(); ++i) {
      if (i > 0) rows += ',';
      rows += JsonString(choices[i].text);
    }
    lumiq_ui_open_chooser((rows + "]").c_str());
  }
};

// The file the page's picker read into the page's memory, or the name the
// export's download will carry.
class PageFile final : public app::FileChooser {
 public:
  PageFile(std::string path, std::string name, int filter)
      : file_{std::move(path), std::move(name), filter} {}
  std::optional<app::ChosenFile> Choose(app::FileChoice) override { return file_; }

 private:
  app::ChosenFile file_;
};

std::string& Returned() {
  static std::string text;
  return text;
}

}  // namespace

}  // namespace lumiq::ui::web

using namespace lumiq;
using namespace lumiq::ui;

extern "C" {

// The browser's languages, most preferred first, one a line: the windows'
// language, chosen as the desktop applications choose theirs.
EMSCRIPTEN_KEEPALIVE void lumiq_set_languages(const char* lines) {
  std::vector<std::string> names;
  std::string rest = lines ? lines : "";
  size_t start = 0;
  while (start < rest.size()) {
    size_t end = rest.find('\n', start);
    if (end == std::string::npos) end = rest.size();
    if (end > start) names.push_back(rest.substr(start, end - start));
    start = end + 1;
  }
  i18n::SetLanguage(i18n::LanguageForUiLanguages(names));
}

EMSCRIPTEN_KEEPALIVE const char* lumiq_language() {
  return i18n::LanguageName(i18n::CurrentLanguage());
}

// A template as JSON (ui/web/dialog_json.h); "" when there is none.
EMSCRIPTEN_KEEPALIVE const char* lumiq_dialog(int templateId) {
  const res::DialogTemplate* dialog = res::FindDialogTemplate(templateId);
  web::Returned() = dialog ? web::DialogJson(*dialog) : std::string();
  return web::Returned().c_str();
}

// The ids and figures the page's script works with, taken from the headers
// that define them, so that the script holds no copy to fall out of step.
EMSCRIPTEN_KEEPALIVE const char* lumiq_ids() {
  const std::pair<const char*, int> ids[] = {
      {"about", res::kAboutTemplateId},
      {"connect", res::kConnectTemplateId},
      {"chooser", res::kChooserTemplateId},
      {"settings", res::kSettingsTemplateId},
      {"aboutOk", res::kAboutOkButton},
      {"connectButton", res::kConnectButton},
      {"connectExit", res::kConnectExitButton},
      {"connectOpen", res::kConnectOpenButton},
      {"chooserOk", res::kChooserOkButton},
      {"chooserCancel", res::kChooserCancelButton},
      {"chooserList", res::kChooserList},
      {"tabs", res::kSettingsTabControl},
      {"exit", res::kSettingsExitButton},
      {"save", res::kSettingsSaveButton},
      {"import", res::kSettingsImportButton},
      {"export", res::kSettingsExportButton},
      {"testScan", res::kSettingsTestScanButton},
      {"apply", res::kSettingsApplyButton},
      {"pageTop", app::kPageTopOffset},
  };
  std::string json = "{";
  for (const auto& [name, value] : ids) {
    if (json.size() > 1) json += ',';
    json += web::JsonString(name) + ":" + std::to_string(value);
  }
  web::Returned() = json + "}";
  return web::Returned().c_str();
}

// The settings window's tabs: [[template, caption], ...] in page order.
EMSCRIPTEN_KEEPALIVE const char* lumiq_tabs() {
  std::string json = "[";
  for (int tab = 0; tab < app::kPageCount; ++tab) {
    if (tab > 0) json += ',';
    json += "[" + std::to_string(app::kPageTabs[tab].templateId) + "," +
            web::JsonString(i18n::Tr(app::kPageTabs[tab].caption)) + "]";
  }
  web::Returned() = json + "]";
  return web::Returned().c_str();
}

// A text of the page's own, or of the application's, in the current language.
EMSCRIPTEN_KEEPALIVE const char* lumiq_text(const char* key) {
  const std::string name = key ? key : "";
  const char* source = "";
  if (name == "no-webhid") source = web::kNoWebHidText;
  else if (name == "export-name") source = web::kExportNameLabel;
  else if (name == "export-kind") source = web::kExportKindLabel;
  else if (name == "window-menu") source = web::kWindowMenuLabel;
  else if (name == "close") source = web::kCloseLabel;
  else if (name == "demo") source = web::kDemoBanner;
  else if (name == "export-title") source = app::kExportTitle;
  else if (name == "import-title") source = app::kImportTitle;
  else if (name == "tabs-name") source = "设置页";
  else if (name == "about-menu") source = "关于 LumiqConfigTool(&A)...";
  else if (name == "ok") source = "确定";
  else if (name == "cancel") source = "取消";
  web::Returned() = i18n::Tr(source);
  return web::Returned().c_str();
}

// The export dialog's file types: [[name, pattern], ...].
EMSCRIPTEN_KEEPALIVE const char* lumiq_export_filters() {
  std::string json = "[";
  bool first = true;
  for (const app::FileFilter& filter : app::FiltersFor(app::FileChoice::kExport)) {
    if (!first) json += ',';
    first = false;
    json += "[" + web::JsonString(i18n::Tr(filter.name)) + "," + web::JsonString(filter.pattern) + "]";
  }
  web::Returned() = json + "]";
  return web::Returned().c_str();
}

// "连接设备": the outcome (app::ConnectOutcome) once its messages were shown.
EMSCRIPTEN_KEEPALIVE int lumiq_connect() {
  web::ConnectWindow window;
  return static_cast<int>(app::RunConnect(window));
}

// The chooser's row `row` (from 0) with Enter.
EMSCRIPTEN_KEEPALIVE int lumiq_pick(int row) {
  if (row < 0 || static_cast<size_t>(row) >= web::choices.size()) return -1;
  const app::ScannerChoice choice = web::choices[static_cast<size_t>(row)];
  web::ConnectWindow window;
  return static_cast<int>(app::ConnectChosen(window, choice));
}

EMSCRIPTEN_KEEPALIVE int lumiq_has_settings() { return web::settings ? 1 : 0; }

// "保存": 1 when every set and the commit succeeded.
EMSCRIPTEN_KEEPALIVE int lumiq_save() {
  if (!web::settings) return -1;
  const app::SettingsSession::Saved saved = web::settings->Session().Save(web::settings->Pages());
  web::ShowMessage(saved.message);
  return saved.outcome.Succeeded() ? 1 : 0;
}

// "退出" and the close box: nothing is sent.
EMSCRIPTEN_KEEPALIVE void lumiq_exit_settings() {
  if (web::settings) lumiq_ui_close_settings();
  web::settings.reset();
}

// "导入配置...", the file read by the page's picker into `path`; `name` is
// what the operator picked. 1 imported, 0 refused.
EMSCRIPTEN_KEEPALIVE int lumiq_import(const char* path, const char* name) {
  if (!web::settings || !path) return -1;
  web::PageFile file(path, name ? name : path, 0);
  const std::optional<app::TransferResult> result = web::settings->Session().Import(
      web::settings->Pages(), file, [] {
        lumiq_ui_rebuild_pages();
        web::settings->MakePages();
        return web::settings->Pages();
      });
  if (!result) return 0;
  web::ShowMessage(result->message);
  return result->ok ? 1 : 0;
}

// "导出配置...": writes `path` (the page's memory), which the page then offers
// as a download named `name`. 1 written, 0 refused.
EMSCRIPTEN_KEEPALIVE int lumiq_export(const char* path, const char* name, int filter) {
  if (!web::settings || !path) return -1;
  web::PageFile file(path, name ? name : path, filter);
  const std::optional<app::TransferResult> result =
      web::settings->Session().Export(web::settings->Pages(), file);
  if (!result) return 0;
  web::ShowMessage(result->message);
  return result->ok ? 1 : 0;
}

}  // extern "C"
