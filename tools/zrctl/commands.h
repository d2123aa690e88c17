#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "link/device_commands.h"
#include "link/hid_platform.h"
#include "link/scanner_link.h"
#include "tools/zrctl/apply.h"
#include "tools/zrctl/arguments.h"
#include "tools/zrctl/json_writer.h"
#include "profile/profile.h"

namespace lumiq::zrctl {

using profile::ProfileEntry;

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // scanner not found, not opened, not answering; a
                                       // failed get, set or commit; diff found differences
inline constexpr int kExitUsage = 2;   // command line or profile refused: nothing sent
inline constexpr int kExitUnsafeProfile = 4;  // serve: others than root may change the profile
// check and apply: 3, kExitUnreachable (apply.h), a scanner not found,
// opened or read; 1 a scanner differs (check) or a set, commit or read-back
// failed (apply).

// What a command needs besides the scanner, checked before any device is
// opened so that a bad operand never leaves half a configuration behind.
struct PreparedInput {
  std::vector<std::pair<std::string, std::string>> assignments;  // set
  std::vector<std::string> keys;                                 // get
  std::vector<ProfileEntry> profile;                             // restore, diff, check, apply
  // restore, check, apply --all: how the file's deviceno was treated, for the summary
  // line; empty when the file has none or one scanner is restored.
  std::string deviceNumberNote;
};

// The key that tells scanners of a fleet apart: restore --all leaves it to
// each scanner unless --with-deviceno asks for the file's.
inline constexpr char kDeviceNumberKey[] = "deviceno";

// What a command found on one scanner besides its exit status, for the
// --all summary line: the keys that failed (a set refused, a value not
// stored as sent) and, when the command was asked for it, the scanner's
// device number.
struct ScannerResult {
  std::vector<std::string> failedKeys;  // as sent, unquoted
  bool wantDeviceNumber = false;        // set by the caller
  bool opened = false;                  // the command ran on an opened scanner
  bool committed = false;               // restore: the scanner answered its commit
  bool deviceNumberRead = false;
  std::string deviceNumber;
  // check, apply: what was found and done; a scanner not opened has the
  // open's failure as its message.
  ApplyOutcome outcome;
  // --json: the scanner's entry in the document; each command adds what it
  // found (settings read, differences, ...).
  JsonValue json;
};

// Keys and values as --json writes them: keys with the profile escapes,
// values as settings text (GBK as characters), the way a profile shows them.
JsonValue JsonKey(const std::string& key);
JsonValue JsonText(const std::string& value);
JsonValue JsonKeys(const std::vector<std::string>& keys);

// Checks the operands (and reads the profile); kExitOk, or kExitUsage after
// telling `err` why.
int PrepareInput(const Invocation& invocation, PreparedInput* input, std::ostream& err);

// restore --dry-run: what would be sent, with no device at all; with
// --json also into `document`.
int PrintRestorePlan(const PreparedInput& input, std::ostream& out, JsonValue* document);

// zrctl list, over the platform of `link`, which reads each scanner; with
// --json also into `document`.
int ListInterfaces(const Invocation& invocation, ScannerLink& link,
                   std::ostream& out, std::ostream& err, JsonValue* document);

// Runs a device command on the scanner `link` has open; `result` may be
// nullptr.
int RunDeviceCommand(ScannerLink& link, const Invocation& invocation, const PreparedInput& input,
                     std::ostream& out, std::ostream& err, ScannerResult* result);

// The commands of the profile file (profile_commands.cpp).
int DumpProfile(ScannerLink& link, const Invocation& invocation, std::ostream& out,
                std::ostream& err, ScannerResult* result);
// Sends, commits and (unless --no-verify) reads every sent setting back.
int RestoreProfile(ScannerLink& link, const Invocation& invocation, const PreparedInput& input,
                   std::ostream& out, std::ostream& err, ScannerResult* result);
int DiffProfile(ScannerLink& link, const PreparedInput& input, std::ostream& out,
                std::ostream& err, ScannerResult* result);
// check and apply (ApplyProfile), with the scanner's --json fields.
int RunCompliance(ScannerLink& link, const Invocation& invocation, const PreparedInput& input,
                  std::ostream& out, std::ostream& err, ScannerResult* result);

// A check's or apply's scanner entry for --json, also for a scanner not
// opened: deviceno, compliant, differences, failed_keys and, for apply,
// changed, committed, verified.
void DescribeCompliance(const ApplyOutcome& outcome, const Invocation& invocation,
                        const PreparedInput& input, JsonValue* entry);

// How far check or apply goes.
ApplyMode ApplyModeOf(const Invocation& invocation);

// Opens the scanner on `link` the way the command line asks (`path` empty:
// discovery) and returns the open's code; on failure `err` gets one line
// naming the cause: not found, no permission, in use by another program,
// not a scanner, no answer.
int OpenScanner(ScannerLink& link, const std::string& path, std::ostream& err);

// The line for an open of `path` (empty: found by discovery) that failed with
// `result` for `cause` (LinkOpenResult). No permission points to the udev
// rule on Linux. With kNotAScanner, `refusal` (the open's) says what the
// path is instead.
std::string OpenFailureMessage(const std::string& path, bool discovered, int result,
                               OpenFailure cause, const std::string& refusal = std::string());

// Why a set failed, for messages.
std::string DescribeSetResult(int result);

// The longest value zrctl reads: what the window's longest value buffer
// holds. A longer one is still read whole, to say so rather than call the
// scanner silent.
inline constexpr size_t kLongestValue = kLongValueBufferSize - 1;
inline constexpr int kValueTooLong = -100;

// One get on `link` into `value`: its length, GetSetting's failure code, or
// kValueTooLong with `value` holding what the scanner sent.
int ReadSetting(ScannerLink& link, const std::string& key, std::string* value);
// Why a ReadSetting failed, for messages ("no answer or refused ...").
std::string DescribeGetFailure(int result, const std::string& value);

}  // namespace lumiq::zrctl
