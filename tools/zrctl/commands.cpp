#include "tools/zrctl/commands.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

#include "link/scanner_link.h"
#include "link/hid_transport.h"
#include "profile/known_keys.h"
#include "profile/setting_text.h"
#include "profile/text_file.h"
#include "res/udev_rule.h"
#include "tools/zrctl/scanner_identity.h"

namespace lumiq::zrctl {

using profile::EscapeBytes;
using profile::Quote;

namespace {

std::string Hex4(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", value & 0xFFFFu);
  return text;
}

int RunVersion(ScannerLink& link, std::ostream& out, std::ostream& err, ScannerResult* result) {
  char version[kLongValueBufferSize] = {};
  int length = 0;
  const int read = link.GetVersion(version, sizeof version, &length);
  if (read < 0) {
    err << "zrctl: the scanner did not report its firmware version (GetVersion "
        << read << ")\n";
    return kExitFailed;
  }
  const std::string text(version, static_cast<size_t>(length));
  out << EscapeBytes(text) << '\n';
  result->json.Set("firmware", JsonText(text));
  return kExitOk;
}

int RunGet(ScannerLink& link, const PreparedInput& input, std::ostream& out, std::ostream& err,
           ScannerResult* result) {
  int status = kExitOk;
  JsonValue settings = JsonValue::Object();
  for (const std::string& key : input.keys) {
    std::string value;
    const int read = ReadSetting(link, key, &value);
    if (read < 0) {
      err << "zrctl: get " << Quote(key) << " failed: " << DescribeGetFailure(read, value)
          << "\n";
      result->failedKeys.push_back(key);
      status = kExitFailed;
      continue;
    }
    out << profile::SettingLine(key, value);
    settings.Set(EscapeBytes(key), JsonText(value));
  }
  result->json.Set("settings", std::move(settings));
  result->json.Set("failed_keys", JsonKeys(result->failedKeys));
  return status;
}

int Commit(ScannerLink& link, std::ostream& err, ScannerResult* result) {
  const int committed = link.CommitSettings();
  result->json.Set("committed", JsonValue::Bool(committed == 0));
  if (committed != 0) {
    err << "zrctl: commit failed: no answer or refused by the scanner (CommitSettings "
        << committed << ")\n";
    return kExitFailed;
  }
  return kExitOk;
}

int RunSet(ScannerLink& link, const Invocation& invocation, const PreparedInput& input,
           std::ostream& err, ScannerResult* result) {
  int status = kExitOk;
  JsonValue sent = JsonValue::Array();
  for (const auto& [key, value] : input.assignments) {
    const int set = link.SetSetting(key, value);
    if (set != 0) {
      err << "zrctl: set " << Quote(key) << " failed: " << DescribeSetResult(set)
          << " (SetSetting " << set << ")\n";
      result->failedKeys.push_back(key);
      status = kExitFailed;
      continue;
    }
    sent.Push(JsonKey(key));
  }
  result->json.Set("sent", std::move(sent));
  result->json.Set("failed_keys", JsonKeys(result->failedKeys));
  // Like the window's Save, the commit goes out even after a failed set:
  // the sets that did arrive are then kept, and the failures are reported.
  if (invocation.commit && Commit(link, err, result) != kExitOk) status = kExitFailed;
  // The scanner takes a set at once but keeps it only once committed: a
  // silent run would look like a finished one.
  if (!invocation.commit) err << "zrctl: not committed: run zrctl commit, or set with --commit\n";
  return status;
}

// One profile on many scanners would give them all one device number; each
// keeps its own unless the user asks for the file's.
void KeepDeviceNumbers(const Invocation& invocation, PreparedInput* input) {
  auto& entries = input->profile;
  const auto isDeviceNumber = [](const ProfileEntry& entry) {
    return entry.key == kDeviceNumberKey;
  };
  if (std::none_of(entries.begin(), entries.end(), isDeviceNumber)) return;
  if (invocation.withDeviceNumber) {
    input->deviceNumberNote = invocation.command == Command::kRestore
                                  ? "deviceno sent as in the file (--with-deviceno)"
                                  : "deviceno as in the file (--with-deviceno)";
    return;
  }
  entries.erase(std::remove_if(entries.begin(), entries.end(), isDeviceNumber), entries.end());
  switch (invocation.command) {
    case Command::kProvision:
    case Command::kServe:
      input->deviceNumberNote = "deviceno not sent: each scanner keeps its own";
      break;
    case Command::kCheck:
    case Command::kApply:
      input->deviceNumberNote =
          "deviceno left out: each scanner keeps its own (--with-deviceno includes it)";
      break;
    default:
      input->deviceNumberNote =
          "deviceno not sent: each scanner keeps its own (--with-deviceno sends it)";
  }
}

// A key that no page of the window reads or writes is most likely a typo;
// it is still sent, as the scanner may know it. `where` is "FILE:LINE: "
// for a profile's line, empty for an operand.
void NoteUnknownKey(const std::string& key, const std::string& where, std::ostream& err) {
  if (profile::IsKnownKey(key)) return;
  err << "zrctl: " << where << "note: " << Quote(key) << " is not a key zrctl knows\n";
}

}  // namespace

int PrepareInput(const Invocation& invocation, PreparedInput* input, std::ostream& err) {
  switch (invocation.command) {
    case Command::kGet:
      for (const std::string& argument : invocation.operands) {
        std::string key;
        std::string error;
        if (!profile::ParseKeyOperand(argument, &key, &error)) {
          err << "zrctl: " << error << "; nothing sent\n";
          return kExitUsage;
        }
        const std::string problem = profile::KeyProblem(key);
        if (!problem.empty()) {
          err << "zrctl: " << problem << "; nothing sent\n";
          return kExitUsage;
        }
        input->keys.push_back(std::move(key));
      }
      for (const std::string& key : input->keys) NoteUnknownKey(key, "", err);
      return kExitOk;
    case Command::kDump: {
      // A target that cannot take the profile is refused before the scanner
      // is asked for anything.
      std::string error;
      if (!invocation.operands.empty() &&
          !profile::CheckWritableTarget(invocation.operands.front(), &error)) {
        err << "zrctl: " << error << "\n";
        return kExitUsage;
      }
      return kExitOk;
    }
    case Command::kSet: {
      std::set<std::string> seen;
      for (const std::string& argument : invocation.operands) {
        std::string key;
        std::string value;
        std::string error;
        if (!profile::ParseAssignment(argument, &key, &value, &error)) {
          err << "zrctl: " << error << "; nothing sent\n";
          return kExitUsage;
        }
        const std::string problem = profile::KeyProblem(key);
        if (!problem.empty()) {
          err << "zrctl: " << problem << "; nothing sent\n";
          return kExitUsage;
        }
        if (!seen.insert(key).second) {
          err << "zrctl: " << Quote(key) << " is named twice\n";
          return kExitUsage;
        }
        if (!SetFits(key, value)) {
          err << "zrctl: " << Quote(key) << ": too long for one set (key "
              << key.size() << " + value " << value.size() << " + 3 bytes > "
              << kSetPayloadLimit << ")\n";
          return kExitUsage;
        }
        input->assignments.emplace_back(std::move(key), std::move(value));
      }
      for (const auto& assignment : input->assignments) NoteUnknownKey(assignment.first, "", err);
      return kExitOk;
    }
    case Command::kRestore:
    case Command::kDiff:
    case Command::kProvision:
    case Command::kServe:
    case Command::kCheck:
    case Command::kApply: {
      const std::string& file = invocation.operands.front();
      std::string error;
      if (!invocation.logFile.empty() &&
          !profile::CheckWritableTarget(invocation.logFile, &error)) {
        err << "zrctl: " << error << "\n";
        return kExitUsage;
      }
      std::string text;
      if (!profile::ReadTextFile(file, &text, &error)) {
        err << "zrctl: " << error << "; nothing sent\n";
        return kExitUsage;
      }
      profile::ProfileProblem problem;
      const profile::ProfileUse use = invocation.command == Command::kDiff
                                          ? profile::ProfileUse::kCompare
                                          : profile::ProfileUse::kSend;
      if (!profile::ParseProfile(text, use, &input->profile, &problem)) {
        err << "zrctl: " << file;
        if (problem.line > 0) err << ":" << problem.line;
        err << ": " << problem.message << "; nothing sent\n";
        return kExitUsage;
      }
      for (const ProfileEntry& entry : input->profile) {
        NoteUnknownKey(entry.key, file + ":" + std::to_string(entry.line) + ": ", err);
      }
      // check compares with what restore would send, so reads the file as
      // one to send and leaves deviceno out as restore does.
      const bool sends = invocation.command != Command::kDiff;
      if ((sends && invocation.all) || invocation.command == Command::kProvision ||
          invocation.command == Command::kServe) {
        KeepDeviceNumbers(invocation, input);
      }
      if (use == profile::ProfileUse::kSend &&
          std::all_of(input->profile.begin(), input->profile.end(), [](const ProfileEntry& e) {
            return profile::IsReadOnlyKey(e.key);
          })) {
        // Only the device number, which each scanner keeps.
        err << "zrctl: " << file << ": " << profile::kNoSettingProblem << "; "
            << input->deviceNumberNote << "; nothing sent\n";
        return kExitUsage;
      }
      return kExitOk;
    }
    default:
      return kExitOk;
  }
}

int PrintRestorePlan(const PreparedInput& input, std::ostream& out, JsonValue* document) {
  if (!input.deviceNumberNote.empty()) out << "# " << input.deviceNumberNote << "\n";
  JsonValue plan = JsonValue::Array();
  for (const ProfileEntry& entry : input.profile) {
    if (profile::IsReadOnlyKey(entry.key)) {
      out << "# line " << entry.line << ": " << entry.key
          << " is the firmware version, not sent\n";
      continue;
    }
    out << "SET " << profile::FormatSettingLine(entry.key, entry.value);
    JsonValue& step = plan.Push(JsonValue::Object());
    step.Set("key", JsonKey(entry.key));
    step.Set("value", JsonText(entry.value));
  }
  out << "COMMIT\n";
  if (document != nullptr) {
    document->Set("dry_run", JsonValue::Bool(true));
    document->Set("plan", std::move(plan));
    if (!input.deviceNumberNote.empty()) {
      document->Set("deviceno_note", JsonValue(input.deviceNumberNote));
    }
  }
  return kExitOk;
}

JsonValue JsonKey(const std::string& key) { return JsonValue(EscapeBytes(key)); }

JsonValue JsonText(const std::string& value) { return JsonValue(profile::EscapeText(value)); }

JsonValue JsonKeys(const std::vector<std::string>& keys) {
  JsonValue list = JsonValue::Array();
  for (const std::string& key : keys) list.Push(JsonKey(key));
  return list;
}

namespace {

// A value in the list's columns: as get shows it, in quotes when empty or
// holding a blank, so that the columns still part where two blanks are.
std::string ListedValue(const std::string& value) {
  const std::string shown = profile::QuoteText(value);
  if (shown.empty() || shown.find(' ') != std::string::npos) return "'" + shown + "'";
  return shown;
}

}  // namespace

int ListInterfaces(const Invocation& invocation, ScannerLink& link,
                   std::ostream& out, std::ostream& err, JsonValue* document) {
  int shown = 0;
  JsonValue interfaces = JsonValue::Array();
  for (ScannerIdentity& scanner : SortedInterfaces(link.Platform())) {
    const ScannerInterfaceInfo& info = scanner.info;
    if (!invocation.device.empty() && info.path != invocation.device) continue;
    Identify(link, &scanner);
    // The first columns as they always were, for scripts that read them.
    out << info.path << "  " << Hex4(info.attributes.vendorId) << ':'
        << Hex4(info.attributes.productId) << "  interface ";
    if (info.attributes.interfaceNumber >= 0) {
      out << info.attributes.interfaceNumber;
    } else {
      out << '?';
    }
    out << (info.usedByTool ? "  used by zrctl" : "  not used");
    out << "  port " << (info.port.empty() ? std::string("?") : ListedValue(info.port));
    if (scanner.asked && !scanner.opened) {
      out << "  " << DescribeUnreadable(scanner.failure);
    } else if (scanner.opened) {
      out << "  deviceno "
          << (scanner.deviceNumberRead ? ListedValue(scanner.deviceNumber) : "(not read)")
          << "  firmware "
          << (scanner.firmwareRead ? ListedValue(scanner.firmware) : "(not read)");
    }
    out << '\n';
    ++shown;

    JsonValue& entry = interfaces.Push(JsonValue::Object());
    entry.Set("path", JsonValue(info.path));
    entry.Set("vendor", JsonValue(Hex4(info.attributes.vendorId)));
    entry.Set("product", JsonValue(Hex4(info.attributes.productId)));
    entry.Set("interface", info.attributes.interfaceNumber >= 0
                               ? JsonValue::Number(info.attributes.interfaceNumber)
                               : JsonValue());
    entry.Set("used_by_zrctl", JsonValue::Bool(info.usedByTool));
    entry.Set("port", info.port.empty() ? JsonValue() : JsonValue(info.port));
    if (scanner.asked && !scanner.opened) {
      entry.Set("unreadable", JsonValue(DescribeUnreadable(scanner.failure)));
    } else if (scanner.opened) {
      entry.Set("deviceno",
                scanner.deviceNumberRead ? JsonText(scanner.deviceNumber) : JsonValue());
      entry.Set("firmware", scanner.firmwareRead ? JsonText(scanner.firmware) : JsonValue());
    }
  }
  if (document != nullptr) document->Set("interfaces", std::move(interfaces));
  if (shown == 0) {
    err << "zrctl: no scanner interface found (vendor " << Hex4(kScannerVendorId)
        << ", product " << Hex4(kScannerProductId) << ")";
    if (!invocation.device.empty()) err << " at " << invocation.device;
    err << "\n";
    return kExitFailed;
  }
  return kExitOk;
}

int RunDeviceCommand(ScannerLink& link, const Invocation& invocation, const PreparedInput& input,
                     std::ostream& out, std::ostream& err, ScannerResult* result) {
  ScannerResult unused;
  if (result == nullptr) result = &unused;
  switch (invocation.command) {
    case Command::kVersion:
      return RunVersion(link, out, err, result);
    case Command::kGet:
      return RunGet(link, input, out, err, result);
    case Command::kSet:
      return RunSet(link, invocation, input, err, result);
    case Command::kCommit:
      return Commit(link, err, result);
    case Command::kDump:
      return DumpProfile(link, invocation, out, err, result);
    case Command::kRestore:
      return RestoreProfile(link, invocation, input, out, err, result);
    case Command::kDiff:
      return DiffProfile(link, input, out, err, result);
    case Command::kCheck:
    case Command::kApply:
      return RunCompliance(link, invocation, input, out, err, result);
    default:
      return kExitUsage;
  }
}

int OpenScanner(ScannerLink& link, const std::string& path, std::ostream& err) {
  const bool discovered = path.empty();
  const LinkOpenResult opened = discovered ? link.Open() : link.OpenAt(path);
  const int result = opened.code;
  if (result == kOpened) return result;
  const OpenFailure cause = opened.cause;

  std::string where = path;
  if (discovered && result == kOpenNoAnswer) {
    char found[kDevicePathSize] = {};
    if (FindScannerPath(link.Platform(), found, sizeof found) == kScannerFound) where = found;
  }
  err << "zrctl: " << OpenFailureMessage(where, discovered, result, cause, opened.refusal)
      << "\n";
  return result;
}

std::string OpenFailureMessage(const std::string& path, bool discovered, int result,
                               OpenFailure cause, const std::string& refusal) {
  const std::string code =
      std::string(discovered ? " (OpenDevice " : " (OpenDeviceAt ") + std::to_string(result) + ")";
  const std::string scanner = path.empty() ? "the scanner" : "the scanner at " + path;
  switch (result) {
    case kOpenOutOfMemory:
      return "ran out of memory while looking for the scanner" + code;
    case kOpenNoScanner:
      return "no scanner found (vendor " + Hex4(kScannerVendorId) + ", product " +
             Hex4(kScannerProductId) + ", interface 1)" + code;
    default:
      break;
  }
  switch (cause) {
    case OpenFailure::kNoAnswer:
      return scanner + " did not answer the handshake" + code;
    case OpenFailure::kInUse:
      return scanner + " is in use by another program" + code +
             ": close the other program, or wait for it to finish";
    case OpenFailure::kNotAScanner:
      return (path.empty() ? std::string("the scanner's path") : path) + " is " +
             (refusal.empty() ? std::string("something else") : refusal) + ", not a scanner" +
             code + "; nothing was written to it";
    case OpenFailure::kNotFound:
      return (path.empty() ? std::string("the scanner") : path) + " is not there (unplugged?)" +
             code;
    case OpenFailure::kPermissionDenied:
#ifdef __linux__
      return "no permission to open " + (path.empty() ? std::string("the scanner") : path) +
             code +
             ": the package's udev rule " LUMIQ_PACKAGED_UDEV_RULE
             " lets only the user logged in at the seat (uaccess) and group lumiq-scanner open "
             "the scanner; an ssh session or a second user is refused unless in that group: "
             "run zrctl in the seat's session, or as root" +
             (res::kSourceBuild ? "; in a source build, copy " LUMIQ_SOURCE_UDEV_RULE
                                  " to /etc/udev/rules.d/ and plug the scanner in again"
                                : "");
#else
      return "no permission to open " + (path.empty() ? std::string("the scanner") : path) +
             code;
#endif
    default:
      return scanner + " could not be opened" + code;
  }
}

int ReadSetting(ScannerLink& link, const std::string& key, std::string* value) {
  // Room for any value a get reply can carry, so that a long one is told
  // from a scanner that did not answer.
  std::vector<char> buffer(65536);
  const int result = link.GetSetting(key, buffer.data(), buffer.size());
  if (result < 0) return result;
  value->assign(buffer.data(), static_cast<size_t>(result));
  return value->size() > kLongestValue ? kValueTooLong : result;
}

std::string DescribeGetFailure(int result, const std::string& value) {
  if (result == kValueTooLong) {
    return "the scanner's value is " + std::to_string(value.size()) +
           " bytes, longer than the " + std::to_string(kLongestValue) + " bytes zrctl reads";
  }
  return "no answer or refused by the scanner (GetSetting " + std::to_string(result) + ")";
}

std::string DescribeSetResult(int result) {
  switch (result) {
    case -1:
      return "not sent";
    case -2:
      return "no answer from the scanner";
    case -3:
      return "refused by the scanner";
    default:
      return "failed";
  }
}

}  // namespace lumiq::zrctl
