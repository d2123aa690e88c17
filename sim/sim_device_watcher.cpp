#include "sim/sim_device_watcher.h"

#include <chrono>
#include <utility>

#include "link/hid_transport.h"

namespace lumiq::sim {

void SimDeviceWatcher::Plug(int index) {
  platform_.Scanner(index).Plug();
  Tell(DeviceChange::Kind::kArrived, index);
}

void SimDeviceWatcher::Unplug(int index) {
  platform_.Scanner(index).Unplug();
  Tell(DeviceChange::Kind::kRemoved, index);
}

void SimDeviceWatcher::Tell(DeviceChange::Kind kind, int index) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    // A composite device's interfaces come and go one by one.
    for (int interfaceNumber : {0, kScannerInterface}) {
      pending_.push_back({kind, SimPlatform::PathOf(index, interfaceNumber)});
    }
  }
  changed_.notify_all();
}

void SimDeviceWatcher::AddStep(std::function<void()> step) {
  std::lock_guard<std::mutex> lock(mutex_);
  steps_.push_back(std::move(step));
}

bool SimDeviceWatcher::Start(std::string* /*error*/) { return true; }

DeviceWatcher::WaitResult SimDeviceWatcher::Wait(int timeoutMs,
                                                 std::vector<DeviceChange>* changes) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (pending_.empty() && !steps_.empty() && !stopped_.load()) {
    std::function<void()> step = std::move(steps_.front());
    steps_.pop_front();
    lock.unlock();
    step();
    lock.lock();
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (stopped_.load()) return WaitResult::kStopped;
    if (!pending_.empty()) {
      changes->insert(changes->end(), pending_.begin(), pending_.end());
      pending_.clear();
      return WaitResult::kChanged;
    }
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopCheckMs);
    if (timeoutMs >= 0) {
      if (std::chrono::steady_clock::now() >= deadline) return WaitResult::kTimedOut;
      if (deadline < until) until = deadline;
    }
    changed_.wait_until(lock, until);
  }
}

}  // namespace lumiq::sim
