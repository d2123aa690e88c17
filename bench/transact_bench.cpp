// Cost of one exchange in our own code: Transact building a request,
// handing it to the channel as reports and reassembling the reply, against
// a channel that lives in memory and answers at once.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "link/frame_codec.h"
#include "link/report_channel.h"

namespace lumiq::bench {
namespace {

constexpr char kKey[] = "codeprefix";
constexpr size_t kKeyLength = sizeof kKey - 1;
constexpr size_t kValueBuffer = 256;  // what GetSetting hands to Transact

// A get reply of `reportCount` reports, the longest that still fits that
// many: L + 9 = 64 · n.
std::vector<uint8_t> CannedReply(int reportCount) {
  const size_t frameSize = static_cast<size_t>(reportCount) * kReportSize;
  const uint16_t dataLength =
      static_cast<uint16_t>(frameSize - CommandFrame::kReplyOverhead);
  std::vector<uint8_t> frame(frameSize, 0);
  frame[0] = 0x66;
  frame[1] = 0xBB;
  frame[2] = 0xEE;
  frame[3] = CommandFrame::kCommandGet;
  frame[CommandFrame::kStatusOffset] = 0;
  frame[CommandFrame::kReplyLengthOffset] = static_cast<uint8_t>(dataLength & 0xFF);
  frame[CommandFrame::kReplyLengthOffset + 1] = static_cast<uint8_t>(dataLength >> 8);
  for (size_t i = CommandFrame::kReplyHeaderSize; i + 1 < frameSize; ++i) {
    frame[i] = static_cast<uint8_t>('a' + i % 26);
  }
  return frame;
}

// Moves reports the way a transport must (one zero-filled 64-byte report
// per chunk out, one 64-byte copy per report in) and nothing more, so what
// is measured above it is the codec.
class MemoryChannel : public ReportChannel {
 public:
  explicit MemoryChannel(std::vector<uint8_t> reply) : reply_(std::move(reply)) {}

  int WriteReports(const uint8_t* data, int count) override {
    if (count <= 0) return count;
    for (int offset = 0; offset < count; offset += kReportSize) {
      const int chunk = count - offset < kReportSize ? count - offset : kReportSize;
      std::memset(sent_, 0, sizeof sent_);
      std::memcpy(sent_, data + offset, static_cast<size_t>(chunk));
      ++reportsMoved_;
    }
    next_ = 0;
    return count;
  }

  int ReadReport(uint8_t* report, int /*timeoutMs*/) override {
    if (next_ + kReportSize > reply_.size()) return -3;
    std::memcpy(report, reply_.data() + next_, kReportSize);
    next_ += kReportSize;
    ++reportsMoved_;
    return kReportSize;
  }

  long reportsMoved() const { return reportsMoved_; }

 private:
  std::vector<uint8_t> reply_;
  size_t next_ = 0;
  uint8_t sent_[kReportSize] = {};
  long reportsMoved_ = 0;
};

void BM_TransactGet(benchmark::State& state) {
  const int replyReports = static_cast<int>(state.range(0));
  MemoryChannel channel(CannedReply(replyReports));
  uint8_t buffer[kValueBuffer];
  for (auto _ : state) {
    std::memcpy(buffer, kKey, kKeyLength);
    uint16_t length = kKeyLength;
    const int result = Transact(&channel, CommandFrame::kCommandGet, 0, buffer,
                                sizeof buffer, &length);
    if (result != kTransactOk) {
      state.SkipWithError("Transact failed");
      break;
    }
    benchmark::DoNotOptimize(buffer);
    benchmark::DoNotOptimize(length);
  }
  state.counters["reports"] = benchmark::Counter(
      static_cast<double>(channel.reportsMoved()), benchmark::Counter::kAvgIterations);
  state.SetBytesProcessed(state.iterations() * (1 + replyReports) * kReportSize);
}
BENCHMARK(BM_TransactGet)->Arg(1)->Arg(4);

// The floor: the same reports copied with nothing around them, one request
// report out and the reply's reports in.
void BM_MemcpyFloor(benchmark::State& state) {
  const int replyReports = static_cast<int>(state.range(0));
  const std::vector<uint8_t> reply = CannedReply(replyReports);
  uint8_t request[kReportSize] = {0x66, 0xBB, 0xEE, CommandFrame::kCommandGet};
  uint8_t sent[kReportSize];
  uint8_t received[kReportSize * 4];
  for (auto _ : state) {
    std::memcpy(sent, request, sizeof sent);
    benchmark::DoNotOptimize(sent);
    for (int i = 0; i < replyReports; ++i) {
      std::memcpy(received + i * kReportSize, reply.data() + i * kReportSize,
                  kReportSize);
    }
    benchmark::DoNotOptimize(received);
    benchmark::ClobberMemory();
  }
  state.counters["reports"] = 1 + replyReports;
  state.SetBytesProcessed(state.iterations() * (1 + replyReports) * kReportSize);
}
BENCHMARK(BM_MemcpyFloor)->Arg(1)->Arg(4);

}  // namespace
}  // namespace lumiq::bench
