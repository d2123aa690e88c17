#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumiq::sim {

// The simulated scanner's memory as text: one `KEY=VALUE` line a setting.
// The value is everything after the first '=' to the end of the line; in it
// `\\` stands for one backslash and `\xNN` for any byte. Lines starting with
// '#', and blank lines, are comments.

using SettingList = std::vector<std::pair<std::string, std::string>>;

// Escapes a value (or key) so that any byte survives a line of text:
// backslash as `\\`, every byte outside printable ASCII as `\xNN` (upper case).
std::string EscapeBytes(std::string_view bytes);

struct SeedError {
  int line = 0;  // 1-based
  std::string message;
};

// Parses seed text in file order. false with `error` set on a malformed line
// (no '=', empty key, bad escape).
bool ParseSeed(std::string_view text, SettingList* settings, SeedError* error);

// Writes settings in the same format, one line each, in the given order.
std::string FormatSeed(const SettingList& settings);

bool ReadSeedFile(const std::string& path, SettingList* settings, SeedError* error);
bool WriteSeedFile(const std::string& path, const std::string& text);

}  // namespace lumiq::sim
