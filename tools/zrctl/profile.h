#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumiq::zrctl {

// A profile is the scanner's settings as seed text: a `#` comment naming the
// scanner it came from, then one KEY=VALUE line a setting, in the order of
// KnownKeys(). Values use the seed escapes, so any byte survives.

struct ProfileEntry {
  std::string key;
  std::string value;
  int line = 0;  // 1-based, for messages
};

struct ProfileProblem {
  int line = 0;
  std::string message;
};

enum class ProfileUse {
  kCompare,  // diff: the values are only read
  kSend,     // restore: every entry must also fit one set command
};

// Reads a profile in file order. Refuses, naming the first offending line, a
// line that is not KEY=VALUE or holds a bad escape, a key named twice, and
// for kSend a set the link cannot carry (SetFits). Lines may end in CR LF.
bool ParseProfile(std::string_view text, ProfileUse use,
                  std::vector<ProfileEntry>* entries, ProfileProblem* problem);

// One KEY=VALUE operand of `set`, with the seed escapes in VALUE.
bool ParseAssignment(const std::string& argument, std::string* key,
                     std::string* value, std::string* error);

// The first line of a dump. nullptr for a value whose get failed.
std::string ProfileHeader(const std::string* version, const std::string* deviceNumber);
// A setting line, the way seed files write it, with its line end.
std::string SettingLine(const std::string& key, const std::string& value);
// The comment that stands in for a setting whose get failed.
std::string FailedGetLine(const std::string& key, int result);

// Whole-file reads and writes; false with a reason on failure.
bool ReadTextFile(const std::string& path, std::string* text, std::string* error);
bool WriteTextFile(const std::string& path, const std::string& text, std::string* error);

}  // namespace lumiq::zrctl
