#include <map>
#include <string>

#include "link/scanner_link.h"
#include "profile/known_keys.h"
#include "profile/setting_text.h"
#include "profile/text_file.h"
#include "tools/zrctl/commands.h"
#include "tools/zrctl/verify.h"

namespace lumiq::zrctl {

using profile::Quote;

int DumpProfile(ScannerLink& link, const Invocation& invocation, std::ostream& out,
                std::ostream& err, ScannerResult* result) {
  int status = kExitOk;
  JsonValue settings = JsonValue::Object();
  std::string body;
  std::map<std::string, std::string> read;
  std::string secrets;  // the keys of the secrets written, for the note
  for (std::string_view knownKey : profile::KnownKeys()) {
    const std::string key(knownKey);
    std::string value;
    const int got = ReadSetting(link, key, &value);
    if (got < 0) {
      // A value that is not there must not look like an empty one: a restore
      // of it would clear the setting on the next scanner.
      body += profile::UnreadSettingLine(
          key, got == kValueTooLong
                   ? "value of " + std::to_string(value.size()) + " bytes, longer than zrctl reads"
                   : "get failed (GetSetting " + std::to_string(got) + ")");
      err << "zrctl: get " << key << " failed: " << DescribeGetFailure(got, value) << "\n";
      result->failedKeys.push_back(key);
      status = kExitFailed;
      continue;
    }
    read[key] = value;
    if (profile::HoldsSecret(key, value)) {
      if (invocation.noSecrets) {
        body += profile::SecretLeftOutLine(key);
        continue;
      }
      secrets += (secrets.empty() ? "" : ", ") + key;
    }
    body += profile::SettingLine(key, value);
    settings.Set(key, JsonText(value));
  }
  result->json.Set("holds_secrets", JsonValue::Bool(!secrets.empty()));
  result->json.Set("settings", std::move(settings));
  result->json.Set("unread_keys", JsonKeys(result->failedKeys));

  auto found = [&read](const char* key) -> const std::string* {
    auto at = read.find(key);
    return at == read.end() ? nullptr : &at->second;
  };
  const std::string text = profile::ProfileHeader(found(kVersionKey), found("deviceno")) + body;

  // Said after the profile, so that a reader of the terminal sees it last.
  auto noteSecrets = [&](const std::string& what) {
    if (secrets.empty()) return;
    err << "zrctl: " << what << " holds the Wi-Fi password (" << secrets
        << "): keep it private; dump --no-secrets leaves it out\n";
  };
  if (invocation.operands.empty()) {
    out << text;
    noteSecrets("the profile");
    return status;
  }
  const std::string& file = invocation.operands.front();
  result->json.Set("file", JsonValue(file));
  std::string error;
  if (!profile::WriteFileSafely(file, text, &error, nullptr,
                                secrets.empty() ? profile::FileAccess::kUsual
                                                : profile::FileAccess::kOwnerOnly)) {
    err << "zrctl: " << error << "\n";
    return kExitFailed;
  }
  noteSecrets(file);
  return status;
}

int RestoreProfile(ScannerLink& link, const Invocation& invocation, const PreparedInput& input,
                   std::ostream& out, std::ostream& err, ScannerResult* result) {
  ScannerResult unused;
  if (result == nullptr) result = &unused;
  int status = kExitOk;
  std::vector<ProfileEntry> sent;
  int failed = 0;
  for (const ProfileEntry& entry : input.profile) {
    if (profile::IsReadOnlyKey(entry.key)) {
      // Dumps carry the firmware version so that diff can compare it; it is
      // the scanner's own and is never written.
      continue;
    }
    const int set = link.SetSetting(entry.key, entry.value);
    if (set != 0) {
      err << "zrctl: line " << entry.line << ": set " << Quote(entry.key)
          << " failed: " << DescribeSetResult(set) << " (SetSetting " << set << ")\n";
      result->failedKeys.push_back(entry.key);
      ++failed;
      status = kExitFailed;
      continue;
    }
    sent.push_back(entry);
  }
  // One commit after every set, even when some failed, as the window's Save
  // does; the failures have been reported and the exit status says so.
  const int committed = link.CommitSettings();
  result->committed = committed == 0;
  if (committed != 0) {
    err << "zrctl: commit failed: no answer or refused by the scanner (CommitSettings "
        << committed << ")\n";
    status = kExitFailed;
  }
  // After a failed commit there is nothing stored to compare with.
  int unverified = 0;
  const bool verify = committed == 0 && !invocation.noVerify;
  JsonValue differences = JsonValue::Array();
  if (verify) {
    for (const VerifiedSetting& setting : VerifyStored(link, sent, out)) {
      if (setting.key == kDeviceNumberKey && setting.read) {
        result->deviceNumberRead = true;
        result->deviceNumber = setting.stored;
      }
      if (setting.Matches()) continue;
      result->failedKeys.push_back(setting.key);
      ++unverified;
      status = kExitFailed;
      JsonValue& difference = differences.Push(JsonValue::Object());
      difference.Set("key", JsonKey(setting.key));
      difference.Set("sent", JsonText(setting.sent));
      if (setting.read) {
        difference.Set("stored", JsonText(setting.stored));
      } else {
        difference.Set("error", JsonValue(setting.failure));
      }
    }
  }
  if (result->wantDeviceNumber && !result->deviceNumberRead) {
    std::string value;
    if (ReadSetting(link, kDeviceNumberKey, &value) >= 0) {
      result->deviceNumberRead = true;
      result->deviceNumber = std::move(value);
    }
  }
  out << "restored " << sent.size() << " settings";
  if (failed > 0) out << ", " << failed << " failed";
  out << (committed == 0 ? ", committed" : ", commit failed");
  if (verify) {
    if (unverified == 0) {
      out << ", verified";
    } else {
      out << ", " << unverified << " not stored as sent";
    }
  }
  if (!input.deviceNumberNote.empty()) out << "; " << input.deviceNumberNote;
  out << '\n';

  result->json.Set("sent", JsonValue::Number(static_cast<long long>(sent.size())));
  result->json.Set("failed_keys", JsonKeys(result->failedKeys));
  result->json.Set("committed", JsonValue::Bool(committed == 0));
  result->json.Set("verified", verify ? JsonValue::Bool(unverified == 0) : JsonValue());
  result->json.Set("differences", std::move(differences));
  if (result->deviceNumberRead) result->json.Set("deviceno", JsonText(result->deviceNumber));
  if (!input.deviceNumberNote.empty()) {
    result->json.Set("deviceno_note", JsonValue(input.deviceNumberNote));
  }
  return status;
}

int DiffProfile(ScannerLink& link, const PreparedInput& input, std::ostream& out,
                std::ostream& err, ScannerResult* result) {
  int status = kExitOk;
  JsonValue differences = JsonValue::Array();
  for (const ProfileEntry& entry : input.profile) {
    std::string value;
    const int got = ReadSetting(link, entry.key, &value);
    if (got < 0) {
      err << "zrctl: get " << Quote(entry.key) << " failed: " << DescribeGetFailure(got, value)
          << "\n";
      result->failedKeys.push_back(entry.key);
      status = kExitFailed;
      continue;
    }
    if (value != entry.value) {
      out << Quote(entry.key) << ": scanner=" << profile::QuoteText(value, 1024)
          << " file=" << profile::QuoteText(entry.value, 1024) << '\n';
      status = kExitFailed;
      JsonValue& difference = differences.Push(JsonValue::Object());
      difference.Set("key", JsonKey(entry.key));
      difference.Set("scanner", JsonText(value));
      difference.Set("file", JsonText(entry.value));
    }
  }
  result->json.Set("differences", std::move(differences));
  result->json.Set("failed_keys", JsonKeys(result->failedKeys));
  return status;
}

}  // namespace lumiq::zrctl
