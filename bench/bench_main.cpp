// Runs every benchmark, then prints the figures an operator would notice.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// Keeps each run's figures as it is reported, for the summary at the end.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
      std::string name = run.run_name.function_name;
      if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
      runs_[name] = run;
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::FILE* out = stdout;
    std::fflush(out);
    std::fprintf(out, "\nWhat the operator waits for\n");

    for (const char* reports : {"1", "4"}) {
      const Run* transact = Find(std::string("BM_TransactGet/") + reports);
      const Run* floor = Find(std::string("BM_MemcpyFloor/") + reports);
      if (transact == nullptr || floor == nullptr) continue;
      // CPU time: on a shared machine the wall clock of a 100 ns loop is
      // mostly other programs' turns.
      const double ns = CpuNanoseconds(*transact);
      const double floorNs = CpuNanoseconds(*floor);
      std::fprintf(out,
                   "1. Transact, %s-report reply: %.0f ns CPU per exchange "
                   "(memcpy of the same reports: %.1f ns; wall clock %.0f ns "
                   "against %.1f ns)\n",
                   reports, ns, floorNs, Nanoseconds(*transact), Nanoseconds(*floor));
    }

    for (const char* phase : {"Load", "Save"}) {
      const Run* run = Find(std::string("BM_Settings") + phase);
      if (run == nullptr) continue;
      std::fprintf(out,
                   "2. Settings window %s: %.0f exchanges, %.0f reports, "
                   "%.1f ms against a floor of %.0f ms at 1 ms per report: "
                   "ratio %.3f (wall clock %.3f, of which the latency "
                   "model oversleeps %.0f us per report)\n",
                   phase, Counter(*run, "exchanges"), Counter(*run, "reports"),
                   Milliseconds(*run), Counter(*run, "floor_ms"),
                   Counter(*run, "ratio"), Counter(*run, "ratio_raw"),
                   Counter(*run, "overshoot_us"));
    }

    if (const Run* run = Find("BM_SilentScannerWait")) {
      const Run* bare = Find("BM_BarePollWait");
      std::fprintf(out,
                   "3. Silent scanner: %.2f ms CPU per %.0f ms wait; the wait "
                   "took %.0f ms and slept %.0f time(s) (a bare poll of the same "
                   "length: %.2f ms CPU)\n",
                   Counter(*run, "cpu_ms_per_wait"), Counter(*run, "timeout_ms"),
                   Counter(*run, "wall_ms_per_wait"), Counter(*run, "sleeps_per_wait"),
                   bare ? Counter(*bare, "cpu_ms_per_wait") : 0.0);
    }
    if (const Run* run = Find("BM_ArrivalDelay")) {
      std::fprintf(out,
                   "4. Provisioning station: a plugged-in device noticed after %.2f ms "
                   "(median of %.0f; at most %.2f ms), %s\n",
                   Counter(*run, "median_ms"), Counter(*run, "plugs"), Counter(*run, "max_ms"),
                   Counter(*run, "real_watcher") > 0
                       ? "by the libudev watcher (kernel events of /dev/null, raised through "
                         "its uevent file)"
                       : "by the simulated watcher: this machine lets no device event be raised");
    }
    if (const Run* run = Find("BM_IdleWaitCpu")) {
      std::fprintf(out,
                   "5. Waiting for scanners: %.3f ms CPU per minute (libudev watcher, "
                   "%.1f s measured, %.0f sleep(s), %.0f event(s))\n",
                   Counter(*run, "cpu_ms_per_minute"), Counter(*run, "waited_s"),
                   Counter(*run, "sleeps"), Counter(*run, "events"));
    }
    const Run* allOne = Find("BM_ZrctlAllRestore/1");
    const Run* allTen = Find("BM_ZrctlAllRestore/10");
    if (allOne != nullptr && allTen != nullptr) {
      const Run* allFour = Find("BM_ZrctlAllRestore/4");
      const double one = Counter(*allOne, "ms");
      const double four = allFour ? Counter(*allFour, "ms") : 0.0;
      std::fprintf(out,
                   "7. zrctl restore --all at 1 ms per report: 1 scanner %.1f ms, 4 scanners "
                   "%.1f ms (%.2f x one), 10 scanners %.1f ms (%.2f x one)\n",
                   one, four, four / one, Counter(*allTen, "ms"), Counter(*allTen, "ms") / one);
    }
    const Run* stationOne = Find("BM_ZrctlStation/1");
    const Run* stationTen = Find("BM_ZrctlStation/10");
    if (stationOne != nullptr && stationTen != nullptr) {
      std::fprintf(out,
                   "8. zrctl provision, scanners plugged in at once: 1 scanner %.1f ms, 10 "
                   "scanners %.1f ms (%.2f x one)\n",
                   Counter(*stationOne, "ms"), Counter(*stationTen, "ms"),
                   Counter(*stationTen, "ms") / Counter(*stationOne, "ms"));
    }
    // check and apply on scanners that hold the profile, against restore.
    const auto compliance = [this](int which, int scanners) {
      return Find("BM_ZrctlCompliance/case:" + std::to_string(which) +
                  "/scanners:" + std::to_string(scanners));
    };
    const Run* restore = compliance(0, 1);
    const Run* check = compliance(1, 1);
    const Run* apply = compliance(2, 1);
    const Run* differing = compliance(3, 1);
    if (restore != nullptr && check != nullptr && apply != nullptr && differing != nullptr) {
      const auto frames = [](const Run& run) {
        return std::to_string(static_cast<int>(Counter(run, "gets"))) + " gets, " +
               std::to_string(static_cast<int>(Counter(run, "sets"))) + " sets, " +
               std::to_string(static_cast<int>(Counter(run, "commits"))) +
               (Counter(run, "commits") == 1 ? " commit" : " commits");
      };
      const double restoreMs = Counter(*restore, "ms");
      std::fprintf(out,
                   "9. zrctl --all with a whole profile at 1 ms per report, one scanner that "
                   "holds it: check %.1f ms (%s; %.2f x restore), apply %.1f ms (%s; %.2f x "
                   "restore), restore %.1f ms (%s); apply where one setting differs %.1f ms "
                   "(%s)\n",
                   Counter(*check, "ms"), frames(*check).c_str(), Counter(*check, "ms") / restoreMs,
                   Counter(*apply, "ms"), frames(*apply).c_str(), Counter(*apply, "ms") / restoreMs,
                   restoreMs, frames(*restore).c_str(), Counter(*differing, "ms"),
                   frames(*differing).c_str());
      const Run* restoreTen = compliance(0, 10);
      const Run* checkTen = compliance(1, 10);
      const Run* applyTen = compliance(2, 10);
      if (restoreTen != nullptr && checkTen != nullptr && applyTen != nullptr) {
        std::fprintf(out,
                     "   10 scanners that hold it: check %.1f ms, apply %.1f ms, restore %.1f ms\n",
                     Counter(*checkTen, "ms"), Counter(*applyTen, "ms"), Counter(*restoreTen, "ms"));
      }
    }
    std::fflush(out);
  }

 private:
  const Run* Find(const std::string& name) const {
    auto it = runs_.find(name);
    return it == runs_.end() ? nullptr : &it->second;
  }
  static double Counter(const Run& run, const char* name) {
    auto it = run.counters.find(name);
    return it == run.counters.end() ? 0.0 : it->second.value;
  }
  static double Nanoseconds(const Run& run) {
    return run.GetAdjustedRealTime() /
           benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
  }
  static double CpuNanoseconds(const Run& run) {
    return run.GetAdjustedCPUTime() /
           benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
  }
  static double Milliseconds(const Run& run) { return Nanoseconds(run) / 1e6; }

  std::map<std::string, Run> runs_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
