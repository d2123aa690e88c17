#include "ui/app/document_source.h"

#include "link/device_commands.h"
#include "profile/known_keys.h"
#include "profile/profile.h"
#include "profile/setting_text.h"
#include "profile/text_file.h"
#include "res/i18n/catalogue.h"
#include "ui/app/document_texts.h"

namespace lumiq::ui::app {

std::vector<std::string> ScannerSource::Load(PageSet& pages, SettingMap* read) {
  return LoadPages(pages, read);
}

std::string ScannerSource::LoadFailure(const std::vector<std::string>& keys) const {
  return keys.empty() ? std::string() : LoadFailureMessage(keys);
}

DocumentSource::Saved ScannerSource::Save(const PageSet& pages, const SettingMap& /*shown*/,
                                          const std::vector<std::string>& /*unstorable*/) {
  Saved saved;
  saved.outcome = SavePages(pages);
  saved.message = SaveMessage(saved.outcome);
  return saved;
}

FileSource::FileSource(ChosenFile file, std::vector<std::pair<std::string, std::string>> entries)
    : file_(std::move(file)), entries_(std::move(entries)) {
  for (const auto& [key, value] : entries_) settings_[key] = value;
}

std::unique_ptr<FileSource> FileSource::Read(const ChosenFile& file, std::string* message) {
  std::vector<profile::ProfileEntry> entries;
  if (!ReadProfileFile(file, &entries, message)) return nullptr;
  std::vector<std::pair<std::string, std::string>> settings;
  for (profile::ProfileEntry& entry : entries) {
    settings.emplace_back(std::move(entry.key), std::move(entry.value));
  }
  return std::unique_ptr<FileSource>(new FileSource(file, std::move(settings)));
}

std::vector<std::string> FileSource::Load(PageSet& pages, SettingMap* read) {
  return LoadPagesFrom(pages, settings_, read);
}

std::string FileMissingMessage(const std::vector<std::string>& keys) {
  return MessageWithKeys(kFileMissingText, keys);
}

std::string FileSource::LoadFailure(const std::vector<std::string>& keys) const {
  return keys.empty() ? std::string() : FileMissingMessage(keys);
}

std::string FileSource::Unshown(const PageSet& pages, const SettingMap& read) const {
  std::vector<std::pair<std::string, std::string>> shownByPages;
  std::vector<std::string> ignored;
  for (const auto& [key, value] : entries_) {
    // The version page shows the file's firmware version, which no Save
    // sends: it is the scanner's own.
    if (profile::IsReadOnlyKey(key)) continue;
    if (ShownByAPage(key)) {
      shownByPages.emplace_back(key, value);
    } else {
      ignored.push_back(profile::Quote(key));
    }
  }
  SettingMap sent;
  StorePagesInto(pages, &sent);
  std::vector<std::string> adjusted;
  UnshownSettings(shownByPages, read, sent, &adjusted, &ignored);
  return UnshownMessage(adjusted, ignored);
}

DocumentSource::Saved FileSource::Save(const PageSet& /*pages*/, const SettingMap& shown,
                                       const std::vector<std::string>& unstorable) {
  Saved saved;
  const std::string& name = file_.name.empty() ? file_.path : file_.name;
  if (!unstorable.empty()) {
    saved.outcome.failedKeys = unstorable;
    // Nothing of the window reached the file.
    saved.outcome.commitFailed = true;
    saved.message = i18n::TrFormat(kFileSaveUnstorableText, {KeyLines(unstorable)});
    return saved;
  }
  // The file as it is now, so that what someone else added since it was
  // opened stays too; it must still parse as a profile for its lines to be
  // brought up to date.
  std::string original;
  std::string error;
  std::vector<profile::ProfileEntry> entries;
  profile::ProfileProblem problem;
  const bool keepsLines =
      profile::ReadTextFile(file_.path, &original, &error) &&
      profile::ParseProfile(original, profile::ProfileUse::kCompare, &entries, &problem);
  // A secret in the file keeps the file its owner's, as an export does.
  bool secret = false;
  for (const auto& [key, value] : shown) secret = secret || profile::HoldsSecret(key, value);
  const std::string text = keepsLines ? profile::UpdateSettingText(original, shown)
                                      : ProfileTransfer::ProfileText(shown);
  if (!profile::WriteFileSafely(file_.path, text, &error, nullptr,
                                secret ? profile::FileAccess::kOwnerOnly
                                       : profile::FileAccess::kUsual)) {
    saved.outcome.commitFailed = true;
    saved.message = i18n::TrFormat(kFileSaveFailedText, {error});
    return saved;
  }
  saved.message = i18n::TrFormat(kFileSavedText, {name});
  if (!keepsLines) saved.message += "\n" + std::string(i18n::Tr(kFileCommentsLostText));
  if (secret) saved.message += "\n" + std::string(i18n::Tr(kExportedSecretText));
  return saved;
}

}  // namespace lumiq::ui::app
