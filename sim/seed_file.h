#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "profile/setting_text.h"
#include "profile/text_file.h"

namespace lumiq::sim {

// The simulated scanner's memory as settings text (profile/setting_text.h):
// one `KEY=VALUE` line a setting, `\\` and `\xNN` escapes, `#` comments;
// values that are GBK as UTF-8 text.

using SettingList = std::vector<std::pair<std::string, std::string>>;

using profile::EscapeBytes;

struct SeedError {
  int line = 0;  // 1-based; 0 when the file itself could not be read
  std::string message;
  std::string file;  // set by ReadSeedFile

  // The whole message: "FILE:LINE: what" for a refused line, the reader's
  // own sentence (which names the file) when the file could not be read.
  std::string Describe() const;
};

// Parses seed text in file order. false with `error` set on a malformed line
// (no '=', empty key, bad escape, raw control byte).
bool ParseSeed(std::string_view text, SettingList* settings, SeedError* error);

// Writes settings in the same format, one line each, in the given order.
std::string FormatSeed(const SettingList& settings);

// Reads and parses a seed file through the bounded reader: a regular file of
// at most profile::kTextFileLimit bytes. `text`, when given, receives the
// file as read, so a write-back can keep its comments.
bool ReadSeedFile(const std::string& path, SettingList* settings, SeedError* error,
                  std::string* text = nullptr);

// Replaces a seed file through profile::WriteFileSafely.
bool WriteSeedFile(const std::string& path, const std::string& text,
                   std::string* error = nullptr, profile::FileHold* hold = nullptr);

}  // namespace lumiq::sim
