// CPU time the tool burns while a scanner stays silent: one whole exchange
// through HidLink and the Linux backend's real waiting read, which must sleep
// in the kernel for the full reply time-out rather than poll.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>

#include "link/frame_codec.h"
#include "link/hid_transport.h"
#include "link/platform/hidraw.h"

namespace lumiq::bench {
namespace {

// The hidraw backend with a socket standing in for the device node: the
// request is written into it like into a device, and nothing ever answers.
// Reads and writes are the backend's own.
class SilentNodePlatform : public HidrawPlatform {
 public:
  SilentNodePlatform() {
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends_) != 0) {
      ends_[0] = ends_[1] = -1;
      return;
    }
    // Duplicates share the status flags: every handle is non-blocking, as
    // the backend's own Open makes them.
    fcntl(ends_[0], F_SETFL, fcntl(ends_[0], F_GETFL) | O_NONBLOCK);
  }
  ~SilentNodePlatform() override {
    if (ends_[0] >= 0) close(ends_[0]);
    if (ends_[1] >= 0) close(ends_[1]);
  }
  SilentNodePlatform(const SilentNodePlatform&) = delete;
  SilentNodePlatform& operator=(const SilentNodePlatform&) = delete;

  HidOpenResult Open(const std::string& /*path*/, HidAccess /*access*/) override {
    HidOpenResult result;
    const int fd = ends_[0] < 0 ? -1 : fcntl(ends_[0], F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
      result.failure = OpenFailure::kNotFound;
    } else {
      result.handle = fd;
    }
    return result;
  }

 private:
  int ends_[2] = {-1, -1};
};

struct Usage {
  double cpuSeconds = 0;
  long wakeUps = 0;  // voluntary context switches: how often the wait slept
};

Usage UsageNow() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return {seconds(usage.ru_utime) + seconds(usage.ru_stime), usage.ru_nvcsw};
}

int SilentCommit(HidLink& link, int timeoutMs) {
  uint8_t buffer[1] = {};
  uint16_t length = 0;
  return Transact(&link, CommandFrame::kCommandCommit, 0, buffer, sizeof buffer,
                  &length, timeoutMs);
}

void BM_SilentScannerWait(benchmark::State& state) {
  SilentNodePlatform platform;
  HidLink link(platform);
  if (link.OpenHandles("/dev/hidraw-silent") != 0) {
    state.SkipWithError("no socket pair");
    return;
  }
  // The first exchange faults in code and data that any later one finds
  // ready; a short one keeps that out of the figure.
  SilentCommit(link, 1);

  double cpu = 0;
  double wall = 0;
  long wakeUps = 0;
  for (auto _ : state) {
    const Usage before = UsageNow();
    const auto start = std::chrono::steady_clock::now();
    // A commit, as Save sends last: one request report, then the wait.
    const int result = SilentCommit(link, kReplyTimeoutMs);
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const Usage after = UsageNow();
    cpu += after.cpuSeconds - before.cpuSeconds;
    wakeUps += after.wakeUps - before.wakeUps;
    if (result != kTransactNoReply) {
      state.SkipWithError("the silent scanner answered");
      break;
    }
  }
  const double waits = static_cast<double>(state.iterations());
  state.counters["cpu_ms_per_wait"] = cpu * 1000 / waits;
  state.counters["wall_ms_per_wait"] = wall * 1000 / waits;
  state.counters["sleeps_per_wait"] = static_cast<double>(wakeUps) / waits;
  state.counters["timeout_ms"] = kReplyTimeoutMs;
}
// One real wait is the whole point; repeating it only costs time.
BENCHMARK(BM_SilentScannerWait)->Iterations(1)->Unit(benchmark::kMillisecond);

// What the kernel itself charges for putting a thread to sleep that long and
// waking it: the floor under the figure above.
void BM_BarePollWait(benchmark::State& state) {
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) {
    state.SkipWithError("no socket pair");
    return;
  }
  double cpu = 0;
  for (auto _ : state) {
    const Usage before = UsageNow();
    pollfd wait = {ends[0], POLLIN, 0};
    poll(&wait, 1, kReplyTimeoutMs);
    cpu += UsageNow().cpuSeconds - before.cpuSeconds;
  }
  close(ends[0]);
  close(ends[1]);
  state.counters["cpu_ms_per_wait"] = cpu * 1000 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_BarePollWait)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumiq::bench
