// Several scanner links open at once in one program, each on its own thread
// and its own simulated scanner: what each scanner received must be its own
// link's frames and nothing else, and each failed open must carry its own
// cause.

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "link/frame_codec.h"
#include "link/hid_transport.h"
#include "link/scanner_link.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"

namespace lumiq::test {
namespace {

using Lines = std::vector<std::string>;

constexpr int kScanners = 10;

// Every thread waits here until all have arrived, so that their exchanges
// overlap rather than run one after another.
class StartLine {
 public:
  explicit StartLine(int count) : waiting_(count) {}
  void Arrive() {
    waiting_.fetch_sub(1);
    while (waiting_.load() > 0) std::this_thread::yield();
  }

 private:
  std::atomic<int> waiting_;
};

class CountingObserver : public FrameObserver {
 public:
  void OnRequest(const uint8_t*, size_t) override { ++requests; }
  void OnReply(const uint8_t*, size_t) override { ++replies; }
  int requests = 0;
  int replies = 0;
};

// The settings thread `index` restores: its own device number, and a long
// value that spans several reports so that the reports of different links
// have every chance to interleave.
std::vector<std::pair<std::string, std::string>> SettingSet(int index) {
  const std::string n = std::to_string(index);
  return {{"deviceno", "station-" + n},
          {"qrcode", index % 2 == 0 ? "1" : "0"},
          {"prefix", std::string(150, static_cast<char>('a' + index))},
          {"suffix", "end-" + n}};
}

Lines ExpectedRecord(int index) {
  Lines lines{"HANDSHAKE"};
  for (const auto& [key, value] : SettingSet(index)) lines.push_back("SET " + key + "=" + value);
  lines.push_back("COMMIT");
  for (const auto& setting : SettingSet(index)) lines.push_back("GET " + setting.first);
  return lines;
}

Lines Record(const sim::SimulatedScanner& scanner) {
  Lines lines;
  for (const sim::ReceivedCommand& command : scanner.Received()) {
    lines.push_back(sim::FormatCommand(command));
  }
  return lines;
}

struct ThreadOutcome {
  int opened = 0;
  std::vector<int> sets;
  int committed = -9;
  Lines readBack;
  int requests = 0;
  int replies = 0;
};

TEST(ConcurrentLinks, EachScannerReceivesExactlyItsOwnLinksFrames) {
  std::deque<sim::SimulatedScanner> scanners(kScanners);
  sim::SimPlatform platform;
  for (sim::SimulatedScanner& scanner : scanners) platform.AddScanner(&scanner);
  // A scanner's pace, so that every thread sleeps between its reports and
  // the others run meanwhile.
  platform.SetReportLatencyMicros(100);

  std::array<ThreadOutcome, kScanners> outcomes;
  StartLine start(kScanners + 1);
  std::atomic<bool> done{false};
  std::atomic<int> wrongListings{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < kScanners; ++i) {
    threads.emplace_back([&, i] {
      ThreadOutcome& outcome = outcomes[static_cast<size_t>(i)];
      CountingObserver observer;
      ScannerLink link(platform);
      link.SetFrameObserver(&observer);
      start.Arrive();
      outcome.opened = link.OpenAt(sim::SimPlatform::PathOf(i, kScannerInterface)).code;
      for (const auto& [key, value] : SettingSet(i)) {
        outcome.sets.push_back(link.SetSetting(key, value));
      }
      outcome.committed = link.CommitSettings();
      for (const auto& setting : SettingSet(i)) {
        char value[kValueBufferSize] = {};
        const int length = link.GetSetting(setting.first, value, sizeof value);
        outcome.readBack.push_back(length < 0 ? "<failed>"
                                              : std::string(value, static_cast<size_t>(length)));
      }
      link.Close();
      outcome.requests = observer.requests;
      outcome.replies = observer.replies;
    });
  }
  // Listing goes on while the links write.
  threads.emplace_back([&] {
    start.Arrive();
    while (!done.load()) {
      if (ListScannerInterfaces(platform).size() != 2u * kScanners) ++wrongListings;
    }
  });
  for (int i = 0; i < kScanners; ++i) threads[static_cast<size_t>(i)].join();
  done.store(true);
  threads.back().join();

  EXPECT_EQ(wrongListings.load(), 0);
  // The handshake, the sets, the commit and the gets.
  const int frames = 2 + 2 * static_cast<int>(SettingSet(0).size());
  for (int i = 0; i < kScanners; ++i) {
    SCOPED_TRACE("scanner " + std::to_string(i));
    const ThreadOutcome& outcome = outcomes[static_cast<size_t>(i)];
    EXPECT_EQ(outcome.opened, kOpened);
    EXPECT_EQ(outcome.sets, std::vector<int>(SettingSet(i).size(), 0));
    EXPECT_EQ(outcome.committed, 0);
    Lines expectedValues;
    for (const auto& setting : SettingSet(i)) expectedValues.push_back(setting.second);
    EXPECT_EQ(outcome.readBack, expectedValues);
    EXPECT_EQ(Record(scanners[static_cast<size_t>(i)]), ExpectedRecord(i));
    EXPECT_EQ(outcome.requests, frames);
    EXPECT_EQ(outcome.replies, frames) << "each link saw only its own replies";
    EXPECT_FALSE(scanners[static_cast<size_t>(i)].IsHeld()) << "closed links let go";
  }
}

// Opens that fail for different reasons, at the same time on the same
// platform: each one's result names its own cause, never the neighbour's.
TEST(ConcurrentLinks, AFailedOpensCauseTravelsWithThatOpen) {
  std::deque<sim::SimulatedScanner> scanners(2);
  scanners[1].Faults().silentFrom = 1;
  sim::SimPlatform platform;
  for (sim::SimulatedScanner& scanner : scanners) platform.AddScanner(&scanner);
  ScannerLink holder(platform);
  ASSERT_TRUE(holder.OpenAt(sim::SimPlatform::PathOf(0, kScannerInterface)).Opened());
  sim::SimPlatform refusing;
  refusing.AddScanner(&scanners[0]);
  refusing.SetAccessDenied(true);

  struct Attempt {
    sim::SimPlatform* platform;
    std::string path;
    OpenFailure cause;
  };
  const std::vector<Attempt> attempts = {
      {&platform, sim::SimPlatform::PathOf(0, kScannerInterface), OpenFailure::kInUse},
      {&platform, sim::SimPlatform::PathOf(7, kScannerInterface), OpenFailure::kNotFound},
      {&platform, sim::SimPlatform::PathOf(1, kScannerInterface), OpenFailure::kNoAnswer},
      {&refusing, sim::SimPlatform::PathOf(0, kScannerInterface), OpenFailure::kPermissionDenied},
  };
  constexpr int kRounds = 200;
  std::vector<int> wrong(attempts.size(), 0);
  StartLine start(static_cast<int>(attempts.size()));
  std::vector<std::thread> threads;
  for (size_t a = 0; a < attempts.size(); ++a) {
    threads.emplace_back([&, a] {
      ScannerLink link(*attempts[a].platform);
      start.Arrive();
      for (int round = 0; round < kRounds; ++round) {
        const LinkOpenResult result = link.OpenAt(attempts[a].path);
        if (result.code != kOpenNoAnswer || result.cause != attempts[a].cause) ++wrong[a];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (size_t a = 0; a < attempts.size(); ++a) {
    EXPECT_EQ(wrong[a], 0) << attempts[a].path << " expected cause "
                           << static_cast<int>(attempts[a].cause);
  }
  EXPECT_TRUE(scanners[0].IsHeld()) << "the holder kept its scanner throughout";
}

}  // namespace
}  // namespace lumiq::test
