#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/app/change_marks.h"
#include "ui/app/document_source.h"
#include "ui/app/page_tabs.h"
#include "ui/app/profile_transfer.h"
#include "ui/pages/settings_sequence.h"

namespace lumiq::ui::app {

// How a settings window behaves, whatever draws it: opening reads the
// scanner (or a profile file) into the pages, "保存" sends them (or writes
// the file), "导入配置..." and "导出配置..." take a configuration file. Each
// call returns what the window shows; the binding creates, places and
// rebuilds the pages and shows the messages.
class SettingsSession {
 public:
  // A window on the scanner behind the connection.
  SettingsSession();
  // A window on `source`: the scanner, or a file read by FileSource::Read.
  explicit SettingsSession(std::unique_ptr<DocumentSource> source);

  // What opening the window does: the pages' Loads from the source, before
  // the window first shows. The keys that could not be read are kept.
  void Open(const PagesByTab& pages);
  const std::vector<std::string>& LoadFailedKeys() const { return loadFailed_; }
  // Shown once the window is up, so the operator sees which page it is
  // about: the keys that could not be read and, for a file, its values the
  // pages cannot show as written, named as an import names them; nullopt
  // when there is nothing to say.
  std::optional<std::string> OpeningMessage() const;

  using Saved = DocumentSource::Saved;
  // What "保存" does: S1 to S9 and their outcome's message, or the file
  // written. What was stored is then what the window knows the scanner (or
  // the file) holds.
  Saved Save(const PagesByTab& pages);

  // What "导入配置..." does once `chooser` gave a file (nullopt: it was
  // cancelled, nothing happens). On success calls `rebuild`, which replaces
  // the five pages by fresh ones from their templates and returns them.
  template <typename Rebuild>
  std::optional<TransferResult> Import(const PagesByTab& pages, FileChooser& chooser,
                                       Rebuild&& rebuild) {
    const std::optional<ChosenFile> file = chooser.Choose(FileChoice::kImport);
    if (!file) return std::nullopt;
    return transfer_.Import(PagesOf(pages), *file,
                            [&rebuild] { return PagesOf(rebuild()); });
  }
  // What "更改输出方式..." does once `chooser` gave a channel (nullopt: it
  // was cancelled, or named no channel; nothing happens). Calls `rebuild`
  // as an import does.
  template <typename Rebuild>
  std::optional<TransferResult> SwitchChannel(const PagesByTab& pages, ChannelChooser& chooser,
                                              Rebuild&& rebuild) {
    const PageSet shown = PagesOf(pages);
    const std::optional<std::string> output = chooser.Choose(ChannelChecked(shown.outputMethod));
    const OutputChannel* channel = output ? FindOutputChannel(*output) : nullptr;
    if (!channel) return std::nullopt;
    return transfer_.SwitchChannel(shown, *channel, [&rebuild] { return PagesOf(rebuild()); });
  }

  // What "导出配置..." does once `chooser` gave a file.
  std::optional<TransferResult> Export(const PagesByTab& pages, FileChooser& chooser) const;

  // The profile file the window shows, or nullptr for a scanner.
  const ChosenFile* File() const { return source_->File(); }

  // Whether Save would write anything other than what it would have
  // written when the window opened or was last saved.
  bool Modified(const PagesByTab& pages) const;

  // Closing a window on a file with unsaved edits asks first; the question
  // (UTF-8), or nullopt when the window may simply close. A scanner's
  // window never asks: nothing of it is the operator's own.
  std::optional<std::string> CloseQuestion(const PagesByTab& pages) const;
  enum class CloseAnswer { kSave, kDiscard, kCancel };
  // What the answer does: true when the window may close, after Save for
  // kSave (whose message goes to `message`; a Save that failed keeps the
  // window).
  bool AnswerClose(const PagesByTab& pages, CloseAnswer answer, std::string* message);

  // After a connect from a window on a file: the window now stands for the
  // scanner, the pages keep the file's values, and Save sends them. Reads
  // what the scanner holds of the settings the pages show (for exports and
  // the device number) and returns the message: nothing is sent yet, and
  // the device number the scanner gets, as an import says it.
  std::string AttachScanner(const PagesByTab& pages);

  // The window's title: its caption and what it shows, marked while any
  // tab is (TabsChanged). A file's window is unmarked again once saved; a
  // scanner's stays marked for what this window changed on it.
  std::string Title(const PagesByTab& pages) const;
  // Per tab, whether a setting it holds has changed since the window opened.
  std::array<bool, kPageCount> TabsChanged(const PagesByTab& pages) const {
    return marks_.Changed(pages);
  }

  // The file side of both, for tests and tools.
  const ProfileTransfer& Transfer() const { return transfer_; }

 private:
  SettingMap Stored(const PagesByTab& pages, std::vector<std::string>* unstorable) const;

  std::unique_ptr<DocumentSource> source_;
  std::vector<std::string> loadFailed_;
  std::string openingNotes_;
  SettingMap baseline_;
  ChangeMarks marks_;
  std::string subject_;
  ProfileTransfer transfer_;
};

}  // namespace lumiq::ui::app
