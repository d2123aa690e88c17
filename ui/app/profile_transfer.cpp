#include "ui/app/profile_transfer.h"

#include <algorithm>

#include "link/device_commands.h"
#include "profile/known_keys.h"
#include "profile/profile.h"
#include "profile/setting_text.h"
#include "profile/text_file.h"

namespace lumiq::ui::app {

namespace {

constexpr char kDeviceNumberKey[] = "deviceno";
// Not read when the window opened (a channel that is off) or the read failed.
constexpr char kNotShownReason[] = "not shown in the window";

const std::string& NameOf(const ChosenFile& file) {
  return file.name.empty() ? file.path : file.name;
}

bool ShownByAPage(const std::string& key) {
  const std::vector<std::string_view>& keys = profile::KnownKeys();
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

TransferResult Failed(const std::string& text, const std::string& cause) {
  return {false, text + "\n" + cause};
}

}  // namespace

SettingMap ProfileTransfer::Shown(const PageSet& pages,
                                  std::vector<std::string>* unstorable) const {
  SettingMap settings = loaded_;
  std::vector<std::string> failed = StorePagesInto(pages, &settings);
  if (unstorable) *unstorable = std::move(failed);
  return settings;
}

std::string ProfileTransfer::ProfileText(const SettingMap& settings) {
  auto found = [&settings](const char* key) -> const std::string* {
    const auto at = settings.find(key);
    return at == settings.end() ? nullptr : &at->second;
  };
  std::string text = profile::ProfileHeader(found(kVersionKey), found(kDeviceNumberKey));
  for (std::string_view knownKey : profile::KnownKeys()) {
    const std::string key(knownKey);
    const auto at = settings.find(key);
    // As in a dump: a value the window never had must not look like an
    // empty one, which a restore would send.
    text += at == settings.end()
                ? profile::UnreadSettingLine(key, kNotShownReason)
                : profile::SettingLine(key, at->second);
  }
  return text;
}

TransferResult ProfileTransfer::Export(const PageSet& pages, const ChosenFile& file) const {
  std::vector<std::string> unstorable;
  const SettingMap settings = Shown(pages, &unstorable);
  if (!unstorable.empty()) return {false, MessageWithKeys(kExportUnstorableText, unstorable)};
  std::string error;
  if (!profile::WriteFileSafely(file.path, ProfileText(settings), &error)) {
    return Failed(kExportWriteFailedText, error);
  }
  return {true, std::string(kExportedText) + "\n" + NameOf(file)};
}

TransferResult ProfileTransfer::PrepareImport(const PageSet& pages, const ChosenFile& file,
                                              SettingMap* merged) const {
  std::string text;
  std::string error;
  if (!profile::ReadTextFile(file.path, &text, &error)) {
    return Failed(kImportUnreadableText, error);
  }
  // The refusals of `zrctl restore`: what it would not send, the window
  // does not show as if it could.
  std::vector<profile::ProfileEntry> entries;
  profile::ProfileProblem problem;
  if (!profile::ParseProfile(text, profile::ProfileUse::kSend, &entries, &problem)) {
    std::string cause = NameOf(file);
    if (problem.line > 0) cause += " 第 " + std::to_string(problem.line) + " 行";
    return Failed(kImportRefusedText, cause + ": " + problem.message);
  }

  *merged = Shown(pages, nullptr);
  std::vector<std::string> ignored;
  for (const profile::ProfileEntry& entry : entries) {
    if (profile::IsReadOnlyKey(entry.key)) continue;  // never written by restore either
    if (!ShownByAPage(entry.key)) {
      // Save sends what the pages show and nothing else: a key no page
      // reads would be dropped without a word.
      ignored.push_back(profile::Quote(entry.key));
      continue;
    }
    (*merged)[entry.key] = entry.value;
  }

  std::string message = std::string(kImportedText) + "\n" + NameOf(file) + "\n" +
                        kImportNotSentText;
  if (!ignored.empty()) message += "\n" + MessageWithKeys(kImportIgnoredText, ignored);
  return {true, message};
}

}  // namespace lumiq::ui::app
