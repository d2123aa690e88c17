#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "ui/pages/page_controls.h"
#include "ui/pages/setting_io.h"

namespace lumiq::ui {

// The five pages' controls, one member per page (a window finds each by
// its template: ui/app/page_tabs.h).
struct PageSet {
  PageControls& symbology;
  PageControls& outputMethod;
  PageControls& outputFormat;
  PageControls& control;
  PageControls& version;
};

// One step of Save: a page's store group. StoreSteps lists S1 to S8 in the
// order Save runs them.
struct StoreStep {
  const char* name;  // "S1" .. "S8"
  int templateId;    // the page whose controls it reads
  void (*store)(const PageControls&, SettingWriter&);
};
const std::vector<StoreStep>& StoreSteps();

// The pages' Loads in the order the window runs them.
struct LoadStep {
  int templateId;
  void (*load)(PageControls&, SettingReader&);
};
const std::vector<LoadStep>& LoadSteps();

// Runs every page's Load in creation order (symbology, output method,
// output format, control, version). Returns the keys that could not be read.
std::vector<std::string> LoadPages(PageSet& pages);
// The same, also giving every value that was read.
std::vector<std::string> LoadPages(PageSet& pages, SettingMap* read);
// The same Loads from `settings` instead of the scanner, as for a scanner
// holding exactly them; nothing is sent. Returns the keys `settings` lacks;
// `read` gets the values the pages read, which are all a window showing
// `settings` knows of them.
std::vector<std::string> LoadPagesFrom(PageSet& pages, const SettingMap& settings,
                                       SettingMap* read = nullptr);

// Reads from the scanner, in the pages' Load order, every setting that
// pages loaded from `settings` would read but `settings` lacks (the
// parameters of a channel `settings` switches on), and adds what was read to
// `settings`; no page is touched. Returns the keys whose read failed.
std::vector<std::string> ReadMissingSettings(SettingMap* settings);

struct SaveOutcome {
  std::vector<std::string> failedKeys;  // in the order their sets were issued
  bool commitFailed = false;
  bool Succeeded() const { return failedKeys.empty() && !commitFailed; }
};

// Store steps S1 to S8 in their interleaved order, each to its end whatever
// the earlier ones returned, then one commit.
SaveOutcome SavePages(const PageSet& pages);

// What Save would send, without sending it: store steps S1 to S8 into
// `settings`, each key left with the last value sent for it. Returns the keys
// Save would fail without asking the scanner (a text that cannot be encoded,
// a set too long for the link), in the order they were stored.
std::vector<std::string> StorePagesInto(const PageSet& pages, SettingMap* settings);

// The texts the window shows for these outcomes (UTF-8), in the current
// language (res/i18n/catalogue.h): the failure text on
// the first line, then every failed key once, joined by
// kMessageKeySeparator and wrapped into lines of at most
// kMessageLineColumns characters (a longer key stands alone on its line), so
// that the box fits the screen however many keys failed.
std::string SaveMessage(const SaveOutcome& outcome);
std::string LoadFailureMessage(const std::vector<std::string>& failedKeys);
// `text` (translated) on the first line, then the keys as those messages
// list them.
std::string MessageWithKeys(const std::string& text, const std::vector<std::string>& keys);
// The keys alone, as those messages list them below their first line: the
// argument of a pattern that places the list itself.
std::string KeyLines(const std::vector<std::string>& keys);

inline constexpr char kSaveSucceededText[] = "保存成功!";
inline constexpr char kSaveFailedText[] = "保存失败，请检查设备是否插入或重试!";
inline constexpr char kLoadFailedText[] = "读取设备设置失败，请检查设备是否插入或重试!";
inline constexpr char kMessageKeySeparator[] = ", ";
inline constexpr size_t kMessageLineColumns = 64;

}  // namespace lumiq::ui
