#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "link/device_watcher.h"
#include "sim/sim_platform.h"

namespace lumiq::sim {

// The cable of the simulated scanners: plugging one in or pulling it out
// changes what its SimPlatform lists and tells the Wait under way, as the
// system's notifications do for real ones. Either from another thread, or
// in steps that each Wait with nothing to report runs first, one a Wait, so
// that a test plays a whole afternoon at a desk on one thread.
class SimDeviceWatcher : public DeviceWatcher {
 public:
  explicit SimDeviceWatcher(SimPlatform& platform) : platform_(platform) {}

  // Both interfaces of scanner `index` appear (or go), and a Wait hears of it.
  void Plug(int index);
  void Unplug(int index);

  // Run by the next Waits that find nothing to report, in order: a step
  // plugs or unplugs a scanner, or ends the run (Stop, a signal).
  void AddStep(std::function<void()> step);

  bool Start(std::string* error) override;
  WaitResult Wait(int timeoutMs, std::vector<DeviceChange>* changes) override;
  // An atomic store only, so safe in a signal handler; a Wait under way
  // sees it within kStopCheckMs.
  void Stop() override { stopped_.store(true); }

  static constexpr int kStopCheckMs = 100;

 private:
  void Tell(DeviceChange::Kind kind, int index);

  SimPlatform& platform_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<DeviceChange> pending_;
  std::deque<std::function<void()>> steps_;
  std::atomic<bool> stopped_{false};
};

}  // namespace lumiq::sim
