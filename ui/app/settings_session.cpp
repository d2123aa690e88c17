#include "ui/app/settings_session.h"

#include "profile/setting_text.h"
#include "res/i18n/catalogue.h"
#include "ui/app/document_texts.h"

namespace lumiq::ui::app {

namespace {
constexpr char kDeviceNumberKey[] = "deviceno";
}  // namespace

SettingsSession::SettingsSession() : SettingsSession(std::make_unique<ScannerSource>()) {}

SettingsSession::SettingsSession(std::unique_ptr<DocumentSource> source)
    : source_(std::move(source)) {
  if (source_->File()) transfer_.SetNoScanner(&FileMissingMessage);
}

void SettingsSession::Open(const PagesByTab& pages) {
  PageSet set = PagesOf(pages);
  SettingMap loaded;
  loadFailed_ = source_->Load(set, &loaded);
  openingNotes_ = source_->Unshown(set, loaded);
  const auto deviceNumber = loaded.find(kDeviceNumberKey);
  if (const ChosenFile* file = File()) {
    subject_ = FileSubject(file->name.empty() ? file->path : file->name);
  } else {
    subject_ = ScannerSubject(deviceNumber == loaded.end() ? nullptr : &deviceNumber->second);
  }
  transfer_.SetLoaded(std::move(loaded));
  baseline_ = Stored(pages, nullptr);
  marks_.Reset(pages);
}

std::string SettingsSession::Title(const PagesByTab& pages) const {
  const std::array<bool, kPageCount> changed = marks_.Changed(pages);
  bool any = false;
  for (bool tab : changed) any = any || tab;
  return WindowTitle(subject_, any);
}

std::optional<std::string> SettingsSession::OpeningMessage() const {
  std::string message = source_->LoadFailure(loadFailed_) + openingNotes_;
  if (message.empty()) return std::nullopt;
  // The notes begin on a line of their own; alone, they begin the box.
  if (message.front() == '\n') message.erase(0, 1);
  return message;
}

SettingMap SettingsSession::Stored(const PagesByTab& pages,
                                   std::vector<std::string>* unstorable) const {
  SettingMap stored;
  std::vector<std::string> failed = StorePagesInto(PagesOf(pages), &stored);
  if (unstorable) *unstorable = std::move(failed);
  return stored;
}

SettingsSession::Saved SettingsSession::Save(const PagesByTab& pages) {
  std::vector<std::string> unstorable;
  const SettingMap shown = transfer_.Shown(PagesOf(pages), &unstorable);
  Saved saved = source_->Save(PagesOf(pages), shown, unstorable);
  // What was stored is what the scanner (or the file) now holds.
  if (!saved.outcome.commitFailed) transfer_.NoteSaved(PagesOf(pages), saved.outcome.failedKeys);
  if (saved.outcome.Succeeded()) {
    baseline_ = Stored(pages, nullptr);
    if (File()) marks_.Reset(pages);
  }
  return saved;
}

std::optional<TransferResult> SettingsSession::Export(const PagesByTab& pages,
                                                      FileChooser& chooser) const {
  const std::optional<ChosenFile> file = chooser.Choose(FileChoice::kExport);
  if (!file) return std::nullopt;
  return transfer_.Export(PagesOf(pages), *file);
}

bool SettingsSession::Modified(const PagesByTab& pages) const {
  std::vector<std::string> unstorable;
  const SettingMap stored = Stored(pages, &unstorable);
  // A text that cannot be encoded was typed: an edit, though unstorable.
  return !unstorable.empty() || stored != baseline_;
}

std::optional<std::string> SettingsSession::CloseQuestion(const PagesByTab& pages) const {
  const ChosenFile* file = File();
  if (!file || !Modified(pages)) return std::nullopt;
  return i18n::TrFormat(kCloseQuestionText, {file->name.empty() ? file->path : file->name});
}

bool SettingsSession::AnswerClose(const PagesByTab& pages, CloseAnswer answer,
                                  std::string* message) {
  switch (answer) {
    case CloseAnswer::kCancel: return false;
    case CloseAnswer::kDiscard: return true;
    case CloseAnswer::kSave: break;
  }
  const Saved saved = Save(pages);
  *message = saved.message;
  return saved.outcome.Succeeded();
}

std::string SettingsSession::AttachScanner(const PagesByTab& pages) {
  // What the scanner holds of what the pages show: nothing goes to a page.
  SettingMap held;
  const std::vector<std::string> failed = ReadMissingSettings(&held);
  SettingMap sent;
  StorePagesInto(PagesOf(pages), &sent);

  source_ = std::make_unique<ScannerSource>();
  transfer_ = ProfileTransfer();
  std::string message = i18n::Tr(kAppliedText);
  // The file's device number goes to the scanner, as an import's does.
  const auto was = held.find(kDeviceNumberKey);
  const auto will = sent.find(kDeviceNumberKey);
  if (was != held.end() && will != sent.end() && was->second != will->second) {
    message += "\n" + i18n::TrFormat(kImportDeviceNumberText, {profile::QuoteText(was->second),
                                                                profile::QuoteText(will->second)});
  }
  if (!failed.empty()) message += "\n" + LoadFailureMessage(failed);
  subject_ = ScannerSubject(was == held.end() ? nullptr : &was->second);
  transfer_.SetLoaded(std::move(held));
  return message;
}

}  // namespace lumiq::ui::app
