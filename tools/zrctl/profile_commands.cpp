#include <map>
#include <string>

#include "link/device_commands.h"
#include "sim/seed_file.h"
#include "tools/zrctl/commands.h"
#include "tools/zrctl/known_keys.h"

namespace lumiq::zrctl {

namespace {

// One get, with room for any value a get reply can carry.
int ReadSetting(const std::string& key, std::string* value) {
  char buffer[kLongValueBufferSize] = {};
  const int result = GetSetting(key, buffer, sizeof buffer);
  if (result >= 0) value->assign(buffer, static_cast<size_t>(result));
  return result;
}

}  // namespace

int DumpProfile(const Invocation& invocation, std::ostream& out, std::ostream& err) {
  int status = kExitOk;
  std::string body;
  std::map<std::string, std::string> read;
  for (std::string_view knownKey : KnownKeys()) {
    const std::string key(knownKey);
    std::string value;
    const int result = ReadSetting(key, &value);
    if (result < 0) {
      // A value that is not there must not look like an empty one: a restore
      // of it would clear the setting on the next scanner.
      body += FailedGetLine(key, result);
      err << "zrctl: get " << key << " failed: no answer or refused by the scanner (GetSetting "
          << result << ")\n";
      status = kExitFailed;
      continue;
    }
    body += SettingLine(key, value);
    read[key] = value;
  }

  auto found = [&read](const char* key) -> const std::string* {
    auto at = read.find(key);
    return at == read.end() ? nullptr : &at->second;
  };
  const std::string text = ProfileHeader(found(kVersionKey), found("deviceno")) + body;

  if (invocation.operands.empty()) {
    out << text;
    return status;
  }
  std::string error;
  if (!WriteTextFile(invocation.operands.front(), text, &error)) {
    err << "zrctl: " << error << "\n";
    return kExitFailed;
  }
  return status;
}

int RestoreProfile(const PreparedInput& input, std::ostream& out, std::ostream& err) {
  int status = kExitOk;
  int sent = 0;
  int failed = 0;
  for (const ProfileEntry& entry : input.profile) {
    if (IsReadOnlyKey(entry.key)) {
      // Dumps carry the firmware version so that diff can compare it; it is
      // the scanner's own and is never written.
      continue;
    }
    const int result = SetSetting(entry.key, entry.value);
    if (result != 0) {
      err << "zrctl: line " << entry.line << ": set " << sim::EscapeBytes(entry.key)
          << " failed: " << DescribeSetResult(result) << " (SetSetting " << result << ")\n";
      ++failed;
      status = kExitFailed;
      continue;
    }
    ++sent;
  }
  // One commit after every set, even when some failed, as the window's Save
  // does; the failures have been reported and the exit status says so.
  const int committed = CommitSettings();
  if (committed != 0) {
    err << "zrctl: commit failed: no answer or refused by the scanner (CommitSettings "
        << committed << ")\n";
    status = kExitFailed;
  }
  out << "restored " << sent << " settings";
  if (failed > 0) out << ", " << failed << " failed";
  out << (committed == 0 ? ", committed\n" : ", commit failed\n");
  return status;
}

int DiffProfile(const PreparedInput& input, std::ostream& out, std::ostream& err) {
  int status = kExitOk;
  for (const ProfileEntry& entry : input.profile) {
    std::string value;
    const int result = ReadSetting(entry.key, &value);
    if (result < 0) {
      err << "zrctl: get " << sim::EscapeBytes(entry.key)
          << " failed: no answer or refused by the scanner (GetSetting " << result << ")\n";
      status = kExitFailed;
      continue;
    }
    if (value != entry.value) {
      out << sim::EscapeBytes(entry.key) << ": scanner=" << sim::EscapeBytes(value)
          << " file=" << sim::EscapeBytes(entry.value) << '\n';
      status = kExitFailed;
    }
  }
  return status;
}

}  // namespace lumiq::zrctl
