#include "tools/zrctl/provision.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <ctime>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
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
#include "tools/zrctl/apply.h"
#include "tools/zrctl/profile_safety.h"
#include "tools/zrctl/provision_log.h"
#include "tools/zrctl/scanner_identity.h"
#include "tools/zrctl/signal_stop.h"

namespace lumiq::zrctl {

namespace {

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

std::string AllButLastLine(const std::string& text) {
  if (text.size() < 2) return std::string();
  const size_t end = text.rfind('\n', text.size() - 2);
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
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
      return line + "ok: changed " + JoinQuoted(record.changedKeys);
    case ProvisionOutcome::kCompliant:
      return line + "compliant: nothing sent";
    case ProvisionOutcome::kFailed:
      if (record.failedKeys.empty()) return line + "failed: " + record.reason;
      return line + "failed: " + (record.reason.empty() ? "" : record.reason + ": ") +
             JoinQuoted(record.failedKeys);
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

// What the station applies: the profile, and the firmware it is for when it
// names one. A reload swaps it whole; a scanner under way keeps the one it
// began with.
struct StationProfile {
  std::vector<ProfileEntry> entries;
  std::string firmware;
  bool checksFirmware = false;
};

std::shared_ptr<const StationProfile> MakeStationProfile(const PreparedInput& input) {
  auto profile = std::make_shared<StationProfile>();
  profile->entries = input.profile;
  if (const ProfileEntry* version = FindEntry(input.profile, kVersionKey)) {
    profile->firmware = version->value;
    profile->checksFirmware = true;
  }
  return profile;
}

// Each scanner is served by a worker thread of its own, with a link of its
// own, at most --jobs at once; the main thread keeps listening meanwhile.
// A scanner's lines are printed, and its row written, whole when it is done.
class Station {
 public:
  Station(const Invocation& invocation, std::shared_ptr<const StationProfile> profile,
          HidPlatform& platform, FrameObserver* tracer, std::mutex& errLock,
          DeviceWatcher& watcher, SimulatedScanners& simulated, profile::AppendFile* log,
          std::ostream& out, std::ostream& err)
      : invocation_(invocation),
        platform_(platform),
        tracer_(tracer),
        errLock_(errLock),
        watcher_(watcher),
        simulated_(simulated),
        log_(log),
        out_(out),
        err_(err),
        jobs_(invocation.jobs > 0 ? invocation.jobs : kDefaultJobs),
        profile_(std::move(profile)) {}
  ~Station() { Finish(); }
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  // Hands every configuration interface listed now that was not taken since
  // it appeared to the workers, in port order; false when the station is to
  // end: the log or the output could not be written, --count scanners are
  // taken, or a signal came.
  bool TakeNewScanners() {
    ReapWorkers();
    std::vector<std::string> present;
    std::vector<ScannerIdentity> fresh;
    for (ScannerIdentity& scanner : SortedInterfaces(platform_)) {
      if (!IsScannerInterface(scanner.info.attributes)) continue;
      present.push_back(scanner.info.path);
      if (done_.count(scanner.info.path) == 0) fresh.push_back(std::move(scanner));
    }
    // One no longer listed went away unseen: when it comes back it is new.
    for (auto it = done_.begin(); it != done_.end();) {
      it = std::find(present.begin(), present.end(), *it) == present.end() ? done_.erase(it)
                                                                           : std::next(it);
    }
    for (ScannerIdentity& scanner : fresh) {
      if (Ending()) return false;
      done_.insert(scanner.info.path);
      ++taken_;
      std::lock_guard<std::mutex> lock(mutex_);
      pending_.push_back(std::move(scanner.info));
      if (busy_ < jobs_) {
        ++busy_;
        auto finished = std::make_shared<std::atomic<bool>>(false);
        workers_.push_back({std::thread([this, finished] {
                              Serve();
                              finished->store(true);
                            }),
                            finished});
      }
    }
    return !Ending();
  }

  // The scanners begun from now on get `profile`; every one present is
  // taken again, so that those served before meet it too.
  void Replace(std::shared_ptr<const StationProfile> profile) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      profile_ = std::move(profile);
    }
    done_.clear();
  }

  void Forget(const std::vector<DeviceChange>& changes) {
    for (const DeviceChange& change : changes) {
      if (change.kind != DeviceChange::Kind::kRemoved) continue;
      for (auto it = done_.begin(); it != done_.end();) {
        it = SamePath(*it, change.path) ? done_.erase(it) : std::next(it);
      }
    }
  }

  // Waits for the workers to end: the scanners taken are all served, but
  // after a signal, a lost output or log, or when `abandon`, those not yet
  // begun are left alone.
  void Finish(bool abandon = true) {
    if (abandon) {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    for (Worker& worker : workers_) worker.thread.join();
    workers_.clear();
  }

  void PrintSummary(const char* verb) {
    out_ << verb << ' ' << handled_ << (handled_ == 1 ? " scanner: " : " scanners: ") << ok_
         << " ok, " << compliant_ << " compliant, " << failed_ << " failed, " << refused_
         << " not applied (firmware)" << std::endl;
  }

  bool AllOk() const { return ok_ + compliant_ == handled_; }
  bool LogFailed() const { return logFailed_; }

 private:
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> finished;
  };

  bool Ending() {
    if (SignalStop::Signalled()) return true;
    if (invocation_.count > 0 && taken_ >= invocation_.count) return true;
    std::lock_guard<std::mutex> lock(mutex_);
    return stopping_;
  }

  // A long-running station does not keep its idle threads.
  void ReapWorkers() {
    for (auto it = workers_.begin(); it != workers_.end();) {
      if (!it->finished->load()) {
        ++it;
        continue;
      }
      it->thread.join();
      it = workers_.erase(it);
    }
  }

  // A worker: the scanners waiting, one after another, until none is left or
  // the station ends.
  void Serve() {
    for (;;) {
      ScannerInterfaceInfo info;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_ || SignalStop::Signalled() || pending_.empty()) {
          --busy_;
          return;
        }
        info = std::move(pending_.front());
        pending_.pop_front();
      }
      Apply(info);
    }
  }

  void Apply(const ScannerInterfaceInfo& info) {
    ProvisionRecord record;
    record.path = info.path;
    record.port = info.port;
    std::ostringstream details;
    std::shared_ptr<const StationProfile> profile;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      profile = profile_;
    }
    {
      ScannerLink link(platform_);
      link.SetFrameObserver(tracer_);
      Restore(link, info.path, *profile, &record, details);
    }
    record.time = std::time(nullptr);
    std::lock_guard<std::mutex> lock(mutex_);
    {
      std::lock_guard<std::mutex> hold(errLock_);
      err_ << details.str();
    }
    ++handled_;
    if (record.outcome == ProvisionOutcome::kOk) {
      ++ok_;
    } else if (record.outcome == ProvisionOutcome::kCompliant) {
      ++compliant_;
    } else if (record.outcome == ProvisionOutcome::kFirmwareDiffers) {
      ++refused_;
    } else {
      ++failed_;
    }
    out_ << RecordLine(record, profile->firmware) << std::endl;
    // Nobody reads the lines any more (a closed pipe, a hung-up terminal):
    // the station ends as at Ctrl+C, this scanner still recorded.
    if (!out_) Stop();
    if (log_ != nullptr) {
      std::string error;
      if (!log_->Append(ProvisionLogRow(record), &error)) {
        // A station whose record is lost stops rather than go on unrecorded.
        std::lock_guard<std::mutex> hold(errLock_);
        err_ << "zrctl: " << error << "; provisioning stopped\n";
        logFailed_ = true;
        Stop();
      }
    }
  }

  // With mutex_ held.
  void Stop() {
    stopping_ = true;
    watcher_.Stop();
  }

  void Restore(ScannerLink& link, const std::string& path, const StationProfile& profile,
               ProvisionRecord* record, std::ostringstream& details) const {
    if (OpenScanner(link, path, details) != kOpened) {
      record->outcome = ProvisionOutcome::kNotOpened;
      record->reason = FirstLine(details.str());
      return;
    }
    char version[kLongValueBufferSize] = {};
    int length = 0;
    if (link.GetVersion(version, sizeof version, &length) >= 0) {
      record->firmwareRead = true;
      record->firmware.assign(version, static_cast<size_t>(length));
    }
    // A firmware that cannot be read cannot be told to match: the scanner
    // did not answer well, which another firmware would not mend.
    if (profile.checksFirmware && !invocation_.anyFirmware &&
        !(record->firmwareRead && record->firmware == profile.firmware)) {
      record->outcome = record->firmwareRead ? ProvisionOutcome::kFirmwareDiffers
                                             : ProvisionOutcome::kFirmwareNotRead;
      // Who it is, for its line: the apply below would have read it.
      std::string deviceNumber;
      if (ReadSetting(link, kDeviceNumberKey, &deviceNumber) >= 0) {
        record->deviceNumberRead = true;
        record->deviceNumber = deviceNumber;
      }
      link.Close();
      return;
    }
    std::ostringstream said;
    const ApplyOutcome applied =
        ApplyProfile(link, profile.entries, ApplyMode::kApply, "", said, details);
    link.Close();
    // The differences and what the read-back found go with the messages;
    // the closing line would only repeat what this scanner's line says.
    details << AllButLastLine(said.str());
    // A simulated scanner whose file could not take the commit lost it, as a
    // scanner whose flash failed.
    const bool stored = simulated_.ReportWriteFailures(details, path);
    record->deviceNumberRead = applied.deviceNumberRead;
    record->deviceNumber = applied.deviceNumber;
    for (const SettingDifference& difference : applied.differences) {
      record->changedKeys.push_back(difference.key);
    }
    record->failedKeys = applied.failedKeys;
    if (!applied.read) {
      record->outcome = ProvisionOutcome::kFailed;
      record->reason = "not read";
      return;
    }
    if (applied.compliant) {
      record->outcome = ProvisionOutcome::kCompliant;
      return;
    }
    if (!applied.committed || !stored) {
      // Without the commit none of what was sent stays, and the whole
      // profile was sent.
      record->outcome = ProvisionOutcome::kCommitFailed;
      record->failedKeys.clear();
      for (const ProfileEntry& entry : profile.entries) {
        if (!profile::IsReadOnlyKey(entry.key)) record->failedKeys.push_back(entry.key);
      }
      return;
    }
    if (!applied.verified) record->outcome = ProvisionOutcome::kFailed;
  }

  const Invocation& invocation_;
  HidPlatform& platform_;
  FrameObserver* tracer_;  // nullptr: no --trace
  std::mutex& errLock_;  // held by every writer of err_, the tracer included
  DeviceWatcher& watcher_;
  SimulatedScanners& simulated_;
  profile::AppendFile* log_;  // nullptr: no --log
  std::ostream& out_;
  std::ostream& err_;
  const int jobs_;
  // The main thread's alone.
  std::set<std::string> done_;  // paths taken since they appeared
  int taken_ = 0;
  std::vector<Worker> workers_;
  std::mutex mutex_;  // guards the rest, the streams and the log
  std::shared_ptr<const StationProfile> profile_;
  std::deque<ScannerInterfaceInfo> pending_;  // taken, waiting for a worker
  int busy_ = 0;  // workers serving
  bool stopping_ = false;
  int handled_ = 0;
  int ok_ = 0;
  int compliant_ = 0;
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

// provision: a desk, its operator at the terminal. serve: a service whose
// profile is judged before use and read again on a hang-up.
enum class StationKind { kProvision, kServe };

// How long a service sleeps at most before it looks for a hang-up.
constexpr int kReloadCheckMs = 250;

// A reload asked for: the profile is judged and read again; a good one
// replaces the one in force and every scanner present meets it, a bad one
// changes nothing. One line on `out` either way.
void Reload(const Invocation& invocation, Station& station, std::mutex& errLock, std::ostream& out,
            std::ostream& err) {
  PreparedInput input;
  std::ostringstream why;
  const int status = LoadServedProfile(invocation, &input, why);
  {
    std::lock_guard<std::mutex> hold(errLock);
    err << why.str();
  }
  if (status != kExitOk) {
    out << "reload refused: " << FirstLine(why.str())
        << "; the profile read before stays in force" << std::endl;
    return;
  }
  station.Replace(MakeStationProfile(input));
  out << "reloaded " << invocation.operands.front() << ": the scanners present are checked again"
      << std::endl;
}

int RunStation(StationKind kind, const Invocation& invocation, const PreparedInput& input,
               HidPlatform& platform, FrameObserver* tracer, std::mutex& errLock,
               DeviceWatcher& watcher, SimulatedScanners& simulated, std::ostream& out,
               std::ostream& err) {
  const bool serving = kind == StationKind::kServe;
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
  SignalStop signals(&watcher,
                     serving ? SignalStop::HangUp::kReloads : SignalStop::HangUp::kStops);
  Station station(invocation, MakeStationProfile(input), platform, tracer, errLock, watcher,
                  simulated, logged ? &log : nullptr, out, err);
  const auto sent = std::count_if(input.profile.begin(), input.profile.end(),
                                  [](const ProfileEntry& entry) {
                                    return !profile::IsReadOnlyKey(entry.key);
                                  });
  out << (serving ? "serving " : "provisioning with ") << invocation.operands.front() << " ("
      << sent << " settings";
  if (!input.deviceNumberNote.empty()) out << "; " << input.deviceNumberNote;
  out << "): the scanners present and each one plugged in; ";
  if (serving) {
    out << "SIGHUP reads the profile again, SIGTERM ends";
  } else if (invocation.count > 0) {
    out << "ends after " << invocation.count << " scanners";
  } else {
    out << "Ctrl+C ends";
  }
  out << std::endl;
  int status = kExitOk;
  // The output is the workers' from here on: the station tells when it is lost.
  const bool started = static_cast<bool>(out);
  // A hang-up lands between two looks at the watcher: a service wakes now
  // and then to see whether one came.
  const int waitMs = serving ? kReloadCheckMs : -1;
  while (started && station.TakeNewScanners()) {
    std::vector<DeviceChange> changes;
    DeviceWatcher::WaitResult woke = DeviceWatcher::WaitResult::kTimedOut;
    while (woke == DeviceWatcher::WaitResult::kTimedOut) {
      woke = watcher.Wait(waitMs, &changes);
      if (serving && SignalStop::TakeReload()) {
        Reload(invocation, station, errLock, out, err);
        if (woke == DeviceWatcher::WaitResult::kTimedOut) break;
      }
    }
    if (woke == DeviceWatcher::WaitResult::kStopped) break;
    if (woke == DeviceWatcher::WaitResult::kFailed) {
      std::lock_guard<std::mutex> hold(errLock);
      err << "zrctl: waiting for scanners failed; " << (serving ? "service" : "provisioning")
          << " stopped\n";
      status = kExitFailed;
      break;
    }
    station.Forget(changes);
  }
  station.Finish(status != kExitOk);
  station.PrintSummary(serving ? "served" : "provisioned");
  if (station.LogFailed()) status = kExitFailed;
  if (invocation.count > 0 && !station.AllOk()) status = kExitFailed;
  return status;
}

}  // namespace

int LoadServedProfile(const Invocation& invocation, PreparedInput* input, std::ostream& err) {
  const std::string& file = invocation.operands.front();
  std::string why;
  if (!ProfileWritableOnlyByAdministrators(file, why)) {
    err << "zrctl: " << file << " is not safe to serve: " << why << "; nothing sent\n";
    return kExitUnsafeProfile;
  }
  return PrepareInput(invocation, input, err);
}

int Provision(const Invocation& invocation, const PreparedInput& input, HidPlatform& platform,
              FrameObserver* tracer, std::mutex& errLock, DeviceWatcher& watcher,
              SimulatedScanners& simulated, std::ostream& out, std::ostream& err) {
  return RunStation(StationKind::kProvision, invocation, input, platform, tracer, errLock,
                    watcher, simulated, out, err);
}

int Serve(const Invocation& invocation, const PreparedInput& input, HidPlatform& platform,
          FrameObserver* tracer, std::mutex& errLock, DeviceWatcher& watcher,
          SimulatedScanners& simulated, std::ostream& out, std::ostream& err) {
  return RunStation(StationKind::kServe, invocation, input, platform, tracer, errLock, watcher,
                    simulated, out, err);
}

}  // namespace lumiq::zrctl
