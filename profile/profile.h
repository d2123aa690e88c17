#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumiq::profile {

// A profile is a scanner's settings as settings text (setting_text.h): a `#`
// comment naming the scanner it came from, then one KEY=VALUE line a setting,
// in the order of KnownKeys(). Values that are GBK are written as the text
// they stand for, other bytes escaped, so any value survives.
// `zrctl dump` and `restore` write and read it, and so does any window that
// exports or imports a configuration.

struct ProfileEntry {
  std::string key;
  std::string value;
  int line = 0;  // 1-based, for messages
};

struct ProfileProblem {
  int line = 0;  // 0: the file as a whole
  std::string message;
};

inline constexpr char kNoSettingProblem[] = "no setting in the file";

enum class ProfileUse {
  kCompare,  // diff: the values are only read
  kSend,     // restore: every entry must also fit one set command
};

// Reads a profile in file order. Refuses, naming the first offending line, a
// line of settings text that does not parse, a key outside 1 to 255 bytes, a
// key named twice and for kSend a set the link cannot carry (SetFits); and a
// profile without any setting, which restores nothing (kNoSettingProblem);
// for kSend that includes one holding only the firmware version, which is
// never sent.
bool ParseProfile(std::string_view text, ProfileUse use,
                  std::vector<ProfileEntry>* entries, ProfileProblem* problem);

// "" for a key the scanner can be asked about, else why not; the same words
// wherever a key comes from.
std::string KeyProblem(std::string_view key);

// One KEY=VALUE operand of `zrctl set`, UTF-8 text converted to GBK as in a
// profile, with the escapes in VALUE.
bool ParseAssignment(const std::string& argument, std::string* key,
                     std::string* value, std::string* error);

// One KEY operand of `zrctl get`, read as the KEY of ParseAssignment.
bool ParseKeyOperand(const std::string& argument, std::string* key, std::string* error);

// The first line of a dump. nullptr for a value whose get failed.
std::string ProfileHeader(const std::string* version, const std::string* deviceNumber);
// A setting line with its line end.
std::string SettingLine(const std::string& key, const std::string& value);
// The comment that stands in for a setting whose value was not read, and why.
std::string UnreadSettingLine(const std::string& key, const std::string& why);

}  // namespace lumiq::profile
