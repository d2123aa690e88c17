// Several scanners at a real scanner's pace (1 ms a report): each one's
// restore (20 sets and the commit) on its own link, first one scanner after
// another, then all of them at once, one thread a scanner. At the same pace
// the parallel run should take about one scanner's time, not ten: whatever
// lies above that is the links and the platform serialising each other.

#include <benchmark/benchmark.h>

#include <chrono>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "link/hid_transport.h"
#include "link/scanner_link.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"

namespace lumiq::bench {
namespace {

constexpr int kPaceMicros = 1000;
constexpr int kSettings = 20;

bool Restore(sim::SimPlatform& platform, int index) {
  ScannerLink link(platform);
  if (!link.OpenAt(sim::SimPlatform::PathOf(index, kScannerInterface)).Opened()) return false;
  bool ok = true;
  for (int i = 0; i < kSettings; ++i) {
    ok = link.SetSetting("key" + std::to_string(i), "value-" + std::to_string(index)) == 0 && ok;
  }
  return link.CommitSettings() == 0 && ok;
}

void RunScanners(benchmark::State& state, bool parallel) {
  const int scanners = static_cast<int>(state.range(0));
  std::deque<sim::SimulatedScanner> devices(static_cast<size_t>(scanners));
  sim::SimPlatform platform;
  for (sim::SimulatedScanner& device : devices) platform.AddScanner(&device);
  platform.SetReportLatencyMicros(kPaceMicros);

  using Clock = std::chrono::steady_clock;
  double seconds = 0;
  long reports = 0;
  for (auto _ : state) {
    const long before = platform.ReportsExchanged();
    const Clock::time_point start = Clock::now();
    std::vector<char> ok(static_cast<size_t>(scanners), 0);
    if (parallel) {
      std::vector<std::thread> threads;
      for (int i = 0; i < scanners; ++i) {
        threads.emplace_back([&, i] { ok[static_cast<size_t>(i)] = Restore(platform, i); });
      }
      for (std::thread& thread : threads) thread.join();
    } else {
      for (int i = 0; i < scanners; ++i) ok[static_cast<size_t>(i)] = Restore(platform, i);
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(elapsed);
    seconds += elapsed;
    reports += platform.ReportsExchanged() - before;
    for (char done : ok) {
      if (!done) {
        state.SkipWithError("a restore failed");
        return;
      }
    }
  }
  const double runs = static_cast<double>(state.iterations());
  // One scanner's floor: its reports, one after another, at the pace.
  const double oneScannerFloor =
      static_cast<double>(reports) / runs / scanners * kPaceMicros / 1e6;
  state.counters["scanner_floors"] = seconds / runs / oneScannerFloor;
  state.counters["reports"] = static_cast<double>(reports) / runs;
}

void BM_ScannersOneAfterAnother(benchmark::State& state) { RunScanners(state, false); }
void BM_ScannersAtOnce(benchmark::State& state) { RunScanners(state, true); }

BENCHMARK(BM_ScannersOneAfterAnother)->Arg(10)->UseManualTime()->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScannersAtOnce)->Arg(10)->UseManualTime()->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumiq::bench
