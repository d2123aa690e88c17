#pragma once

#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "profile/text_file.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"

namespace lumiq::zrctl {

// The scanners of --simulate: each one the demo scanner or a seed file's
// settings, all behind one SimPlatform in the order given. A scanner from a
// file writes its memory back to that file on every commit it accepts, so a
// later run sees what was committed, and only what was committed. The file
// is held for the whole run, as a scanner is: a second run on it is refused.
// A write-back rewrites only the settings that changed: comments and blank
// lines stay.
class SimulatedScanners {
 public:
  SimulatedScanners() = default;
  SimulatedScanners(const SimulatedScanners&) = delete;
  SimulatedScanners& operator=(const SimulatedScanners&) = delete;

  // `seedFile` empty: the demo scanner. false after telling `err` why the
  // file could not be read.
  bool Add(const std::string& seedFile, std::ostream& err);
  bool Empty() const { return scanners_.empty(); }
  sim::SimPlatform& platform() { return platform_; }

  // Tells `err` about every write-back that failed since the last call, of
  // the scanner at configuration interface `path` alone when one is given;
  // false when there was one. Write-backs may fail on any thread that
  // commits; this may be called on any other.
  bool ReportWriteFailures(std::ostream& err, const std::string& path = std::string());

 private:
  struct Scanner {
    sim::SimulatedScanner device;
    std::string seedFile;
    std::string path;  // its configuration interface
    std::string text;  // the file as read
    profile::FileHold hold;
  };
  void WriteBack(Scanner& scanner);

  std::vector<std::unique_ptr<Scanner>> scanners_;
  sim::SimPlatform platform_;
  std::mutex failuresMutex_;  // guards writeFailures_
  struct WriteFailure {
    std::string path;
    std::string error;
  };
  std::vector<WriteFailure> writeFailures_;
};

}  // namespace lumiq::zrctl
