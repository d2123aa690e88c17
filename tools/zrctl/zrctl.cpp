#include "tools/zrctl/zrctl.h"

#include <cerrno>
#include <cstring>
#include <sstream>
#include <utility>

#include "link/device_commands.h"
#include "link/frame_codec.h"
#include "link/hid_transport.h"
#include "tools/zrctl/arguments.h"
#include "tools/zrctl/commands.h"
#include "tools/zrctl/simulation.h"
#include "profile/setting_text.h"

namespace lumiq::zrctl {

namespace {

// --trace: every frame in upper-case hex, requests after "> ", replies
// after "< ".
class TraceWriter : public FrameObserver {
 public:
  explicit TraceWriter(std::ostream& err) : err_(err) {}
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
    err_ << line;
  }
  std::ostream& err_;
};

// Plugs the chosen devices and the tracer into the device link for one run
// and takes them out again, whatever way the run ends.
class LinkSetup {
 public:
  LinkSetup(HidPlatform* devices, FrameObserver* observer)
      : previous_(&CurrentHidPlatform()) {
    if (devices != nullptr) UseHidPlatform(devices);
    SetFrameObserver(observer);
  }
  ~LinkSetup() {
    CloseDevice();
    SetFrameObserver(nullptr);
    UseHidPlatform(previous_);
  }
  LinkSetup(const LinkSetup&) = delete;
  LinkSetup& operator=(const LinkSetup&) = delete;

 private:
  HidPlatform* previous_;
};

// A simulated scanner whose commit could not be written back has lost it,
// as a scanner whose flash failed: the run on it failed.
int RunOnScanner(const Invocation& invocation, const PreparedInput& input,
                 HidPlatform& platform, const std::string& path, SimulatedScanners& simulated,
                 std::ostream& out, std::ostream& err, ScannerResult* result = nullptr) {
  if (OpenScanner(platform, path, err) != kOpened) return kExitFailed;
  if (result != nullptr) result->opened = true;
  int status = RunDeviceCommand(invocation, input, out, err, result);
  CloseDevice();
  if (!simulated.ReportWriteFailures(err)) status = kExitFailed;
  return status;
}

// The start of a scanner's closing line under --all: its path, and after a
// restore where it is plugged in and the device number it has now, which
// tell the scanners of a fleet apart.
std::string SummaryLead(const ScannerInterfaceInfo& info, const Invocation& invocation,
                        const ScannerResult& result, bool opened) {
  std::string lead = info.path;
  if (invocation.command == Command::kRestore) {
    lead += " (port " + (info.port.empty() ? std::string("?") : profile::QuoteText(info.port));
    if (opened) {
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
    joined += key;
  }
  return joined;
}

// --all: the command on every scanner's configuration interface, one after
// another, each with a closing line that says how it went.
int RunOnAll(const Invocation& invocation, const PreparedInput& input, HidPlatform& platform,
             SimulatedScanners& simulated, std::ostream& out, std::ostream& err) {
  std::vector<ScannerInterfaceInfo> scanners;
  for (ScannerInterfaceInfo& info : ListScannerInterfaces(platform)) {
    if (IsScannerInterface(info.attributes)) scanners.push_back(std::move(info));
  }
  if (scanners.empty()) {
    err << "zrctl: " << OpenFailureMessage("", true, kOpenNoScanner, OpenFailure::kNotFound) << "\n";
    return kExitFailed;
  }
  int status = kExitOk;
  for (const ScannerInterfaceInfo& info : scanners) {
    std::ostringstream messages;
    ScannerResult scanner;
    scanner.wantDeviceNumber = invocation.command == Command::kRestore;
    const int result =
        RunOnScanner(invocation, input, platform, info.path, simulated, out, messages, &scanner);
    const std::string text = messages.str();
    err << text;
    if (result != kExitOk) status = kExitFailed;
    if (result != kExitOk && scanner.failedKeys.empty() && !text.empty()) {
      // Not opened, or a failure that names no key: the first message says it.
      std::string first = text.substr(0, text.find('\n'));
      const std::string prefix = "zrctl: ";
      if (first.compare(0, prefix.size(), prefix) == 0) first.erase(0, prefix.size());
      out << SummaryLead(info, invocation, scanner, scanner.opened) << "failed: " << first << '\n';
      continue;
    }
    out << SummaryLead(info, invocation, scanner, scanner.opened);
    if (result == kExitOk) {
      out << "ok\n";
    } else if (!scanner.failedKeys.empty()) {
      out << "failed: " << JoinKeys(scanner.failedKeys) << '\n';
    } else {
      out << (invocation.command == Command::kDiff ? "differs\n" : "failed\n");
    }
  }
  return status;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        HidPlatform* devices) {
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

  PreparedInput input;
  const int prepared = PrepareInput(invocation, &input, err);
  if (prepared != kExitOk) return prepared;
  if (invocation.command == Command::kRestore && invocation.dryRun) {
    return PrintRestorePlan(input, out);
  }

  SimulatedScanners simulated;
  for (const std::string& seedFile : invocation.simulated) {
    if (!simulated.Add(seedFile, err)) return kExitFailed;
  }
  if (!simulated.Empty()) devices = &simulated.platform();

  TraceWriter tracer(err);
  int status = kExitOk;
  {
    LinkSetup setup(devices, invocation.trace ? &tracer : nullptr);
    HidPlatform& platform = CurrentHidPlatform();
    if (invocation.command == Command::kList) {
      status = ListInterfaces(invocation, platform, out, err);
    } else if (invocation.all) {
      status = RunOnAll(invocation, input, platform, simulated, out, err);
    } else {
      status = RunOnScanner(invocation, input, platform, invocation.device, simulated, out, err);
    }
  }
  if (!simulated.ReportWriteFailures(err)) status = kExitFailed;
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
