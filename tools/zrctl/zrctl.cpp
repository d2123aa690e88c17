#include "tools/zrctl/zrctl.h"

#include "ui/app/settings_reference.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <sstream>
#include <utility>

#include "link/scanner_link.h"
#include "link/frame_codec.h"
#include "link/hid_transport.h"
#include "tools/zrctl/arguments.h"
#include "tools/zrctl/at_once.h"
#include "tools/zrctl/commands.h"
#include "tools/zrctl/json_writer.h"
#include "tools/zrctl/provision.h"
#include "tools/zrctl/salt_line.h"
#include "tools/zrctl/signal_stop.h"
#include "tools/zrctl/simulation.h"
#include "profile/setting_text.h"
#include "sim/sim_device_watcher.h"

namespace lumiq::zrctl {

namespace {

// --trace: every frame in upper-case hex, requests after "> ", replies
// after "< ". The links of several scanners at once share it: each line
// goes out whole under `lock`, which every other writer of `err` holds too.
class TraceWriter : public FrameObserver {
 public:
  TraceWriter(std::ostream& err, std::mutex& lock) : err_(err), lock_(lock) {}
  void OnRequest(const uint8_t* frame, size_t size) override { Write("> ", frame, size); }
  void OnReply(const uint8_t* frame, size_t size) override { Write("< ", frame, size); }

 private:
  void Write(const char* marker, const uint8_t* frame, size_t size) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string line = marker;
    for (size_t i = 0; i < size; ++i) {
      if (i > 0) line += ' ';
      line += kDigits[frame[i] >> 4];
      line += kDigits[frame[i] & 0x0F];
    }
    line += '\n';
    std::lock_guard<std::mutex> hold(lock_);
    err_ << line;
  }
  std::ostream& err_;
  std::mutex& lock_;
};

bool KeepsCompliance(Command command) {
  return command == Command::kCheck || command == Command::kApply;
}

// The first line of messages, without the program's name.
std::string FirstMessage(const std::string& messages) {
  std::string first = messages.substr(0, messages.find('\n'));
  const std::string prefix = "zrctl: ";
  if (first.compare(0, prefix.size(), prefix) == 0) first.erase(0, prefix.size());
  return first;
}

// What check and apply found on every scanner, and the last message that
// concerned none of them (no scanner found, a refused profile), for the
// closing line.
struct ComplianceRun {
  std::vector<ApplyOutcome> scanners;
  std::string general;
};

// A simulated scanner whose commit could not be written back has lost it,
// as a scanner whose flash failed: the run on it failed.
int RunOnScanner(ScannerLink& link, const Invocation& invocation, const PreparedInput& input,
                 const std::string& path, SimulatedScanners& simulated,
                 std::ostream& out, std::ostream& err, ScannerResult* result = nullptr) {
  ScannerResult unused;
  if (result == nullptr) result = &unused;
  const bool compliance = KeepsCompliance(invocation.command);
  std::ostringstream opening;
  if (OpenScanner(link, path, opening) != kOpened) {
    err << opening.str();
    if (!compliance) return kExitFailed;
    result->outcome.message = FirstMessage(opening.str());
    DescribeCompliance(result->outcome, invocation, input, &result->json);
    return kExitUnreachable;
  }
  result->opened = true;
  int status = RunDeviceCommand(link, invocation, input, out, err, result);
  link.Close();
  if (!simulated.ReportWriteFailures(err, path)) {
    status = kExitFailed;
    result->outcome.committed = false;
    result->outcome.verified = false;
    if (result->outcome.message.empty()) {
      result->outcome.message = "the commit could not be written back";
    }
    if (compliance) DescribeCompliance(result->outcome, invocation, input, &result->json);
  }
  return status;
}

// The exit status of several scanners. check: a scanner not read may differ
// too, so 3 wins over 1; apply: a scanner written in part needs a look
// before one left alone, so 1 wins over 3. Other commands: 1 when any
// scanner failed.
int Worse(Command command, int a, int b) {
  if (!KeepsCompliance(command)) return a != kExitOk || b != kExitOk ? kExitFailed : kExitOk;
  const int first = command == Command::kCheck ? kExitUnreachable : kExitFailed;
  if (a == first || b == first) return first;
  return a != kExitOk ? a : b;
}

// The start of a scanner's closing line under --all: its path, and after a
// restore where it is plugged in and the device number it has now, which
// tell the scanners of a fleet apart.
std::string SummaryLead(const ScannerInterfaceInfo& info, const Invocation& invocation,
                        const ScannerResult& result) {
  std::string lead = info.path;
  if (invocation.command == Command::kRestore || KeepsCompliance(invocation.command)) {
    lead += " (port " + (info.port.empty() ? std::string("?") : profile::QuoteText(info.port));
    if (result.opened) {
      lead += result.deviceNumberRead ? ", deviceno " + profile::QuoteText(result.deviceNumber)
                                      : std::string(", deviceno not read");
    }
    lead += ")";
  }
  return lead + ": ";
}

std::string JoinKeys(const std::vector<std::string>& keys) {
  std::string joined;
  for (const std::string& key : keys) {
    if (!joined.empty()) joined += ", ";
    joined += profile::Quote(key);
  }
  return joined;
}

// --json: a scanner's entry gets how the command ended on it and what it
// said on the way (the messages, also on standard error, one a line).
void FinishEntry(ScannerResult* scanner, int status, const std::string& messages) {
  JsonValue& entry = scanner->json;
  entry.Set("status", JsonValue::Number(status));
  entry.Set("opened", JsonValue::Bool(scanner->opened));
  JsonValue lines = JsonValue::Array();
  std::istringstream in(messages);
  for (std::string line; std::getline(in, line);) lines.Push(JsonValue(line));
  entry.Set("messages", std::move(lines));
}

// What one scanner of --all came to.
struct AllEntry {
  bool begun = false;
  int status = kExitFailed;
  std::string out;  // what the command printed
  std::string messages;
  ScannerResult scanner;
};

// The closing line of a scanner under --all: after a restore the keys that
// failed say it; other commands, and a failure that names no key, have
// their first message.
std::string ClosingLine(const ScannerInterfaceInfo& info, const Invocation& invocation,
                        const AllEntry& entry) {
  const std::string lead = SummaryLead(info, invocation, entry.scanner);
  if (!entry.begun) return lead + "not begun: stopped\n";
  if (KeepsCompliance(invocation.command)) {
    const ApplyOutcome& outcome = entry.scanner.outcome;
    if (!outcome.read) return lead + "not read: " + outcome.message + '\n';
    if (outcome.compliant) return lead + "compliant\n";
    std::vector<std::string> keys;
    for (const SettingDifference& difference : outcome.differences) keys.push_back(difference.key);
    switch (ApplyModeOf(invocation)) {
      case ApplyMode::kCheck: return lead + "differs: " + JoinKeys(keys) + '\n';
      case ApplyMode::kPlan: return lead + "would change: " + JoinKeys(keys) + '\n';
      case ApplyMode::kApply: break;
    }
    if (entry.status == kExitOk) return lead + "changed: " + JoinKeys(keys) + '\n';
    return lead + "failed: " +
           (outcome.failedKeys.empty() ? outcome.message : JoinKeys(outcome.failedKeys)) + '\n';
  }
  const bool namesKeys =
      invocation.command == Command::kRestore && !entry.scanner.failedKeys.empty();
  if (entry.status == kExitOk) return lead + "ok\n";
  if (namesKeys) return lead + "failed: " + JoinKeys(entry.scanner.failedKeys) + '\n';
  if (!entry.messages.empty()) {
    std::string first = entry.messages.substr(0, entry.messages.find('\n'));
    const std::string prefix = "zrctl: ";
    if (first.compare(0, prefix.size(), prefix) == 0) first.erase(0, prefix.size());
    return lead + "failed: " + first + '\n';
  }
  return lead + (invocation.command == Command::kDiff ? "differs\n" : "failed\n");
}

// --all: the command on every scanner's configuration interface, up to
// --jobs at once, each on a link of its own. A scanner's messages go to
// `err` whole as it ends; what the command printed on it and its closing
// line go to `out` in port order once all have ended, so the result reads
// the same however the scanners took turns. A signal lets the scanners
// under way finish and begins no other. `general` takes what concerns no
// one scanner; `lock` is held for every write to `err`.
int RunOnAll(HidPlatform& platform, FrameObserver* tracer, const Invocation& invocation,
             const PreparedInput& input, SimulatedScanners& simulated, std::ostream& out,
             std::ostream& err, std::mutex& lock, std::ostream& general, JsonValue* document,
             ComplianceRun* run) {
  const bool compliance = KeepsCompliance(invocation.command);
  std::vector<ScannerInterfaceInfo> scanners;
  for (ScannerInterfaceInfo& info : ListScannerInterfaces(platform)) {
    if (IsScannerInterface(info.attributes)) scanners.push_back(std::move(info));
  }
  if (document != nullptr) document->Set("scanners", JsonValue::Array());
  if (scanners.empty()) {
    general << "zrctl: " << OpenFailureMessage("", true, kOpenNoScanner, OpenFailure::kNotFound)
            << "\n";
    return compliance ? kExitUnreachable : kExitFailed;
  }
  std::vector<AllEntry> entries(scanners.size());
  for (size_t i = 0; i < scanners.size(); ++i) {
    JsonValue& json = entries[i].scanner.json;
    json.Set("path", JsonValue(scanners[i].path));
    json.Set("port", scanners[i].port.empty() ? JsonValue() : JsonValue(scanners[i].port));
  }
  {
    SignalStop signals;
    ForEachAtOnce(
        static_cast<int>(scanners.size()), invocation.jobs > 0 ? invocation.jobs : kDefaultJobs,
        [&](int i) {
          const ScannerInterfaceInfo& info = scanners[static_cast<size_t>(i)];
          AllEntry& entry = entries[static_cast<size_t>(i)];
          entry.begun = true;
          entry.scanner.wantDeviceNumber = invocation.command == Command::kRestore;
          std::ostringstream printed;
          std::ostringstream messages;
          ScannerLink link(platform);
          link.SetFrameObserver(tracer);
          entry.status = RunOnScanner(link, invocation, input, info.path, simulated, printed,
                                      messages, &entry.scanner);
          entry.out = printed.str();
          entry.messages = messages.str();
          std::lock_guard<std::mutex> hold(lock);
          err << entry.messages;
        },
        [] { return SignalStop::Signalled(); });
  }
  int status = kExitOk;
  for (size_t i = 0; i < scanners.size(); ++i) {
    const ScannerInterfaceInfo& info = scanners[i];
    AllEntry& entry = entries[i];
    if (!entry.begun) {
      entry.messages = "zrctl: stopped before this scanner\n";
      entry.scanner.outcome.message = "stopped before this scanner";
      if (compliance) {
        entry.status = kExitUnreachable;
        DescribeCompliance(entry.scanner.outcome, invocation, input, &entry.scanner.json);
      }
    }
    status = Worse(invocation.command, status, entry.status);
    if (run != nullptr) run->scanners.push_back(entry.scanner.outcome);
    if (document != nullptr) {
      FinishEntry(&entry.scanner, entry.status, entry.messages);
      document->At("scanners").Push(std::move(entry.scanner.json));
      continue;
    }
    out << entry.out << ClosingLine(info, invocation, entry);
  }
  return status;
}

// One scanner, the one --device names or the first found.
int RunOnOne(ScannerLink& link, const Invocation& invocation, const PreparedInput& input,
             SimulatedScanners& simulated, std::ostream& out, std::ostream& err,
             JsonValue* document, ComplianceRun* run) {
  if (document == nullptr && run == nullptr) {
    return RunOnScanner(link, invocation, input, invocation.device, simulated, out, err);
  }
  HidPlatform& platform = link.Platform();
  ScannerResult scanner;
  std::string path = invocation.device;
  if (path.empty()) {
    char found[kDevicePathSize] = {};
    if (FindScannerPath(platform, found, sizeof found) == kScannerFound) path = found;
  }
  if (!path.empty()) {
    scanner.json.Set("path", JsonValue(path));
    const std::string port = platform.PortOf(path);
    scanner.json.Set("port", port.empty() ? JsonValue() : JsonValue(port));
  }
  std::ostringstream messages;
  const int status = RunOnScanner(link, invocation, input, invocation.device, simulated, out,
                                  messages, &scanner);
  err << messages.str();
  if (run != nullptr) {
    // Nothing found is no scanner's outcome.
    if (path.empty() && !scanner.opened) {
      run->general = FirstMessage(messages.str());
    } else {
      run->scanners.push_back(scanner.outcome);
    }
  }
  if (document == nullptr) return status;
  FinishEntry(&scanner, status, messages.str());
  document->At("scanners").Push(std::move(scanner.json));
  return status;
}

const char* CommandName(Command command) {
  switch (command) {
    case Command::kHelp: return "help";
    case Command::kList: return "list";
    case Command::kVersion: return "version";
    case Command::kGet: return "get";
    case Command::kSet: return "set";
    case Command::kCommit: return "commit";
    case Command::kDump: return "dump";
    case Command::kRestore: return "restore";
    case Command::kDiff: return "diff";
    case Command::kProvision: return "provision";
    case Command::kKeys: return "keys";
    case Command::kCheck: return "check";
    case Command::kApply: return "apply";
    case Command::kServe: return "serve";
  }
  return "";
}

// The run after the command line was understood. `general` takes the
// messages that concern no one scanner; with --json, `document` is filled
// and `out` is not the caller's.
int RunCommand(const Invocation& invocation, std::ostream& out, std::ostream& err,
               std::ostream& general, HidPlatform* devices, DeviceWatcher* watcher,
               JsonValue* document, ComplianceRun* run) {
  PreparedInput input;
  // A service's profile is judged before it is even read.
  const int prepared = invocation.command == Command::kServe
                           ? LoadServedProfile(invocation, &input, general)
                           : PrepareInput(invocation, &input, general);
  if (prepared != kExitOk) return prepared;
  if (invocation.command == Command::kRestore && invocation.dryRun) {
    return PrintRestorePlan(input, out, document);
  }

  SimulatedScanners simulated;
  for (const std::string& seedFile : invocation.simulated) {
    if (!simulated.Add(seedFile, general)) {
      return KeepsCompliance(invocation.command) ? kExitUnreachable : kExitFailed;
    }
  }
  if (!simulated.Empty()) {
    devices = &simulated.platform();
    if (invocation.simulatePaceMicros > 0) {
      simulated.platform().SetReportLatencyMicros(invocation.simulatePaceMicros);
    }
  }

  std::mutex errLock;
  TraceWriter trace(err, errLock);
  FrameObserver* tracer = invocation.trace ? &trace : nullptr;
  int status = kExitOk;
  {
    HidPlatform& platform = devices != nullptr ? *devices : NativeHidPlatform();
    ScannerLink link(platform);
    link.SetFrameObserver(tracer);
    if (invocation.command == Command::kProvision || invocation.command == Command::kServe) {
      // The scanners of --simulate are all plugged in from the start and
      // stay so; nothing more comes.
      std::unique_ptr<DeviceWatcher> own;
      if (!simulated.Empty()) {
        own = std::make_unique<sim::SimDeviceWatcher>(simulated.platform());
      } else if (watcher == nullptr) {
        own = NativeDeviceWatcher();
      }
      const auto station = invocation.command == Command::kServe ? Serve : Provision;
      status = station(invocation, input, platform, tracer, errLock, own ? *own : *watcher,
                       simulated, out, err);
    } else if (invocation.command == Command::kList) {
      status = ListInterfaces(invocation, link, out, general, document);
    } else if (invocation.all) {
      status = RunOnAll(platform, tracer, invocation, input, simulated, out, err, errLock, general,
                        document, run);
    } else {
      status = RunOnOne(link, invocation, input, simulated, out, err, document, run);
    }
  }
  if (!simulated.ReportWriteFailures(general)) status = kExitFailed;
  return status;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        HidPlatform* devices, DeviceWatcher* watcher) {
  Invocation invocation;
  std::string error;
  if (!ParseArguments(args, &invocation, &error)) {
    err << "zrctl: " << error << "\n" << UsageText();
    return kExitUsage;
  }
  if (invocation.command == Command::kHelp) {
    out << UsageText();
    return kExitOk;
  }
  if (invocation.command == Command::kKeys) {
    // Asks nothing of a scanner: the window's own pages answer.
    const std::vector<ui::app::KeyReference> keys = ui::app::SettingsReference();
    if (invocation.markdown) {
      out << ui::app::ReferenceMarkdown(keys);
      return kExitOk;
    }
    const std::string only = invocation.operands.empty() ? std::string() : invocation.operands[0];
    const std::string text = ui::app::ReferenceText(keys, only);
    if (text.empty()) {
      err << "zrctl: the window neither reads nor writes " << only << "\n";
      return kExitFailed;
    }
    out << text;
    return kExitOk;
  }

  const bool compliance = KeepsCompliance(invocation.command);
  if (!invocation.json && !compliance) {
    return RunCommand(invocation, out, err, err, devices, watcher, nullptr, nullptr);
  }
  ComplianceRun run;
  // The last message that concerns no one scanner says why there is none.
  const auto lastLine = [](const std::string& text) {
    std::string trimmed = text.substr(0, text.find_last_not_of('\n') + 1);
    return FirstMessage(trimmed.substr(trimmed.find_last_of('\n') + 1));
  };
  if (!invocation.json) {
    // check, apply: the text (none with --summary), then the line a
    // configuration manager reads.
    std::ostringstream general;
    std::ostringstream discarded;
    const int status = RunCommand(invocation, invocation.summary ? discarded : out, err, general,
                                  devices, watcher, nullptr, &run);
    err << general.str();
    if (run.general.empty()) run.general = lastLine(general.str());
    out << SaltLine(ApplyModeOf(invocation), run.scanners, run.general) << '\n';
    return status;
  }

  // --json: the text a command prints is left out, and the one document
  // says what it would have said; messages still go to standard error.
  JsonValue document = JsonValue::Object();
  document.Set("command", JsonValue(CommandName(invocation.command)));
  document.Set("status", JsonValue());
  if (compliance) {
    document.Set("compliant", JsonValue());
    if (invocation.command == Command::kApply) document.Set("changed", JsonValue());
  }
  std::ostringstream text;
  std::ostringstream general;
  const int status = RunCommand(invocation, text, err, general, devices, watcher, &document,
                                compliance ? &run : nullptr);
  if (compliance) {
    bool compliant = !run.scanners.empty();
    bool changed = false;
    for (const ApplyOutcome& scanner : run.scanners) {
      compliant = compliant && scanner.read && scanner.compliant;
      changed = changed || scanner.changed;
    }
    document.Set("compliant", JsonValue::Bool(compliant));
    if (invocation.command == Command::kApply) document.Set("changed", JsonValue::Bool(changed));
  }
  err << general.str();
  document.Set("status", JsonValue::Number(status));
  JsonValue lines = JsonValue::Array();
  std::istringstream in(general.str());
  for (std::string line; std::getline(in, line);) lines.Push(JsonValue(line));
  document.Set("messages", std::move(lines));
  out << document.Text() << '\n';
  return status;
}

int Main(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  int status = Run(args, out, err, nullptr);
  // Output cut short (a full disk, a closed pipe) must not pass for a
  // result: the flush shows what the buffered writes did not.
  errno = 0;
  out.flush();
  if (!out) {
    const int reason = errno;
    err << "zrctl: cannot write to standard output";
    if (reason != 0) err << ": " << std::strerror(reason);
    err << "\n";
    status = kExitFailed;
  }
  return status;
}

}  // namespace lumiq::zrctl
