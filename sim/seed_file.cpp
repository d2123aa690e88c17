#include "sim/seed_file.h"

namespace lumiq::sim {

std::string SeedError::Describe() const {
  if (line <= 0) return message;
  return (file.empty() ? std::string("line ") : file + ":") + std::to_string(line) + ": " +
         message;
}

bool ParseSeed(std::string_view text, SettingList* settings, SeedError* error) {
  std::vector<profile::TextSetting> parsed;
  profile::TextProblem problem;
  if (!profile::ParseSettingText(text, &parsed, &problem)) {
    if (error) *error = SeedError{problem.line, problem.message, {}};
    return false;
  }
  if (settings) {
    settings->clear();
    for (auto& setting : parsed) settings->emplace_back(std::move(setting.key), std::move(setting.value));
  }
  return true;
}

std::string FormatSeed(const SettingList& settings) {
  std::string out;
  for (const auto& [key, value] : settings) out += profile::FormatSettingLine(key, value);
  return out;
}

bool ReadSeedFile(const std::string& path, SettingList* settings, SeedError* error,
                  std::string* text) {
  std::string read;
  std::string message;
  if (!profile::ReadTextFile(path, &read, &message)) {
    if (error) *error = SeedError{0, message, path};
    return false;
  }
  if (!ParseSeed(read, settings, error)) {
    if (error) error->file = path;
    return false;
  }
  if (text) *text = std::move(read);
  return true;
}

bool WriteSeedFile(const std::string& path, const std::string& text, std::string* error,
                   profile::FileHold* hold) {
  std::string message;
  if (profile::WriteFileSafely(path, text, &message, hold)) return true;
  if (error) *error = message;
  return false;
}

}  // namespace lumiq::sim
