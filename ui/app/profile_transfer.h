#pragma once

#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/app/output_channels.h"
#include "ui/pages/setting_io.h"
#include "profile/profile.h"
#include "ui/app/document_texts.h"
#include "ui/pages/settings_sequence.h"

namespace lumiq::ui::app {

// "导入配置..." and "导出配置..." of the settings window, the same in every
// binding. A configuration file is a profile as `zrctl dump` writes it and
// `zrctl restore` reads it (profile/profile.h), so a file made by either
// program serves the other.

// The file dialogs the two buttons open, the one thing each binding adds.
// kOpen: the connect dialog's "打开配置文件...", a file to show without a
// scanner.
enum class FileChoice { kImport, kExport, kOpen };

struct ChosenFile {
  std::string path;  // as the profile's file functions take it
  std::string name;  // UTF-8, for messages; empty: the path
  int filter = 0;    // the dialog's filter chosen with it, from 0 (FiltersFor)
};

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The platform's own open dialog (kImport) or save dialog (kExport), with
  // the title and filters below; nullopt when the operator cancels.
  virtual std::optional<ChosenFile> Choose(FileChoice choice) = 0;
};

// Answers with one given file and never asks: the headless runner's import:
// and export: actions, and tests.
class GivenFileChooser final : public FileChooser {
 public:
  explicit GivenFileChooser(std::string path, int filter = 0)
      : path_(std::move(path)), filter_(filter) {}
  std::optional<ChosenFile> Choose(FileChoice) override {
    return ChosenFile{path_, path_, filter_};
  }

 private:
  std::string path_;
  int filter_;
};

// The dialogs' titles and filters, the first filter chosen at first. A
// binding shows each as "NAME (PATTERN)"; "*" is every file (Windows spells
// it "*.*"). A name typed without a suffix for an export gets kProfileSuffix.
struct FileFilter {
  const char* name;  // UTF-8
  const char* pattern;
};
inline constexpr char kImportTitle[] = "导入配置";
inline constexpr char kExportTitle[] = "导出配置";
inline constexpr FileFilter kProfileFilters[] = {
    {"配置文件", "*.profile"},
    {"所有文件", "*"},
};
// The export dialog also offers a profile to share: chosen, it leaves the
// secrets (the Wi-Fi password) out, as `zrctl dump --no-secrets` does.
inline constexpr FileFilter kExportFilters[] = {
    kProfileFilters[0],
    {"配置文件（不含 Wi-Fi 密码）", "*.profile"},
    kProfileFilters[1],
};
inline constexpr int kWithoutSecretsFilter = 1;  // in kExportFilters

// The filters of the dialog for `choice`, in order.
inline std::vector<FileFilter> FiltersFor(FileChoice choice) {
  if (choice == FileChoice::kExport) {
    return {std::begin(kExportFilters), std::end(kExportFilters)};
  }
  return {std::begin(kProfileFilters), std::end(kProfileFilters)};
}
inline constexpr char kProfileSuffix[] = "profile";

// The title of the dialog for `choice` (UTF-8, a catalogue source).
inline const char* FileDialogTitle(FileChoice choice) {
  switch (choice) {
    case FileChoice::kExport: return kExportTitle;
    case FileChoice::kOpen: return kOpenFileTitle;
    case FileChoice::kImport: break;
  }
  return kImportTitle;
}

// The window's messages (UTF-8), as patterns of the catalogue
// (res/i18n/catalogue.h): %1 is the file's name, the cause, or the list of
// keys or settings, on the lines below the first.
inline constexpr char kExportedText[] = "配置已导出到文件:\n%1";
// Added below kExportedText when the file holds a secret (the Wi-Fi
// password): on Linux only its owner may read it.
inline constexpr char kExportedSecretText[] = "文件中含有 Wi-Fi 密码，请妥善保管，勿随意分享。";
inline constexpr char kExportUnstorableText[] = "导出失败，以下设置无法保存，文件未写入:\n%1";
inline constexpr char kExportWriteFailedText[] = "导出失败，文件无法写入:\n%1";
inline constexpr char kImportedText[] = "配置已从文件导入:\n%1";
inline constexpr char kImportNotSentText[] = "设置尚未写入设备，按“保存”后写入。";
// A file from another scanner gives this one its device number (as a
// one-scanner `zrctl restore` does): %1 the scanner's, %2 the file's.
inline constexpr char kImportDeviceNumberText[] = "保存后设备号由 %1 改为文件中的 %2。";
inline constexpr char kImportIgnoredText[] = "以下设置不在窗口中，保存时不会写入:\n%1";
inline constexpr char kImportAdjustedText[] = "以下设置窗口无法按文件显示，保存时写入箭头后的值:\n%1";
inline constexpr char kImportAdjustedArrow[] = " → ";
inline constexpr char kImportKeptText[] = "不写入，设备保持原值";
inline constexpr char kImportDiscardedEditsText[] = "以下修改无法写入设备，导入时已放弃:\n%1";
inline constexpr char kImportUnreadableText[] = "导入失败，文件无法读取，窗口未改变:\n%1";
inline constexpr char kImportRefusedText[] = "导入失败，配置文件有误，窗口未改变:\n%1";
// Where a refused file went wrong: %1 the file, %2 the line number.
inline constexpr char kImportRefusedLineText[] = "%1 第 %2 行";

struct TransferResult {
  bool ok = false;
  std::string message;  // UTF-8, for a plain OK box
};

// Reads `file` as `zrctl restore` does, with the same refusals; false with
// the import's message saying why.
bool ReadProfileFile(const ChosenFile& file, std::vector<profile::ProfileEntry>* entries,
                     std::string* message);

// Whether a page of the window reads `key`.
bool ShownByAPage(const std::string& key);

// Of a file's settings that a page shows, those the pages loaded with them
// cannot show as written: a key no page read (a channel that is off) goes
// to `ignored`; a value the pages would send otherwise (`sent`, from the
// store steps) or not at all gets a line "'KEY=FILE' → 'KEY=SENT'" in
// `adjustedLines`. Returns the adjusted keys.
std::vector<std::string> UnshownSettings(
    const std::vector<std::pair<std::string, std::string>>& fileSettings, const SettingMap& read,
    const SettingMap& sent, std::vector<std::string>* adjustedLines,
    std::vector<std::string>* ignored);
// The lines an import adds for them: empty, or each part after a line break.
std::string UnshownMessage(const std::vector<std::string>& adjustedLines,
                           const std::vector<std::string>& ignored);

// What a settings window knows of its scanner beyond what its controls
// show: every value its pages read when they were loaded. Settings that
// Save does not send (the firmware version, a value the operator cannot
// change) keep these values in an export, so that the file stands for the
// scanner as it will be after Save. A setting the pages never read (the
// parameters of a channel that is off) is not known: an export marks it
// unread, as a dump marks a failed get, and a restore leaves it alone.
class ProfileTransfer {
 public:
  // The values the pages were loaded with, read from the scanner.
  void SetLoaded(SettingMap loaded) { loaded_ = std::move(loaded); }
  // A Save went out and was committed: what it stored, all but
  // `failedKeys`, is what the scanner now holds.
  void NoteSaved(const PageSet& pages, const std::vector<std::string>& failedKeys);
  const SettingMap& Loaded() const { return loaded_; }
  // A window on a profile file has no scanner to read from: an import that
  // switches a channel on leaves its parameters unread, and they are named
  // as the file's missing keys are (`missingMessage`).
  void SetNoScanner(std::string (*missingMessage)(const std::vector<std::string>&)) {
    missingMessage_ = missingMessage;
  }

  // What the scanner would hold after Save: the loaded values, overlaid
  // with what the store steps would send. Nothing is sent. The keys Save
  // would fail without asking the scanner go to `unstorable`.
  SettingMap Shown(const PageSet& pages, std::vector<std::string>* unstorable) const;

  // The profile `zrctl dump` would write for a scanner holding `settings`
  // (`zrctl dump --no-secrets` with `withoutSecrets`).
  static std::string ProfileText(const SettingMap& settings, bool withoutSecrets = false);

  // Writes the profile of Shown(pages) to `file`. Refuses (writing nothing)
  // when some setting could not be saved; a failed write leaves any old file.
  // A file that holds a secret is made readable by its owner only, and the
  // message says it holds one; chosen with kWithoutSecretsFilter, the file
  // leaves the secrets out.
  TransferResult Export(const PageSet& pages, const ChosenFile& file) const;

  // Reads `file` as `zrctl restore` does, with the same refusals. On
  // success reads from the scanner what the rebuilt pages will show and
  // neither the file nor the earlier Load supplied (the parameters of a
  // channel the file switches on), then calls `rebuild` for five pages fresh
  // from their templates and loads them from Shown(pages) overlaid with the
  // file's settings (the firmware version excepted: it is the scanner's
  // own). The message names the reads that failed, the file's values the
  // pages cannot show as written (with what Save sends instead), the keys
  // no rebuilt page shows, and the edits the old pages could not encode. On
  // failure changes nothing, reads nothing and does not call `rebuild`.
  // Nothing is sent either way.
  template <typename Rebuild>
  TransferResult Import(const PageSet& pages, const ChosenFile& file, Rebuild&& rebuild) {
    PendingImport pending;
    TransferResult result = PrepareImport(pages, file, &pending);
    if (!result.ok) return result;
    PageSet fresh = rebuild();
    SettingMap read;
    std::vector<std::string> lacking = LoadPagesFrom(fresh, pending.merged, &read);
    if (missingMessage_) pending.unreadable = std::move(lacking);
    result.message += FinishImport(fresh, pending, std::move(read));
    return result;
  }

  // "更改输出方式..." with `channel` chosen: what an import of a file that
  // switches the channel does. The new channel's parameters the window does
  // not know are read from the scanner first, then `rebuild` gives five
  // fresh pages, loaded from what the window showed with the new channel.
  // Nothing is sent; the message names the channel and every setting Save
  // will change on the scanner.
  template <typename Rebuild>
  TransferResult SwitchChannel(const PageSet& pages, const OutputChannel& channel,
                               Rebuild&& rebuild) {
    PendingImport pending;
    PrepareSwitch(pages, channel, &pending);
    PageSet fresh = rebuild();
    std::vector<std::string> missing = LoadPagesFrom(fresh, pending.merged);
    // Without a scanner nothing was read: the new channel's parameters the
    // window did not hold start as their controls do.
    if (missingMessage_) pending.unreadable = std::move(missing);
    return {true, FinishSwitch(fresh, channel, pending)};
  }

 private:
  struct PendingImport {
    SettingMap merged;  // what the rebuilt pages load from
    SettingMap scannerRead;  // read from the scanner for them
    SettingMap sentBefore;   // what Save would have sent before the switch
    std::vector<std::pair<std::string, std::string>> fileSettings;  // shown by a page
    std::vector<std::string> ignored;  // quoted, no page reads them
    std::vector<std::string> discardedEdits;
    std::vector<std::string> unreadable;  // read from the scanner and failed
  };

  TransferResult PrepareImport(const PageSet& pages, const ChosenFile& file,
                               PendingImport* pending) const;
  // Takes what the rebuilt pages read as what the window knows, less the
  // file's values Save will not send; returns the rest of the message.
  std::string FinishImport(const PageSet& fresh, PendingImport& pending, SettingMap read);
  void PrepareSwitch(const PageSet& pages, const OutputChannel& channel,
                     PendingImport* pending) const;
  std::string FinishSwitch(const PageSet& fresh, const OutputChannel& channel,
                           const PendingImport& pending);
  // The line naming the device number Save will give the scanner from the
  // file, when it differs from the one the scanner holds; else empty.
  std::string DeviceNumberChange(const PendingImport& pending, const SettingMap& sent) const;

  SettingMap loaded_;
  std::string (*missingMessage_)(const std::vector<std::string>&) = nullptr;
};

}  // namespace lumiq::ui::app
