// What an operator waits for in the settings window: every page's gets when
// it opens, every set and the commit on Save, one blocking exchange at a
// time. Over USB each report in either direction waits for the interrupt
// endpoint's next frame, so the scanner is given 1 ms per report and the
// time is compared with that floor: whatever lies above it is ours.

#include <benchmark/benchmark.h>

#include <sys/prctl.h>

#include <chrono>
#include <memory>

#include "link/device_commands.h"
#include "sim/demo_configuration.h"
#include "tests/support/fake_page_controls.h"
#include "tests/support/sim_fixture.h"
#include "ui/pages/settings_sequence.h"

namespace lumiq::bench {
namespace {

constexpr int kReportLatencyMicros = 1000;  // full-speed interrupt endpoint

// The five pages' controls as the window creates them.
struct Pages : test::FakeSettingsWindow {
  ui::PageSet set = FakeSettingsWindow::Pages();
};

enum class Phase { kLoad, kSave };

// The kernel lets a sleep run up to the thread's timer slack (50 us by
// default) late, to bunch wake-ups; for a model of a 1 ms frame that is 5%
// of noise. Narrowed while the scanner's latency is modelled.
class NarrowTimerSlack {
 public:
  NarrowTimerSlack() : previous_(prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0)) {
    prctl(PR_SET_TIMERSLACK, 1, 0, 0, 0);
  }
  ~NarrowTimerSlack() {
    if (previous_ > 0) prctl(PR_SET_TIMERSLACK, previous_, 0, 0, 0);
  }
  NarrowTimerSlack(const NarrowTimerSlack&) = delete;
  NarrowTimerSlack& operator=(const NarrowTimerSlack&) = delete;

 private:
  long previous_;
};

void RunSettingsWindow(benchmark::State& state, Phase phase) {
  test::SimScannerFixture fixture;
  sim::SeedDemoScanner(fixture.scanner());
  if (fixture.Connect() != kOpened) {
    state.SkipWithError("the simulated scanner did not open");
    return;
  }
  sim::SimPlatform& platform = fixture.platform();
  platform.SetReportLatencyMicros(kReportLatencyMicros);
  NarrowTimerSlack slack;

  // Save runs on what the window showed after opening, and may be pressed
  // again and again on the same controls.
  auto pages = std::make_unique<Pages>();
  if (phase == Phase::kSave) ui::LoadPages(pages->set);

  using Clock = std::chrono::steady_clock;
  double seconds = 0;
  long reports = 0;
  size_t exchanges = 0;
  long long sleptNanos = 0;
  for (auto _ : state) {
    if (phase == Phase::kLoad) pages = std::make_unique<Pages>();
    fixture.scanner().ClearReceived();
    const long reportsBefore = platform.ReportsExchanged();
    const long long sleptBefore = platform.LatencySleptNanos();
    const Clock::time_point start = Clock::now();
    bool failed = false;
    if (phase == Phase::kLoad) {
      failed = !ui::LoadPages(pages->set).empty();
    } else {
      failed = !ui::SavePages(pages->set).Succeeded();
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(elapsed);
    seconds += elapsed;
    reports += platform.ReportsExchanged() - reportsBefore;
    sleptNanos += platform.LatencySleptNanos() - sleptBefore;
    exchanges += fixture.scanner().Received().size();
    // A failed exchange would end early and flatter the figure.
    if (failed) {
      state.SkipWithError("an exchange failed");
      return;
    }
  }
  if (reports == 0) {
    state.SkipWithError("nothing was exchanged");
    return;
  }
  const double runs = static_cast<double>(state.iterations());
  const double floorSeconds = static_cast<double>(reports) * kReportLatencyMicros / 1e6;
  const double sleptSeconds = static_cast<double>(sleptNanos) / 1e9;
  // The wall time over the floor, once as measured and once with each
  // modelled report charged its 1 ms exactly instead of what the sleep took:
  // the second is the scanner's latency plus what our code adds.
  state.counters["ratio"] = (seconds - sleptSeconds + floorSeconds) / floorSeconds;
  state.counters["ratio_raw"] = seconds / floorSeconds;
  state.counters["overshoot_us"] =
      (sleptSeconds - floorSeconds) * 1e6 / static_cast<double>(reports);
  state.counters["exchanges"] = static_cast<double>(exchanges) / runs;
  state.counters["reports"] = static_cast<double>(reports) / runs;
  state.counters["floor_ms"] = floorSeconds * 1000 / runs;
}

void BM_SettingsLoad(benchmark::State& state) { RunSettingsWindow(state, Phase::kLoad); }
void BM_SettingsSave(benchmark::State& state) { RunSettingsWindow(state, Phase::kSave); }

BENCHMARK(BM_SettingsLoad)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SettingsSave)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumiq::bench
