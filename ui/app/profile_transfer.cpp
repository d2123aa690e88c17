#include "ui/app/profile_transfer.h"

#include <algorithm>

#include "link/device_commands.h"
#include "profile/known_keys.h"
#include "profile/profile.h"
#include "profile/setting_text.h"
#include "profile/text_file.h"
#include "res/i18n/catalogue.h"

namespace lumiq::ui::app {

namespace {

constexpr char kDeviceNumberKey[] = "deviceno";
// Not read when the window opened (a channel that is off) or the read failed.
constexpr char kNotShownReason[] = "not shown in the window";

// Escaped and cut like profile::Quote, but never put in quotes of its own:
// QuotedSetting quotes the whole setting.
std::string Shown(std::string_view bytes) {
  constexpr size_t kShownLimit = 64;
  std::string shown = profile::EscapeBytes(bytes.substr(0, kShownLimit));
  if (bytes.size() > kShownLimit) shown += "... (" + std::to_string(bytes.size()) + " bytes)";
  return shown;
}

// One setting in a message, quoted as a whole so that blanks at either end
// of the value show: 'qrcode=1 '.
std::string QuotedSetting(const std::string& key, const std::string& value) {
  return "'" + Shown(key) + "=" + Shown(value) + "'";
}

const std::string& NameOf(const ChosenFile& file) {
  return file.name.empty() ? file.path : file.name;
}

TransferResult Failed(const char* pattern, const std::string& cause) {
  return {false, i18n::TrFormat(pattern, {cause})};
}

std::string WithKeys(const char* pattern, const std::vector<std::string>& keys) {
  return i18n::TrFormat(pattern, {KeyLines(keys)});
}

}  // namespace

SettingMap ProfileTransfer::Shown(const PageSet& pages,
                                  std::vector<std::string>* unstorable) const {
  SettingMap settings = loaded_;
  std::vector<std::string> failed = StorePagesInto(pages, &settings);
  if (unstorable) *unstorable = std::move(failed);
  return settings;
}

std::string ProfileTransfer::ProfileText(const SettingMap& settings, bool withoutSecrets) {
  auto found = [&settings](const char* key) -> const std::string* {
    const auto at = settings.find(key);
    return at == settings.end() ? nullptr : &at->second;
  };
  std::string text = profile::ProfileHeader(found(kVersionKey), found(kDeviceNumberKey));
  for (std::string_view knownKey : profile::KnownKeys()) {
    const std::string key(knownKey);
    const auto at = settings.find(key);
    if (withoutSecrets && at != settings.end() && profile::HoldsSecret(key, at->second)) {
      text += profile::SecretLeftOutLine(key);
      continue;
    }
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
  if (!unstorable.empty()) return {false, WithKeys(kExportUnstorableText, unstorable)};
  const bool withoutSecrets = file.filter == kWithoutSecretsFilter;
  const bool secret =
      !withoutSecrets && std::any_of(settings.begin(), settings.end(), [](const auto& setting) {
        return profile::HoldsSecret(setting.first, setting.second);
      });
  std::string error;
  if (!profile::WriteFileSafely(file.path, ProfileText(settings, withoutSecrets), &error, nullptr,
                                secret ? profile::FileAccess::kOwnerOnly
                                       : profile::FileAccess::kUsual)) {
    return Failed(kExportWriteFailedText, error);
  }
  std::string message = i18n::TrFormat(kExportedText, {NameOf(file)});
  if (secret) message += "\n" + std::string(i18n::Tr(kExportedSecretText));
  return {true, message};
}

bool ReadProfileFile(const ChosenFile& file, std::vector<profile::ProfileEntry>* entries,
                     std::string* message) {
  std::string text;
  std::string error;
  if (!profile::ReadTextFile(file.path, &text, &error)) {
    *message = i18n::TrFormat(kImportUnreadableText, {error});
    return false;
  }
  // The refusals of `zrctl restore`: what it would not send, the window
  // does not show as if it could.
  profile::ProfileProblem problem;
  if (!profile::ParseProfile(text, profile::ProfileUse::kSend, entries, &problem)) {
    std::string cause = NameOf(file);
    if (problem.line > 0) {
      cause = i18n::TrFormat(kImportRefusedLineText, {cause, std::to_string(problem.line)});
    }
    *message = i18n::TrFormat(kImportRefusedText, {cause + ": " + problem.message});
    return false;
  }
  return true;
}

bool ShownByAPage(const std::string& key) {
  const std::vector<std::string_view>& keys = profile::KnownKeys();
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

std::vector<std::string> UnshownSettings(
    const std::vector<std::pair<std::string, std::string>>& fileSettings, const SettingMap& read,
    const SettingMap& sent, std::vector<std::string>* adjustedLines,
    std::vector<std::string>* ignored) {
  std::vector<std::string> adjustedKeys;
  for (const auto& [key, value] : fileSettings) {
    if (read.find(key) == read.end()) {
      // A parameter of a channel that is off: no page shows it.
      ignored->push_back(profile::Quote(key));
      continue;
    }
    const auto at = sent.find(key);
    if (at != sent.end() && at->second == value) continue;
    adjustedLines->push_back(QuotedSetting(key, value) + kImportAdjustedArrow +
                             (at == sent.end() ? std::string(i18n::Tr(kImportKeptText))
                                               : QuotedSetting(key, at->second)));
    adjustedKeys.push_back(key);
  }
  return adjustedKeys;
}

std::string UnshownMessage(const std::vector<std::string>& adjustedLines,
                           const std::vector<std::string>& ignored) {
  std::string message;
  if (!adjustedLines.empty()) {
    std::string lines;
    for (const std::string& line : adjustedLines) lines += (lines.empty() ? "" : "\n") + line;
    message += "\n" + i18n::TrFormat(kImportAdjustedText, {lines});
  }
  if (!ignored.empty()) message += "\n" + WithKeys(kImportIgnoredText, ignored);
  return message;
}

TransferResult ProfileTransfer::PrepareImport(const PageSet& pages, const ChosenFile& file,
                                              PendingImport* pending) const {
  std::vector<profile::ProfileEntry> entries;
  std::string refusal;
  if (!ReadProfileFile(file, &entries, &refusal)) return {false, refusal};

  // An edit the old pages cannot encode has no value to carry over: the
  // rebuilt page shows the file's or the scanner's instead.
  pending->merged = Shown(pages, &pending->discardedEdits);
  for (const profile::ProfileEntry& entry : entries) {
    if (profile::IsReadOnlyKey(entry.key)) continue;  // never written by restore either
    if (!ShownByAPage(entry.key)) {
      // Save sends what the pages show and nothing else: a key no page
      // reads would be dropped without a word.
      pending->ignored.push_back(profile::Quote(entry.key));
      continue;
    }
    pending->merged[entry.key] = entry.value;
    pending->fileSettings.emplace_back(entry.key, entry.value);
  }
  // Before the pages are rebuilt, so that they load as from a scanner on
  // the file's channel: a parameter nobody read would go out empty on Save.
  if (!missingMessage_) pending->unreadable = ReadMissingSettings(&pending->merged);

  return {true, i18n::TrFormat(kImportedText, {NameOf(file)}) + "\n" +
                    i18n::Tr(kImportNotSentText)};
}

std::string ProfileTransfer::DeviceNumberChange(const PendingImport& pending,
                                               const SettingMap& sent) const {
  const auto& file = pending.fileSettings;
  const bool inFile = std::any_of(file.begin(), file.end(), [](const auto& setting) {
    return setting.first == kDeviceNumberKey;
  });
  const auto held = loaded_.find(kDeviceNumberKey);
  const auto saved = sent.find(kDeviceNumberKey);
  if (!inFile || held == loaded_.end() || saved == sent.end() || saved->second == held->second) {
    return std::string();
  }
  return "\n" + i18n::TrFormat(kImportDeviceNumberText, {profile::QuoteText(held->second),
                                                          profile::QuoteText(saved->second)});
}

std::string ProfileTransfer::FinishImport(const PageSet& fresh, PendingImport& pending,
                                          SettingMap read) {
  SettingMap sent;
  StorePagesInto(fresh, &sent);
  std::vector<std::string> adjusted;
  for (const std::string& key :
       UnshownSettings(pending.fileSettings, read, sent, &adjusted, &pending.ignored)) {
    // What the window knows of the scanner is not the file's value, which
    // an export would otherwise claim: it is what the scanner held.
    const auto held = loaded_.find(key);
    if (held == loaded_.end()) {
      read.erase(key);
    } else {
      read[key] = held->second;
    }
  }
  const std::string deviceNumberNote = DeviceNumberChange(pending, sent);
  loaded_ = std::move(read);

  std::string message = deviceNumberNote;
  if (!pending.discardedEdits.empty()) {
    message += "\n" + WithKeys(kImportDiscardedEditsText, pending.discardedEdits);
  }
  if (!pending.unreadable.empty()) {
    message += "\n" + (missingMessage_ ? missingMessage_ : &LoadFailureMessage)(pending.unreadable);
  }
  message += UnshownMessage(adjusted, pending.ignored);
  return message;
}

}  // namespace lumiq::ui::app
