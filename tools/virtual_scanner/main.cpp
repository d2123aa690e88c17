// lumiq-virtual-scanner: the simulated scanner behind a real kernel HID
// device (uhid), so the tool, zrctl and anything else that speaks hidraw can
// talk to it exactly as to the module.

#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "link/hid_transport.h"
#include "profile/profile.h"
#include "profile/setting_text.h"
#include "profile/text_file.h"
#include "sim/demo_configuration.h"
#include "sim/seed_file.h"
#include "sim/simulated_scanner.h"
#include "tools/virtual_scanner/uhid_bridge.h"
#include "tools/virtual_scanner/uhid_device.h"

namespace lumiq::vscan {
namespace {

constexpr char kProgram[] = "lumiq-virtual-scanner";
// hid-generic binds within milliseconds; this long means it never will.
constexpr int kNodeWaitMs = 10000;
// Well inside the 2000 ms the tool waits for a reply report.
constexpr int kPauseMs = 1000;

volatile sig_atomic_t stopSignal = 0;

void OnStopSignal(int signal) { stopSignal = signal; }

struct Options {
  std::string seedPath;
  std::string savePath;
  std::string tracePath;
  std::string readyPath;
  std::string phys = kDefaultDevicePhys;
  bool decoy = false;
  int pauseAt = 0;
  sim::ScannerFaults faults;
};

void PrintUsage(FILE* out) {
  std::fprintf(out,
               "usage: %s [options]\n"
               "Creates a ZR-series scanner (vendor 0525, product a4ac, interface 1) as a\n"
               "kernel HID device through /dev/uhid and answers it with the simulated\n"
               "scanner until SIGINT or SIGTERM.\n"
               "\n"
               "  --seed FILE            settings to start with (KEY=VALUE lines; default:\n"
               "                         the demo configuration)\n"
               "  --save FILE            write the settings to FILE on every commit\n"
               "  --trace FILE           write one line per command received\n"
               "  --decoy                also create interface 0 of the same device, which\n"
               "                         never answers\n"
               "  --ready FILE           create FILE once the hidraw nodes exist\n"
               "  --phys PATH            the device's physical path, where it is plugged in\n"
               "                         (default %s): give each scanner its own\n"
               "faults (N counts request frames, the handshake being 1):\n"
               "  --silent-from N        no reply from command N on\n"
               "  --unplug-after N       remove the device when command N arrives, then exit\n"
               "  --refuse-key KEY       answer get and set of KEY with status 1\n"
               "  --keep-value KEY=VALUE acknowledge a set of KEY but store VALUE instead\n"
               "  --reply-padding N      N extra data bytes in set and commit replies\n"
               "  --stray-report-after N send an unasked copy of reply N's last report\n"
               "  --pause-at N           hold the reply to command N back for %d ms (its\n"
               "                         trace line is written first), so a test can act\n"
               "                         while the host waits\n",
               kProgram, kDefaultDevicePhys, kPauseMs);
}

bool ParseCount(const char* text, int* value) {
  char* end = nullptr;
  const long number = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || number < 0 || number > 1000000) return false;
  *value = static_cast<int>(number);
  return true;
}

// 0 to run, 1 on a usage error, 2 after --help.
int ParseOptions(int argc, char** argv, Options* options) {
  // Every option but --refuse-key and --keep-value holds one value: a
  // second one would silently win over the first.
  std::set<std::string> seen;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--help" || option == "-h") {
      PrintUsage(stdout);
      return 2;
    }
    const bool repeatable = option == "--refuse-key" || option == "--keep-value";
    if (!repeatable && option.rfind("--", 0) == 0 && !seen.insert(option).second) {
      std::fprintf(stderr, "%s: %s given twice (see --help)\n", kProgram, option.c_str());
      return 1;
    }
    if (option == "--decoy") {
      options->decoy = true;
      continue;
    }
    std::string* text = nullptr;
    int* count = nullptr;
    if (option == "--seed") {
      text = &options->seedPath;
    } else if (option == "--save") {
      text = &options->savePath;
    } else if (option == "--trace") {
      text = &options->tracePath;
    } else if (option == "--ready") {
      text = &options->readyPath;
    } else if (option == "--phys") {
      text = &options->phys;
    } else if (option == "--silent-from") {
      count = &options->faults.silentFrom;
    } else if (option == "--unplug-after") {
      count = &options->faults.unplugFrom;
    } else if (option == "--reply-padding") {
      count = &options->faults.replyPadding;
    } else if (option == "--stray-report-after") {
      count = &options->faults.strayReportAfter;
    } else if (option == "--pause-at") {
      count = &options->pauseAt;
    } else if (!repeatable) {
      std::fprintf(stderr, "%s: unknown option %s (see --help)\n", kProgram, option.c_str());
      return 1;
    }
    if (i + 1 >= argc || argv[i + 1][0] == '\0') {
      std::fprintf(stderr, "%s: %s needs a value (see --help)\n", kProgram, option.c_str());
      return 1;
    }
    const char* value = argv[++i];
    if (text != nullptr) {
      *text = value;
    } else if (count != nullptr) {
      if (!ParseCount(value, count)) {
        std::fprintf(stderr, "%s: %s wants a number, not \"%s\"\n", kProgram, option.c_str(),
                     value);
        return 1;
      }
    } else if (option == "--keep-value") {
      std::string key;
      std::string kept;
      std::string error;
      if (!profile::ParseAssignment(value, &key, &kept, &error)) {
        std::fprintf(stderr, "%s: --keep-value: %s\n", kProgram, error.c_str());
        return 1;
      }
      options->faults.keptValues[key] = kept;
    } else {
      options->faults.refusedKeys.insert(value);
    }
  }
  return 0;
}

// The starting settings and the text they came from, which --save brings
// up to date (keeping its comments) rather than writing anew.
bool LoadSettings(const Options& options, sim::SettingList* settings, std::string* text) {
  sim::SeedError error;
  if (options.seedPath.empty()) {
    *text = sim::DemoSeedText();
    if (sim::ParseSeed(*text, settings, &error)) return true;
    std::fprintf(stderr, "%s: demo configuration, line %d: %s\n", kProgram, error.line,
                 error.message.c_str());
    return false;
  }
  if (sim::ReadSeedFile(options.seedPath, settings, &error, text)) return true;
  std::fprintf(stderr, "%s: %s\n", kProgram, error.Describe().c_str());
  return false;
}

// --save FILE: refused before anything runs when FILE cannot be one, and
// held, when it exists, so that a second virtual scanner or zrctl
// --simulate=FILE cannot write it behind our back.
bool HoldSaveFile(const std::string& path, profile::FileHold* hold) {
  if (path.empty()) return true;
  std::string error;
  if (!profile::CheckWritableTarget(path, &error)) {
    std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
    return false;
  }
  if (access(path.c_str(), F_OK) != 0) return true;  // held once the first commit creates it
  if (!hold->Take(path, &error)) {
    std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
    return false;
  }
  return true;
}

class TraceFile {
 public:
  // Through the programs' one writer, which decides which links it follows.
  bool Open(const std::string& path, std::string* error) {
    if (path.empty()) return true;
    const int fd = profile::StartFile(path, error);
    if (fd < 0) return false;
    file_ = fdopen(fd, "w");
    if (file_ == nullptr) {
      *error = "cannot write " + path + ": " + std::strerror(errno);
      close(fd);
    }
    return file_ != nullptr;
  }
  ~TraceFile() {
    if (file_ != nullptr) std::fclose(file_);
  }
  // Flushed line by line: a script may read it while we run, or kill us.
  void Write(const std::vector<std::string>& lines) {
    if (file_ == nullptr) return;
    for (const std::string& line : lines) std::fprintf(file_, "%s\n", line.c_str());
    std::fflush(file_);
  }

 private:
  FILE* file_ = nullptr;
};

struct Interface {
  UhidDevice device;
  ScannerBridge bridge;
  std::string node;
  int number = 0;
};

int Run(const Options& options) {
  profile::FileHold saveHold;
  if (!HoldSaveFile(options.savePath, &saveHold)) return 1;
  sim::SettingList seed;
  std::string savedText;
  if (!LoadSettings(options, &seed, &savedText)) return 1;
  sim::SimulatedScanner scanner;
  for (const auto& setting : seed) scanner.Set(setting.first, setting.second);
  scanner.Faults() = options.faults;
  if (!options.savePath.empty()) {
    scanner.onCommit = [&options, &savedText, &saveHold, &scanner] {
      const std::string text = profile::UpdateSettingText(savedText, scanner.Settings());
      std::string error;
      if (!sim::WriteSeedFile(options.savePath, text, &error, &saveHold)) {
        std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
        return;
      }
      savedText = text;
    };
  }

  // Signals stay blocked except while waiting, so a stop never lands between
  // a request and its reply.
  sigset_t stopSignals;
  sigset_t waitMask;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
  // Whatever mask we were started with, the wait lets them in.
  sigdelset(&waitMask, SIGINT);
  sigdelset(&waitMask, SIGTERM);
  sigdelset(&waitMask, SIGHUP);
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = OnStopSignal;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);

  // Interface 0 first, as a composite device enumerates its interfaces.
  std::vector<Interface*> interfaces;
  Interface decoy{UhidDevice(), ScannerBridge(nullptr), {}, 0};
  Interface configuration{UhidDevice(), ScannerBridge(&scanner), {}, kScannerInterface};
  if (options.decoy) interfaces.push_back(&decoy);
  interfaces.push_back(&configuration);

  const std::string uniqBase = "lumiq-vs-" + std::to_string(getpid()) + "-if";
  for (Interface* interface : interfaces) {
    DeviceIdentity identity;
    identity.name = "ZR-series scanner (virtual)";
    identity.phys = InterfacePhys(interface->number, options.phys);
    identity.uniq = uniqBase + std::to_string(interface->number);
    identity.vendorId = kScannerVendorId;
    identity.productId = kScannerProductId;
    std::string error;
    if (!interface->device.Create(identity, &error)) {
      std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
      return 1;
    }
  }

  // Only now that the devices exist: a run that cannot start leaves an old
  // trace file as it was.
  TraceFile trace;
  std::string traceError;
  if (!trace.Open(options.tracePath, &traceError)) {
    std::fprintf(stderr, "%s: %s\n", kProgram, traceError.c_str());
    for (Interface* interface : interfaces) interface->device.Destroy();
    return 1;
  }

  const auto started = std::chrono::steady_clock::now();
  bool ready = false;
  std::vector<uhid_event> replies;
  bool paused = false;
  while (stopSignal == 0) {
    if (!ready) {
      ready = true;
      for (Interface* interface : interfaces) {
        if (interface->node.empty()) {
          interface->node = FindHidrawNode(interface->device.Identity().uniq);
        }
        ready = ready && !interface->node.empty();
      }
      if (ready) {
        for (Interface* interface : interfaces) {
          std::printf("interface %d: %s (%s)\n", interface->number, interface->node.c_str(),
                      interface->device.Identity().phys.c_str());
        }
        std::fflush(stdout);
        std::string readyError;
        if (!options.readyPath.empty() &&
            !profile::CreateFileSafely(options.readyPath, "\n", &readyError)) {
          std::fprintf(stderr, "%s: %s\n", kProgram, readyError.c_str());
          return 1;
        }
      } else if (std::chrono::steady_clock::now() - started >
                 std::chrono::milliseconds(kNodeWaitMs)) {
        std::fprintf(stderr,
                     "%s: no hidraw node appeared for the device within %d s (is the "
                     "hid-generic driver loaded?)\n",
                     kProgram, kNodeWaitMs / 1000);
        return 1;
      }
    }

    pollfd fds[2];
    nfds_t count = 0;
    for (Interface* interface : interfaces) fds[count++] = {interface->device.Fd(), POLLIN, 0};
    const timespec pollInterval = {0, 50 * 1000 * 1000};
    const int polled = ppoll(fds, count, ready ? nullptr : &pollInterval, &waitMask);
    if (polled <= 0) continue;  // a signal, or time to look for the nodes again

    for (nfds_t i = 0; i < count; ++i) {
      if (fds[i].revents == 0) continue;
      Interface& interface = *interfaces[i];
      uhid_event event;
      if ((fds[i].revents & (POLLERR | POLLHUP)) != 0 || !interface.device.Read(&event)) {
        std::fprintf(stderr, "%s: the kernel closed interface %d\n", kProgram,
                     interface.number);
        return 1;
      }
      replies.clear();
      interface.bridge.Handle(event, &replies);
      trace.Write(interface.bridge.TakeTraceLines());
      if (!paused && options.pauseAt > 0 && scanner.CommandCount() == options.pauseAt) {
        paused = true;
        const timespec pause = {kPauseMs / 1000, (kPauseMs % 1000) * 1000L * 1000L};
        nanosleep(&pause, nullptr);
      }
      for (const uhid_event& reply : replies) {
        if (!interface.device.Write(reply)) {
          std::fprintf(stderr, "%s: cannot pass a report to the kernel: %s\n", kProgram,
                       std::strerror(errno));
        }
      }
      if (interface.bridge.Unplugged()) {
        // The whole device leaves the bus, interface 0 with it.
        for (Interface* other : interfaces) other->device.Destroy();
        std::printf("unplugged at command %d\n", scanner.CommandCount() + 1);
        return 0;
      }
    }
  }

  for (Interface* interface : interfaces) interface->device.Destroy();
  std::printf("stopped after %d commands\n", scanner.CommandCount());
  return 0;
}

}  // namespace
}  // namespace lumiq::vscan

int main(int argc, char** argv) {
  lumiq::vscan::Options options;
  switch (lumiq::vscan::ParseOptions(argc, argv, &options)) {
    case 0:
      return lumiq::vscan::Run(options);
    case 2:
      return 0;
    default:
      return 1;
  }
}
