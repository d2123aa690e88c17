// What a provisioning station costs while it waits: how soon a plugged-in
// scanner is noticed, and the CPU time a minute of waiting for one takes.
// Both with the real libudev watcher where the machine lets the benchmark
// raise device events: the kernel re-sends a device's event when "change"
// is written to its uevent file (root only), so the delay is measured on the
// null device's "mem" events, which take the same way (kernel, netlink
// socket, libudev, poll) as a scanner's "hidraw" ones. Elsewhere the delay
// is the simulated watcher's, and the summary says so.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "link/platform/udev_watcher.h"
#include "sim/demo_configuration.h"
#include "sim/sim_device_watcher.h"
#include "sim/sim_platform.h"

namespace lumiq::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr char kEventFile[] = "/sys/class/mem/null/uevent";
constexpr int kPlugs = 20;

bool RaiseDeviceEvent() {
  const int fd = open(kEventFile, O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = write(fd, "change", 6) == 6;
  close(fd);
  return written;
}

// A waiting thread in Wait; `plug` makes a device appear at the time it
// returns. The delay is from that time to the wait's return.
std::vector<double> Delays(DeviceWatcher& watcher, const std::function<bool()>& plug) {
  std::vector<double> delays;
  for (int i = 0; i < kPlugs; ++i) {
    std::atomic<bool> waiting{false};
    Clock::time_point noticed;
    DeviceWatcher::WaitResult result = DeviceWatcher::WaitResult::kFailed;
    std::thread waiter([&] {
      std::vector<DeviceChange> changes;
      waiting = true;
      result = watcher.Wait(1000, &changes);
      noticed = Clock::now();
    });
    while (!waiting) std::this_thread::yield();
    // Long enough for the waiter to be asleep in the kernel, as a station is.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const Clock::time_point plugged = Clock::now();
    const bool raised = plug();
    waiter.join();
    if (!raised || result != DeviceWatcher::WaitResult::kChanged) return {};
    delays.push_back(std::chrono::duration<double, std::milli>(noticed - plugged).count());
  }
  return delays;
}

void Report(benchmark::State& state, std::vector<double> delays, bool real) {
  std::sort(delays.begin(), delays.end());
  state.counters["median_ms"] = delays[delays.size() / 2];
  state.counters["max_ms"] = delays.back();
  state.counters["plugs"] = static_cast<double>(delays.size());
  state.counters["real_watcher"] = real ? 1 : 0;
}

void BM_ArrivalDelay(benchmark::State& state) {
  for (auto _ : state) {
    std::unique_ptr<DeviceWatcher> udev = UdevWatcherFor("mem");
    std::string error;
    if (udev->Start(&error)) {
      std::vector<double> delays = Delays(*udev, RaiseDeviceEvent);
      if (!delays.empty()) {
        Report(state, std::move(delays), true);
        continue;
      }
    }
    sim::SimulatedScanner scanner;
    sim::SeedDemoScanner(scanner);
    scanner.Unplug();
    sim::SimPlatform platform;
    platform.AddScanner(&scanner);
    sim::SimDeviceWatcher watcher(platform);
    bool plugged = false;
    Report(state, Delays(watcher, [&] {
             // Out again first, so that every plug is a new arrival.
             if (plugged) scanner.Unplug();
             watcher.Plug(0);
             plugged = true;
             return true;
           }),
           false);
  }
}
BENCHMARK(BM_ArrivalDelay)->Iterations(1)->Unit(benchmark::kMillisecond);

double ThreadCpuSeconds(long* wakeUps) {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  *wakeUps = usage.ru_nvcsw;
  auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The scanners' own watcher, waiting with nothing plugged in.
void BM_IdleWaitCpu(benchmark::State& state) {
  constexpr int kWaitMs = 3000;
  for (auto _ : state) {
    std::unique_ptr<DeviceWatcher> watcher = NativeDeviceWatcher();
    std::string error;
    if (!watcher->Start(&error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    long wakeUpsBefore = 0;
    long wakeUpsAfter = 0;
    const double before = ThreadCpuSeconds(&wakeUpsBefore);
    const Clock::time_point start = Clock::now();
    std::vector<DeviceChange> changes;
    watcher->Wait(kWaitMs, &changes);
    const double waited = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = ThreadCpuSeconds(&wakeUpsAfter) - before;
    state.counters["cpu_ms_per_minute"] = cpu * 1000 * 60 / waited;
    state.counters["waited_s"] = waited;
    state.counters["sleeps"] = static_cast<double>(wakeUpsAfter - wakeUpsBefore);
    state.counters["events"] = static_cast<double>(changes.size());
  }
}
BENCHMARK(BM_IdleWaitCpu)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumiq::bench
