// zrctl on a fleet at a real scanner's pace (1 ms a report): `restore --all`
// with its read-back on 1, 4 and 10 simulated scanners, and a station with
// ten plugged in at the same moment (`provision --count`), each run as the
// command line runs it, seed files written back on every commit. Each
// scanner has a worker of its own, so ten should take about one's time.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/zrctl/zrctl.h"

namespace lumiq::bench {
namespace {

constexpr char kProfile[] =
    "masterver=V2.0.7\nqrcode=0\ndmcode=0\ncodeprefix=SN\nio_outputs=hid0\n";

void Write(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

void RunFleet(benchmark::State& state, const std::string& command) {
  const int scanners = static_cast<int>(state.range(0));
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("lumiq_fleet_bench_" + command);
  std::filesystem::create_directories(folder);
  const std::filesystem::path profile = folder / "golden.profile";
  Write(profile, kProfile);
  std::vector<std::string> args = {"--simulate-pace=1ms"};
  std::vector<std::filesystem::path> seeds;
  for (int i = 0; i < scanners; ++i) {
    seeds.push_back(folder / ("s" + std::to_string(i) + ".seed"));
    args.push_back("--simulate=" + seeds.back().string());
  }
  if (command == "restore") {
    args.insert(args.end(), {"--all", "restore", profile.string()});
  } else {
    args.insert(args.end(), {"provision", profile.string(), "--count", std::to_string(scanners)});
  }

  using Clock = std::chrono::steady_clock;
  double seconds = 0;
  for (auto _ : state) {
    for (int i = 0; i < scanners; ++i) {
      Write(seeds[static_cast<size_t>(i)],
            "masterver=V2.0.7\ndeviceno=N-" + std::to_string(i) +
                "\nqrcode=1\ndmcode=1\ncodeprefix=\nio_outputs=usb\n");
    }
    std::ostringstream out;
    std::ostringstream err;
    const Clock::time_point start = Clock::now();
    const int status = zrctl::Run(args, out, err, nullptr);
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(elapsed);
    seconds += elapsed;
    if (status != 0) {
      state.SkipWithError(("zrctl failed: " + err.str()).c_str());
      break;
    }
  }
  std::filesystem::remove_all(folder);
  state.counters["ms"] = seconds / static_cast<double>(state.iterations()) * 1e3;
}

void BM_ZrctlAllRestore(benchmark::State& state) { RunFleet(state, "restore"); }
void BM_ZrctlStation(benchmark::State& state) { RunFleet(state, "provision"); }

BENCHMARK(BM_ZrctlAllRestore)->Arg(1)->Arg(4)->Arg(10)->UseManualTime()->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZrctlStation)->Arg(1)->Arg(10)->UseManualTime()->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumiq::bench
