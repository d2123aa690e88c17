#include "tools/zrctl/profile.h"

#include <fstream>
#include <map>
#include <sstream>

#include "link/device_commands.h"
#include "sim/seed_file.h"

namespace lumiq::zrctl {

namespace {

// Parses one line on its own, so every problem can name its line and a CR
// left by a CR LF file never becomes part of a value (a CR inside a value is
// always written escaped).
bool ParseLine(std::string_view line, sim::SettingList* settings, std::string* error) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  sim::SeedError seedError;
  if (!sim::ParseSeed(line, settings, &seedError)) {
    *error = seedError.message.empty() ? "not KEY=VALUE" : seedError.message;
    return false;
  }
  return true;
}

}  // namespace

bool ParseProfile(std::string_view text, ProfileUse use,
                  std::vector<ProfileEntry>* entries, ProfileProblem* problem) {
  entries->clear();
  std::map<std::string, int> firstLine;
  int lineNumber = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;

    sim::SettingList settings;
    std::string error;
    if (!ParseLine(line, &settings, &error)) {
      *problem = {lineNumber, error};
      return false;
    }
    for (auto& [key, value] : settings) {
      const auto [where, added] = firstLine.emplace(key, lineNumber);
      if (!added) {
        *problem = {lineNumber, key + " is already set on line " +
                                    std::to_string(where->second)};
        return false;
      }
      if (use == ProfileUse::kSend && !SetFits(key, value)) {
        *problem = {lineNumber,
                    key + ": too long for one set (key " + std::to_string(key.size()) +
                        " + value " + std::to_string(value.size()) + " + 3 bytes > " +
                        std::to_string(kSetPayloadLimit) + ")"};
        return false;
      }
      entries->push_back({key, value, lineNumber});
    }
  }
  return true;
}

bool ParseAssignment(const std::string& argument, std::string* key,
                     std::string* value, std::string* error) {
  if (argument.find_first_of("\r\n") != std::string::npos) {
    *error = "a line break in " + sim::EscapeBytes(argument);
    return false;
  }
  sim::SettingList settings;
  std::string lineError;
  if (!ParseLine(argument, &settings, &lineError)) {
    *error = lineError + " in " + argument;
    return false;
  }
  if (settings.size() != 1) {
    *error = argument + " is not KEY=VALUE";
    return false;
  }
  *key = settings[0].first;
  *value = settings[0].second;
  return true;
}

std::string ProfileHeader(const std::string* version, const std::string* deviceNumber) {
  std::string header = "# zrctl profile: firmware ";
  header += version ? sim::EscapeBytes(*version) : std::string("unknown (get failed)");
  header += ", device number ";
  header += deviceNumber ? sim::EscapeBytes(*deviceNumber)
                         : std::string("unknown (get failed)");
  header += '\n';
  return header;
}

std::string SettingLine(const std::string& key, const std::string& value) {
  std::string line = sim::FormatSeed({{key, value}});
  if (line.empty() || line.back() != '\n') line += '\n';
  return line;
}

std::string FailedGetLine(const std::string& key, int result) {
  return "# " + sim::EscapeBytes(key) + ": get failed (GetSetting " +
         std::to_string(result) + "), value not saved\n";
}

bool ReadTextFile(const std::string& path, std::string* text, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot open " + path;
    return false;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) {
    *error = "cannot read " + path;
    return false;
  }
  *text = buffer.str();
  return true;
}

bool WriteTextFile(const std::string& path, const std::string& text, std::string* error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) {
    *error = "cannot create " + path;
    return false;
  }
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace lumiq::zrctl
