#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "link/hid_platform.h"
#include "simulated_scanner.h"

namespace lumiq::sim {

// The simulated scanners as one more HID backend, so that discovery, HidLink
// and everything above them run for real. Each scanner enumerates as two
// interfaces of one device: a decoy interface 0 (which never answers) and
// the configuration interface 1. A read with nothing queued reports the
// time-out at once, whatever time-out was asked for, so no test ever waits;
// the per-report latency applies only to reports that actually cross.
// A transfer longer than the 65-byte buffer is cut to fit, and its true size
// returned, so the reader sees it as the wrong size.
//
// Each SimPlatform stands for one program. A read handle on a configuration
// interface holds its scanner until it is closed, as the hidraw backend's
// lock does: another read open, from this platform or from another one the
// same scanner is added to, fails with kInUse. A handle opened before its
// scanner was unplugged and plugged in again stays dead, as a file
// descriptor of the old device node does.
//
// Threads: every call may come from any thread. The platform's table (the
// scanners, the handles) has a lock of its own, each scanner another (see
// SimulatedScanner); the pace is slept with neither held, so links on
// different scanners run side by side. Scanners are added before use.
class SimPlatform : public HidPlatform {
 public:
  SimPlatform() = default;

  // Not owned. Enumerated in the order added. `port` is where it is plugged
  // in, as PortOf tells it; empty: "1-N" for the Nth scanner added, as the
  // kernel names the ports of a root hub.
  void AddScanner(SimulatedScanner* scanner, std::string port = std::string());
  int ScannerCount() const;
  SimulatedScanner& Scanner(int index);
  // Every written and every read report then costs this long, on the
  // thread that moves it: a real scanner's pace (--simulate-pace), or a
  // benchmark's.
  void SetReportLatencyMicros(int micros) { latencyMicros_.store(micros); }
  int ReportLatencyMicros() const { return latencyMicros_.load(); }
  // Number of reports that crossed in either direction.
  long ReportsExchanged() const { return reportsExchanged_.load(); }
  // Time actually spent in the latency above, on all threads together. The
  // system's sleep overshoots (timer slack, wake-up delay), so benchmarks
  // take this, not reports times latency, out of what they charge to the
  // code under test.
  long long LatencySleptNanos() const { return latencySleptNanos_.load(); }

  // The interfaces are listed but opening them is refused with
  // kPermissionDenied, as on a Linux host without the udev rule.
  void SetAccessDenied(bool denied);

  static std::string PathOf(int scannerIndex, int interfaceNumber);

  int ListInterfaces(std::vector<std::string>* paths) override;
  bool ReadAttributes(const std::string& path, HidAttributes* attributes) override;
  HidOpenResult Open(const std::string& path, HidAccess access) override;
  int WriteReport(HidHandle handle, const uint8_t* report, int timeoutMs) override;
  int ReadReport(HidHandle handle, uint8_t* buffer, int timeoutMs) override;
  void Close(HidHandle handle) override;
  std::string PortOf(const std::string& path) override;

 private:
  struct OpenInterface {
    int scanner = -1;  // -1 once closed
    int interfaceNumber = -1;
    HidAccess access = HidAccess::kRead;
    int plug = 0;  // the scanner's Plugs() when opened
  };
  // The scanner behind an open handle opened for `access` (its entry in
  // `*open`), or nullptr when the handle is closed, of an earlier plug or
  // of the other direction.
  SimulatedScanner* Find(HidHandle handle, HidAccess access, OpenInterface* open) const;
  // With mutex_ held.
  bool ParsePath(const std::string& path, int* scanner, int* interfaceNumber) const;
  void Delay();

  mutable std::mutex mutex_;  // guards the four below
  std::vector<SimulatedScanner*> scanners_;
  std::vector<std::string> ports_;  // by scanner
  std::vector<OpenInterface> handles_;  // index = handle
  bool accessDenied_ = false;
  std::atomic<int> latencyMicros_{0};
  std::atomic<long> reportsExchanged_{0};
  std::atomic<long long> latencySleptNanos_{0};
};

}  // namespace lumiq::sim
