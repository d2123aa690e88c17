#include "tools/zrctl/provision.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <ctime>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "link/scanner_link.h"
#include "link/hid_transport.h"
#include "profile/known_keys.h"
#include "profile/setting_text.h"
#include "profile/text_file.h"
#include "tools/zrctl/provision_log.h"
#include "tools/zrctl/scanner_identity.h"

namespace lumiq::zrctl {

namespace {

std::atomic<DeviceWatcher*> signalledWatcher{nullptr};
std::atomic<bool> stopSignalled{false};

extern "C" void StopOnSignal(int /*signal*/) {
  stopSignalled.store(true);
  if (DeviceWatcher* watcher = signalledWatcher.load()) watcher->Stop();
}

// Ctrl+C, a polite kill and a closed terminal end the wait, not the
// program: the scanner being written is finished, its row written and the
// summary printed. The old handlers come back afterwards, but for SIGPIPE:
// a reader of the output that went away (| head -1) shows as a failed write,
// which ends the station too, and output still pending at exit must not
// kill the program after the fact. A hang-up ignored when the station
// starts (nohup) stays ignored.
class SignalStop {
 public:
  explicit SignalStop(DeviceWatcher& watcher) {
    stopSignalled.store(false);
    signalledWatcher.store(&watcher);
    interrupt_ = std::signal(SIGINT, StopOnSignal);
    terminate_ = std::signal(SIGTERM, StopOnSignal);
#ifdef SIGHUP
    hangUp_ = std::signal(SIGHUP, StopOnSignal);
    if (hangUp_ == SIG_IGN) std::signal(SIGHUP, SIG_IGN);
#endif
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
#ifdef SIGBREAK
    break_ = std::signal(SIGBREAK, StopOnSignal);
#endif
  }
  ~SignalStop() {
    std::signal(SIGINT, interrupt_);
    std::signal(SIGTERM, terminate_);
#ifdef SIGHUP
    std::signal(SIGHUP, hangUp_);
#endif
#ifdef SIGBREAK
    std::signal(SIGBREAK, break_);
#endif
    signalledWatcher.store(nullptr);
  }
  static bool Signalled() { return stopSignalled.load(); }
  SignalStop(const SignalStop&) = delete;
  SignalStop& operator=(const SignalStop&) = delete;

 private:
  using Handler = void (*)(int);
  Handler interrupt_ = SIG_DFL;
  Handler terminate_ = SIG_DFL;
#ifdef SIGHUP
  Handler hangUp_ = SIG_DFL;
#endif
#ifdef SIGBREAK
  Handler break_ = SIG_DFL;
#endif
};

// Windows names one interface in different cases in its lists and its
// notifications.
bool SamePath(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

const ProfileEntry* FindEntry(const std::vector<ProfileEntry>& profile, const char* key) {
  for (const ProfileEntry& entry : profile) {
    if (entry.key == key) return &entry;
  }
  return nullptr;
}

std::string FirstLine(const std::string& text) {
  std::string first = text.substr(0, text.find('\n'));
  const std::string prefix = "zrctl: ";
  if (first.compare(0, prefix.size(), prefix) == 0) first.erase(0, prefix.size());
  return first;
}

std::string JoinQuoted(const std::vector<std::string>& keys) {
  std::string joined;
  for (const std::string& key : keys) {
    if (!joined.empty()) joined += ", ";
    joined += profile::Quote(key);
  }
  return joined;
}

// The terminal's line for one scanner: who it is, then how it went.
std::string RecordLine(const ProvisionRecord& record, const std::string& profileFirmware) {
  std::string line = record.path + " (port " +
                     (record.port.empty() ? std::string("?") : profile::QuoteText(record.port));
  if (record.deviceNumberRead) line += ", deviceno " + profile::QuoteText(record.deviceNumber);
  if (record.firmwareRead) line += ", firmware " + profile::QuoteText(record.firmware);
  line += "): ";
  switch (record.outcome) {
    case ProvisionOutcome::kOk:
      return line + "ok";
    case ProvisionOutcome::kFailed:
      return line + "failed: " +
             (record.failedKeys.empty() ? record.reason : JoinQuoted(record.failedKeys));
    case ProvisionOutcome::kCommitFailed:
      return line + "commit failed: " + JoinQuoted(record.failedKeys) + " not committed";
    case ProvisionOutcome::kFirmwareDiffers:
      return line + "not applied: the profile is for firmware " +
             profile::QuoteText(profileFirmware) + " (--any-firmware applies it)";
    case ProvisionOutcome::kFirmwareNotRead:
      return line + "not applied: firmware not read";
    case ProvisionOutcome::kNotOpened:
      return line + "not opened: " + record.reason;
  }
  return line;
}

class Station {
 public:
  Station(const Invocation& invocation, const PreparedInput& input, ScannerLink& link,
          SimulatedScanners& simulated, profile::AppendFile* log, std::ostream& out,
          std::ostream& err)
      : invocation_(invocation),
        input_(input),
        link_(link),
        simulated_(simulated),
        log_(log),
        out_(out),
        err_(err) {
    if (const ProfileEntry* version = FindEntry(input.profile, kVersionKey)) {
      profileFirmware_ = version->value;
      checksFirmware_ = true;
    }
  }

  // Every configuration interface listed now that was not provisioned since
  // it appeared, in port order; false when the log or the output could not
  // be written, --count is reached or a signal came (after the scanner
  // being written).
  bool TakeNewScanners() {
    std::vector<std::string> present;
    std::vector<ScannerIdentity> fresh;
    for (ScannerIdentity& scanner : SortedInterfaces(link_.Platform())) {
      if (!IsScannerInterface(scanner.info.attributes)) continue;
      present.push_back(scanner.info.path);
      if (done_.count(scanner.info.path) == 0) fresh.push_back(std::move(scanner));
    }
    // One no longer listed went away unseen: when it comes back it is new.
    for (auto it = done_.begin(); it != done_.end();) {
      it = std::find(present.begin(), present.end(), *it) == present.end() ? done_.erase(it)
                                                                           : std::next(it);
    }
    for (const ScannerIdentity& scanner : fresh) {
      if (SignalStop::Signalled()) return false;
      done_.insert(scanner.info.path);
      if (!Apply(scanner.info)) return false;
      if (invocation_.count > 0 && handled_ >= invocation_.count) return false;
    }
    return true;
  }

  void Forget(const std::vector<DeviceChange>& changes) {
    for (const DeviceChange& change : changes) {
      if (change.kind != DeviceChange::Kind::kRemoved) continue;
      for (auto it = done_.begin(); it != done_.end();) {
        it = SamePath(*it, change.path) ? done_.erase(it) : std::next(it);
      }
    }
  }

  void PrintSummary() {
    out_ << "provisioned " << handled_ << (handled_ == 1 ? " scanner: " : " scanners: ") << ok_
         << " ok, " << failed_ << " failed, " << refused_ << " not applied (firmware)"
         << std::endl;
  }

  bool AllOk() const { return ok_ == handled_; }
  bool LogFailed() const { return logFailed_; }

 private:
  bool Apply(const ScannerInterfaceInfo& info) {
    ProvisionRecord record;
    record.path = info.path;
    record.port = info.port;
    std::ostringstream details;
    Restore(info.path, &record, details);
    record.time = std::time(nullptr);
    err_ << details.str();
    ++handled_;
    if (record.outcome == ProvisionOutcome::kOk) {
      ++ok_;
    } else if (record.outcome == ProvisionOutcome::kFirmwareDiffers) {
      ++refused_;
    } else {
      ++failed_;
    }
    out_ << RecordLine(record, profileFirmware_) << std::endl;
    // Nobody reads the lines any more (a closed pipe, a hung-up terminal):
    // the station ends as at Ctrl+C, this scanner still recorded.
    const bool outputLost = !out_;
    if (log_ != nullptr) {
      std::string error;
      if (!log_->Append(ProvisionLogRow(record), &error)) {
        // A station whose record is lost stops rather than go on unrecorded.
        err_ << "zrctl: " << error << "; provisioning stopped\n";
        logFailed_ = true;
        return false;
      }
    }
    return !outputLost;
  }

  void Restore(const std::string& path, ProvisionRecord* record, std::ostringstream& details) {
    if (OpenScanner(link_, path, details) != kOpened) {
      record->outcome = ProvisionOutcome::kNotOpened;
      record->reason = FirstLine(details.str());
      return;
    }
    char version[kLongValueBufferSize] = {};
    int length = 0;
    if (link_.GetVersion(version, sizeof version, &length) >= 0) {
      record->firmwareRead = true;
      record->firmware.assign(version, static_cast<size_t>(length));
    }
    std::string deviceNumber;
    if (ReadSetting(link_, kDeviceNumberKey, &deviceNumber) >= 0) {
      record->deviceNumberRead = true;
      record->deviceNumber = deviceNumber;
    }
    // A firmware that cannot be read cannot be told to match: the scanner
    // did not answer well, which another firmware would not mend.
    if (checksFirmware_ && !invocation_.anyFirmware &&
        !(record->firmwareRead && record->firmware == profileFirmware_)) {
      record->outcome = record->firmwareRead ? ProvisionOutcome::kFirmwareDiffers
                                             : ProvisionOutcome::kFirmwareNotRead;
      link_.Close();
      return;
    }
    ScannerResult result;
    result.wantDeviceNumber = true;
    std::ostringstream restored;
    const int status = RestoreProfile(link_, invocation_, input_, restored, details, &result);
    // The differences it names go with the messages; its closing line
    // would only repeat what this scanner's line says.
    std::istringstream lines(restored.str());
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("restored ", 0) != 0) details << line << '\n';
    }
    link_.Close();
    // A simulated scanner whose file could not take the commit lost it, as a
    // scanner whose flash failed.
    const bool stored = simulated_.ReportWriteFailures(details);
    if (result.deviceNumberRead) record->deviceNumber = result.deviceNumber;
    record->deviceNumberRead = record->deviceNumberRead || result.deviceNumberRead;
    record->failedKeys = result.failedKeys;
    if (!result.committed || !stored) {
      // Without the commit none of what was sent stays.
      record->outcome = ProvisionOutcome::kCommitFailed;
      record->failedKeys.clear();
      for (const ProfileEntry& entry : input_.profile) {
        if (!profile::IsReadOnlyKey(entry.key)) record->failedKeys.push_back(entry.key);
      }
      return;
    }
    if (status == kExitOk) return;
    record->outcome = ProvisionOutcome::kFailed;
    record->reason = FirstLine(details.str());
  }

  const Invocation& invocation_;
  const PreparedInput& input_;
  ScannerLink& link_;
  SimulatedScanners& simulated_;
  profile::AppendFile* log_;  // nullptr: no --log
  std::ostream& out_;
  std::ostream& err_;
  std::string profileFirmware_;
  bool checksFirmware_ = false;
  std::set<std::string> done_;  // paths provisioned since they appeared
  int handled_ = 0;
  int ok_ = 0;
  int failed_ = 0;
  int refused_ = 0;
  bool logFailed_ = false;
};

// The log is opened and given its header before any scanner is touched: a
// station that cannot keep its record does not begin. A log that is one of
// the files the station reads would get rows in it; it is told by identity,
// whatever name or link reaches it.
bool OpenLog(const Invocation& invocation, profile::AppendFile* log, std::ostream& err) {
  std::string error;
  if (!log->Open(invocation.logFile, &error)) {
    err << "zrctl: " << error << "; nothing sent\n";
    return false;
  }
  std::vector<std::pair<const char*, std::string>> read = {
      {"the profile ", invocation.operands.front()}};
  for (const std::string& seed : invocation.simulated) {
    if (!seed.empty()) read.emplace_back("the seed file ", seed);
  }
  for (const auto& [what, file] : read) {
    if (log->Is(file)) {
      err << "zrctl: --log " << invocation.logFile << " is " << what << file
          << "; nothing sent\n";
      return false;
    }
  }
  if (!log->Start(ProvisionLogHeader(), &error)) {
    err << "zrctl: " << error << "; nothing sent\n";
    return false;
  }
  return true;
}

}  // namespace

int Provision(const Invocation& invocation, const PreparedInput& input, ScannerLink& link,
              DeviceWatcher& watcher, SimulatedScanners& simulated, std::ostream& out,
              std::ostream& err) {
  profile::AppendFile log;
  const bool logged = !invocation.logFile.empty();
  if (logged && !OpenLog(invocation, &log, err)) return kExitUsage;
  // Listening starts before the first listing, so a scanner plugged in
  // between the two is not missed.
  std::string error;
  if (!watcher.Start(&error)) {
    err << "zrctl: " << error << "\n";
    return kExitFailed;
  }
  SignalStop signals(watcher);
  Station station(invocation, input, link, simulated, logged ? &log : nullptr, out, err);
  const auto sent = std::count_if(input.profile.begin(), input.profile.end(),
                                  [](const ProfileEntry& entry) {
                                    return !profile::IsReadOnlyKey(entry.key);
                                  });
  out << "provisioning with " << invocation.operands.front() << " (" << sent << " settings";
  if (!input.deviceNumberNote.empty()) out << "; " << input.deviceNumberNote;
  out << "): the scanners present and each one plugged in; "
      << (invocation.count > 0 ? "ends after " + std::to_string(invocation.count) + " scanners"
                               : std::string("Ctrl+C ends"))
      << std::endl;
  int status = kExitOk;
  while (out && station.TakeNewScanners()) {
    std::vector<DeviceChange> changes;
    const DeviceWatcher::WaitResult woke = watcher.Wait(-1, &changes);
    if (woke == DeviceWatcher::WaitResult::kStopped) break;
    if (woke == DeviceWatcher::WaitResult::kFailed) {
      err << "zrctl: waiting for scanners failed; provisioning stopped\n";
      status = kExitFailed;
      break;
    }
    station.Forget(changes);
  }
  station.PrintSummary();
  if (station.LogFailed()) status = kExitFailed;
  if (invocation.count > 0 && !station.AllOk()) status = kExitFailed;
  return status;
}

}  // namespace lumiq::zrctl
