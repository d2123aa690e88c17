#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/app/profile_transfer.h"
#include "ui/pages/settings_sequence.h"

namespace lumiq::ui::app {

// Where a settings window's values come from and where "保存" puts them:
// the scanner, or a profile file prepared without one. The pages, their
// Loads and their store steps are the same for both; only the reading and
// the writing differ.
class DocumentSource {
 public:
  virtual ~DocumentSource() = default;

  // The pages' Loads; returns the keys that could not be read, `read` the
  // values that were.
  virtual std::vector<std::string> Load(PageSet& pages, SettingMap* read) = 0;
  // The message naming the keys Load could not read; empty when none.
  virtual std::string LoadFailure(const std::vector<std::string>& keys) const = 0;

  struct Saved {
    SaveOutcome outcome;
    std::string message;  // UTF-8
  };
  // What "保存" does; `shown` is what the scanner would hold after it
  // (ProfileTransfer::Shown), `unstorable` the keys that cannot be encoded.
  virtual Saved Save(const PageSet& pages, const SettingMap& shown,
                     const std::vector<std::string>& unstorable) = 0;

  // The file, or nullptr for the scanner.
  virtual const ChosenFile* File() const { return nullptr; }
  // What opening says beyond the keys Load could not read, given what the
  // pages read: empty, or each part after a line break.
  virtual std::string Unshown(const PageSet& /*pages*/, const SettingMap& /*read*/) const {
    return std::string();
  }
};

// The list of keys a file lacks, laid out as a failed Load's list.
std::string FileMissingMessage(const std::vector<std::string>& keys);

// The scanner behind the connection: gets when opening, sets and a commit
// on Save.
class ScannerSource final : public DocumentSource {
 public:
  std::vector<std::string> Load(PageSet& pages, SettingMap* read) override;
  std::string LoadFailure(const std::vector<std::string>& keys) const override;
  Saved Save(const PageSet& pages, const SettingMap& shown,
             const std::vector<std::string>& unstorable) override;
};

// A profile file: the pages load from its settings as from a scanner
// holding exactly them, and "保存" writes the file, never a scanner.
class FileSource final : public DocumentSource {
 public:
  // Reads `file` with the refusals of an import; nullptr with the import's
  // message when it cannot be opened.
  static std::unique_ptr<FileSource> Read(const ChosenFile& file, std::string* message);

  std::vector<std::string> Load(PageSet& pages, SettingMap* read) override;
  std::string LoadFailure(const std::vector<std::string>& keys) const override;
  // Writes `shown` into the file through the safe writer: its lines brought
  // up to the values, comments and settings no page shows kept; when the
  // file can no longer be read as it was, a whole new profile, and the
  // message says its comments were lost. Refused when a value cannot be
  // encoded, as an export is.
  Saved Save(const PageSet& pages, const SettingMap& shown,
             const std::vector<std::string>& unstorable) override;
  const ChosenFile* File() const override { return &file_; }

  // The import's notes on the file's values the pages loaded with them
  // (`read`) cannot show as written: empty, or each part after a line break.
  std::string Unshown(const PageSet& pages, const SettingMap& read) const override;

  // The file's settings in file order (the firmware version included: the
  // version page shows it as it would a scanner's).
  const std::vector<std::pair<std::string, std::string>>& Settings() const { return entries_; }

 private:
  FileSource(ChosenFile file, std::vector<std::pair<std::string, std::string>> entries);

  ChosenFile file_;
  std::vector<std::pair<std::string, std::string>> entries_;
  SettingMap settings_;
};

}  // namespace lumiq::ui::app
