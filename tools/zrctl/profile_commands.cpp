#include <map>
#include <string>

#include "link/scanner_link.h"
#include "profile/known_keys.h"
#include "profile/setting_text.h"
#include "profile/text_file.h"
#include "tools/zrctl/commands.h"
#include "tools/zrctl/send.h"
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
  // One commit after every set, even when some failed, as the window's Save
  // does; the failures have been reported and the exit status says so.
  SentProfile sending = SendProfile(link, input.profile, err);
  const std::vector<ProfileEntry>& sent = sending.sent;
  const size_t failed = sending.failedKeys.size();
  result->failedKeys = sending.failedKeys;
  int status = failed == 0 ? kExitOk : kExitFailed;
  const int committed = sending.commit;
  result->committed = sending.Committed();
  if (!sending.Committed()) status = kExitFailed;
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

ApplyMode ApplyModeOf(const Invocation& invocation) {
  if (invocation.command == Command::kCheck) return ApplyMode::kCheck;
  return invocation.checkOnly ? ApplyMode::kPlan : ApplyMode::kApply;
}

void DescribeCompliance(const ApplyOutcome& outcome, const Invocation& invocation,
                        const PreparedInput& input, JsonValue* entry) {
  JsonValue& json = *entry;
  json.Set("deviceno", outcome.deviceNumberRead ? JsonText(outcome.deviceNumber) : JsonValue());
  // Not known when the scanner could not be read.
  json.Set("compliant", outcome.read ? JsonValue::Bool(outcome.compliant) : JsonValue());
  JsonValue& differences = json.Set("differences", JsonValue::Array());
  for (const SettingDifference& difference : outcome.differences) {
    JsonValue& item = differences.Push(JsonValue::Object());
    item.Set("key", JsonKey(difference.key));
    item.Set("before", JsonText(difference.before));
    item.Set("after", JsonText(difference.after));
  }
  json.Set("failed_keys", JsonKeys(outcome.failedKeys));
  if (invocation.command == Command::kApply) {
    json.Set("changed", JsonValue::Bool(outcome.changed));
    json.Set("committed", JsonValue::Bool(outcome.committed));
    json.Set("verified", JsonValue::Bool(outcome.verified));
  }
  if (!input.deviceNumberNote.empty()) {
    json.Set("deviceno_note", JsonValue(input.deviceNumberNote));
  }
}

int RunCompliance(ScannerLink& link, const Invocation& invocation, const PreparedInput& input,
                  std::ostream& out, std::ostream& err, ScannerResult* result) {
  const ApplyMode mode = ApplyModeOf(invocation);
  result->outcome = ApplyProfile(link, input.profile, mode, input.deviceNumberNote, out, err);
  const ApplyOutcome& outcome = result->outcome;
  result->failedKeys = outcome.failedKeys;
  result->committed = outcome.committed;
  result->deviceNumberRead = outcome.deviceNumberRead;
  result->deviceNumber = outcome.deviceNumber;

  DescribeCompliance(outcome, invocation, input, &result->json);
  return ApplyStatus(outcome, mode);
}

}  // namespace lumiq::zrctl
