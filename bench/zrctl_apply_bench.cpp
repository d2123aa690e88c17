// What a configuration manager's regular run costs at a real scanner's pace
// (1 ms a report): `check --all` and `apply --all` on scanners that already
// hold the profile, against `restore --all`, which sends and commits every
// time; and `apply --all` where one setting differs. The profile is a whole
// dump of the demo scanner, so the figures are those of a real golden
// profile. Each case also counts, in one traced run, the gets, sets and
// commits one scanner received.

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

enum Case { kRestore, kCheck, kApplyCompliant, kApplyDiffering };

std::string Read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void Write(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// The frames of a --trace, by command: 07 set, 08 get, 09 commit.
int Count(const std::string& trace, const char* command) {
  const std::string marker = std::string("> 66 BB EE ") + command + " ";
  int count = 0;
  for (size_t at = trace.find(marker); at != std::string::npos; at = trace.find(marker, at + 1)) {
    ++count;
  }
  return count;
}

void RunCase(benchmark::State& state) {
  const Case which = static_cast<Case>(state.range(0));
  const int scanners = static_cast<int>(state.range(1));
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("lumiq_apply_bench_" + std::to_string(which) + "_" + std::to_string(scanners));
  std::filesystem::create_directories(folder);
  const std::filesystem::path golden = folder / "golden.profile";
  {
    std::ostringstream out;
    std::ostringstream err;
    if (zrctl::Run({"--simulate", "dump", golden.string()}, out, err, nullptr) != 0) {
      state.SkipWithError(("dump failed: " + err.str()).c_str());
      return;
    }
  }
  // A scanner that holds the profile, or one whose qrcode is off.
  std::string seed = Read(golden);
  if (which != kCheck && which != kApplyCompliant) {
    const size_t at = seed.find("\nqrcode=");
    if (at != std::string::npos) seed.insert(at + 8, "x");
  }
  std::vector<std::string> args = {"--simulate-pace=1ms"};
  std::vector<std::filesystem::path> seeds;
  for (int i = 0; i < scanners; ++i) {
    seeds.push_back(folder / ("s" + std::to_string(i) + ".seed"));
    args.push_back("--simulate=" + seeds.back().string());
  }
  const char* command = which == kRestore ? "restore" : which == kCheck ? "check" : "apply";
  args.insert(args.end(), {"--all", command, golden.string()});
  const auto reseed = [&] {
    for (const std::filesystem::path& path : seeds) Write(path, seed);
  };

  // One traced run on one scanner's worth of frames, for the counts.
  reseed();
  std::vector<std::string> traced = args;
  traced.insert(traced.begin(), "--trace");
  std::ostringstream tracedOut;
  std::ostringstream trace;
  zrctl::Run(traced, tracedOut, trace, nullptr);

  using Clock = std::chrono::steady_clock;
  double seconds = 0;
  for (auto _ : state) {
    reseed();
    std::ostringstream out;
    std::ostringstream err;
    const Clock::time_point start = Clock::now();
    const int status = zrctl::Run(args, out, err, nullptr);
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(elapsed);
    seconds += elapsed;
    if (status != 0) {
      state.SkipWithError(("zrctl " + std::string(command) + " failed: " + err.str()).c_str());
      break;
    }
  }
  std::filesystem::remove_all(folder);
  const double each = static_cast<double>(scanners);
  state.counters["ms"] = seconds / static_cast<double>(state.iterations()) * 1e3;
  state.counters["gets"] = Count(trace.str(), "08") / each;
  state.counters["sets"] = Count(trace.str(), "07") / each;
  state.counters["commits"] = Count(trace.str(), "09") / each;
}

void BM_ZrctlCompliance(benchmark::State& state) { RunCase(state); }

BENCHMARK(BM_ZrctlCompliance)
    ->ArgNames({"case", "scanners"})
    ->ArgsProduct({{kRestore, kCheck, kApplyCompliant, kApplyDiffering}, {1, 10}})
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumiq::bench
