#include "profile/profile.h"

#include <algorithm>
#include <map>

#include "link/device_commands.h"
#include "profile/gbk_text.h"
#include "profile/known_keys.h"
#include "profile/setting_text.h"

namespace lumiq::profile {

bool ParseProfile(std::string_view text, ProfileUse use,
                  std::vector<ProfileEntry>* entries, ProfileProblem* problem) {
  std::vector<TextSetting> settings;
  TextProblem textProblem;
  if (!ParseSettingText(text, &settings, &textProblem)) {
    *problem = {textProblem.line, textProblem.message};
    return false;
  }
  if (settings.empty()) {
    *problem = {0, kNoSettingProblem};
    return false;
  }
  std::vector<ProfileEntry> parsed;
  std::map<std::string, int> firstLine;
  for (TextSetting& setting : settings) {
    const std::string& key = setting.key;
    const std::string& value = setting.value;
    const std::string keyProblem = KeyProblem(key);
    if (!keyProblem.empty()) {
      *problem = {setting.line, keyProblem};
      return false;
    }
    const auto [where, added] = firstLine.emplace(key, setting.line);
    if (!added) {
      *problem = {setting.line, Quote(key) + " is already set on line " +
                                    std::to_string(where->second)};
      return false;
    }
    if (use == ProfileUse::kSend && !SetFits(key, value)) {
      *problem = {setting.line,
                  Quote(key) + ": too long for one set (key " + std::to_string(key.size()) +
                      " + value " + std::to_string(value.size()) + " + 3 bytes > " +
                      std::to_string(kSetPayloadLimit) + ")"};
      return false;
    }
    parsed.push_back({std::move(setting.key), std::move(setting.value), setting.line});
  }
  // A lone commit would pass for a restore.
  if (use == ProfileUse::kSend &&
      std::all_of(parsed.begin(), parsed.end(),
                  [](const ProfileEntry& entry) { return IsReadOnlyKey(entry.key); })) {
    *problem = {0, kNoSettingProblem};
    return false;
  }
  *entries = std::move(parsed);
  return true;
}

std::string KeyProblem(std::string_view key) {
  if (!key.empty() && key.size() <= kMaxKeyLength) return "";
  return "a key has 1 to " + std::to_string(kMaxKeyLength) + " bytes: '" + Quote(key) + "'";
}

namespace {

// A command-line operand for a message, as the user typed it when it is
// UTF-8 (control bytes still escaped), else as escaped bytes.
std::string AsGiven(const std::string& argument) {
  if (!IsUtf8(argument) || argument.size() > 64) return Quote(argument);
  std::string shown;
  for (char c : argument) {
    const auto byte = static_cast<unsigned char>(c);
    shown += byte < 0x20 || byte == 0x7F ? EscapeBytes(std::string(1, c)) : std::string(1, c);
  }
  return shown;
}

}  // namespace

bool ParseAssignment(const std::string& argument, std::string* key,
                     std::string* value, std::string* error) {
  if (argument.find_first_of("\r\n") != std::string::npos) {
    *error = "a line break in " + AsGiven(argument);
    return false;
  }
  std::vector<TextSetting> settings;
  TextProblem problem;
  if (!ParseSettingText(argument, &settings, &problem)) {
    *error = problem.message + " in " + AsGiven(argument);
    return false;
  }
  if (settings.size() != 1) {
    *error = AsGiven(argument) + " is not KEY=VALUE";
    return false;
  }
  *key = std::move(settings[0].key);
  *value = std::move(settings[0].value);
  return true;
}

bool ParseKeyOperand(const std::string& argument, std::string* key, std::string* error) {
  std::string message;
  if (!ParseSettingKey(argument, key, &message)) {
    *error = "key: " + message + " in " + AsGiven(argument);
    return false;
  }
  return true;
}

std::string ProfileHeader(const std::string* version, const std::string* deviceNumber) {
  std::string header = "# zrctl profile: firmware ";
  header += version ? EscapeText(*version) : std::string("unknown (get failed)");
  header += ", device number ";
  header += deviceNumber ? EscapeText(*deviceNumber) : std::string("unknown (get failed)");
  header += '\n';
  return header;
}

std::string SettingLine(const std::string& key, const std::string& value) {
  return FormatSettingLine(key, value);
}

std::string UnreadSettingLine(const std::string& key, const std::string& why) {
  return "# " + EscapeBytes(key) + ": " + why + ", value not saved\n";
}

}  // namespace lumiq::profile
