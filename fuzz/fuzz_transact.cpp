// Whatever a scanner answers, Transact and the device commands must return,
// after a bounded number of reads, without writing outside the caller's
// buffer, and must deliver exactly the data the reply carried.
//
// The input drives two things in turn: Transact on a scripted report channel
// (any reports, invalid reads, time-outs, write failures, any capacity), then
// the device commands on a scripted HID platform, so HidLink's report
// handling runs too (transfers of any size and report id).

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "link/scanner_link.h"
#include "link/frame_codec.h"
#include "link/hid_platform.h"
#include "link/hid_transport.h"

namespace {

using lumiq::CommandFrame;
using lumiq::kHidReportSize;
using lumiq::kReportSize;
using Bytes = std::vector<uint8_t>;

// No reply can need more reports than a 16-bit length allows; the codec adds
// a bounded number of invalid reads, HidLink a bounded drain before a write.
constexpr size_t kMaxReplyReports = (0xFFFF + CommandFrame::kReplyOverhead + 63) / 64;
constexpr int kReadBound = 64 /* drain */ + 1 + static_cast<int>(kMaxReplyReports) +
                           64 /* invalid reports */ + 2;

uint16_t LengthOf(const uint8_t* report) {
  return static_cast<uint16_t>(report[CommandFrame::kReplyLengthOffset] |
                               (report[CommandFrame::kReplyLengthOffset + 1] << 8));
}

// A reply frame with the given status and data, as 64-byte reports.
std::vector<Bytes> ReplyReports(uint8_t status, uint16_t length, const Bytes& data) {
  Bytes frame = {0x66, 0xBB, 0xEE, 0x08, 0x00, status,
                 static_cast<uint8_t>(length & 0xFF), static_cast<uint8_t>(length >> 8)};
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(0x00);  // checksum, never read
  std::vector<Bytes> reports;
  for (size_t at = 0; at < frame.size(); at += kReportSize) {
    Bytes report(kReportSize, 0);
    std::copy(frame.begin() + at,
              frame.begin() + std::min(frame.size(), at + kReportSize), report.begin());
    reports.push_back(std::move(report));
  }
  return reports;
}

// A reply the fuzzer shapes: mostly a sensible status and length, the data
// (maybe fewer bytes than the length claims) from the input.
std::vector<Bytes> ConsumeReply(FuzzedDataProvider& in) {
  const uint8_t status = in.ConsumeBool() ? 0 : in.ConsumeIntegral<uint8_t>();
  uint16_t length = in.ConsumeBool() ? in.ConsumeIntegralInRange<uint16_t>(0, 300)
                                     : in.ConsumeIntegral<uint16_t>();
  Bytes data = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, length));
  return ReplyReports(status, length, data);
}

Bytes ConsumeReport(FuzzedDataProvider& in) {
  Bytes report = in.ConsumeBytes<uint8_t>(kReportSize);
  report.resize(kReportSize, 0);
  return report;
}

// --- Transact on a scripted channel ------------------------------------------

class ScriptedChannel : public lumiq::ReportChannel {
 public:
  struct Read {
    int result = kReportSize;
    Bytes report;
  };
  enum class Tail { kTimeout, kInvalidForever, kReportForever };

  int WriteReports(const uint8_t* data, int count) override {
    ++writes;
    lastWrite.assign(data, data + std::max(count, 0));
    return writeResult == 0 ? count : writeResult;
  }

  int ReadReport(uint8_t* report, int /*timeoutMs*/) override {
    ++reads;
    Read next;
    if (!script.empty()) {
      next = std::move(script.front());
      script.pop_front();
    } else if (tail == Tail::kInvalidForever) {
      next.result = 0;
    } else if (tail == Tail::kReportForever) {
      next.report = tailReport;
    } else {
      next.result = -3;
    }
    if (next.result == kReportSize) {
      std::memcpy(report, next.report.data(), kReportSize);
      valid.push_back(next.report);
    }
    return next.result;
  }

  std::deque<Read> script;
  Tail tail = Tail::kTimeout;
  Bytes tailReport = Bytes(kReportSize, 0);
  int writeResult = 0;
  int writes = 0;
  int reads = 0;
  Bytes lastWrite;
  std::vector<Bytes> valid;  // the valid reports handed out, in order
};

class CheckingObserver : public lumiq::FrameObserver {
 public:
  void OnRequest(const uint8_t* frame, size_t size) override {
    FUZZ_CHECK(size >= CommandFrame::kRequestOverhead);
    FUZZ_CHECK(size <= CommandFrame::kFrameBufferSize);
    request.assign(frame, frame + size);
  }
  void OnReply(const uint8_t* frame, size_t size) override {
    FUZZ_CHECK(size > 0 && size <= size_t{0xFFFF} + CommandFrame::kReplyOverhead);
    // Touch every byte, so a frame handed out past its storage shows.
    volatile uint8_t sum = 0;
    for (size_t i = 0; i < size; ++i) sum = static_cast<uint8_t>(sum ^ frame[i]);
    (void)sum;
  }
  Bytes request;
};

void FuzzOneTransact(FuzzedDataProvider& in, ScriptedChannel& channel) {
  static constexpr size_t kCapacities[] = {0, 1, 8, 55, 56, 119, 183, 247, 256, 311, 1024};
  const size_t capacity = in.ConsumeBool()
                              ? in.PickValueInArray(kCapacities)
                              : in.ConsumeIntegralInRange<size_t>(0, 2048);
  const uint16_t payloadLength = in.ConsumeBool()
                                     ? in.ConsumeIntegralInRange<uint16_t>(0, capacity > 1100 ? 1100 : static_cast<uint16_t>(capacity))
                                     : in.ConsumeIntegralInRange<uint16_t>(0, 1100);
  const uint8_t command = in.ConsumeIntegral<uint8_t>();
  const uint8_t subCommand = in.ConsumeBool() ? 0 : in.ConsumeIntegral<uint8_t>();

  // Exactly `capacity` bytes on the heap: any access past it is caught.
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[capacity == 0 ? 1 : capacity]);
  uint8_t* data = capacity == 0 ? nullptr : buffer.get();
  Bytes before(capacity, 0xA5);
  for (size_t i = 0; i < capacity; ++i) before[i] = static_cast<uint8_t>(i * 7 + 1);
  const Bytes payload = in.ConsumeBytes<uint8_t>(std::min<size_t>(payloadLength, capacity));
  std::copy(payload.begin(), payload.end(), before.begin());
  if (capacity > 0) std::memcpy(data, before.data(), capacity);

  CheckingObserver observer;
  const bool observe = in.ConsumeBool();
  uint16_t length = payloadLength;
  const int writesBefore = channel.writes;
  const int readsBefore = channel.reads;
  channel.valid.clear();

  const int result = lumiq::Transact(&channel, command, subCommand, data, capacity, &length,
                                     lumiq::kReplyTimeoutMs, observe ? &observer : nullptr);
  const int reads = channel.reads - readsBefore;

  FUZZ_CHECK(result == 0 || result == -1 || result == -2 || result == -3);
  FUZZ_CHECK(reads <= kReadBound);
  if (payloadLength > capacity || payloadLength > CommandFrame::kMaxPayload ||
      (payloadLength > 0 && data == nullptr)) {
    FUZZ_CHECK(result == lumiq::kTransactNotSent);
    FUZZ_CHECK(channel.writes == writesBefore);
    return;
  }

  // The request is exactly the frame the codec documents.
  if (channel.writes > writesBefore) {
    Bytes expected(payloadLength + CommandFrame::kRequestOverhead);
    CommandFrame::BuildRequest(command, subCommand, before.data(), payloadLength,
                               expected.data());
    FUZZ_CHECK(channel.lastWrite == expected);
    if (observe) FUZZ_CHECK(observer.request == expected);
  }
  if (result != lumiq::kTransactOk) {
    FUZZ_CHECK(length == payloadLength);
    // A refused or missing reply copies nothing, nor does one too long for
    // the buffer.
    const bool untouched =
        result == lumiq::kTransactRefused || channel.valid.empty() ||
        CommandFrame::ReplyBytesDelivered(LengthOf(channel.valid.front().data())) > capacity;
    if (untouched) {
      FUZZ_CHECK(capacity == 0 || std::memcmp(data, before.data(), capacity) == 0);
    }
    return;
  }

  // Success: the length is the first report's, it fits, and the data are the
  // frame's data bytes as the reports carried them.
  FUZZ_CHECK(!channel.valid.empty());
  FUZZ_CHECK(channel.valid.front()[CommandFrame::kStatusOffset] == 0);
  FUZZ_CHECK(length == LengthOf(channel.valid.front().data()));
  FUZZ_CHECK(CommandFrame::ReplyBytesDelivered(length) <= capacity);
  FUZZ_CHECK(channel.valid.size() == CommandFrame::ReplyReportCount(length));
  Bytes frame;
  for (const Bytes& report : channel.valid) frame.insert(frame.end(), report.begin(), report.end());
  FUZZ_CHECK(frame.size() >= size_t{length} + CommandFrame::kReplyOverhead);
  FUZZ_CHECK(length == 0 ||
             std::memcmp(data, frame.data() + CommandFrame::kReplyHeaderSize, length) == 0);
}

void FuzzTransact(FuzzedDataProvider& in) {
  ScriptedChannel channel;
  const int steps = in.ConsumeIntegralInRange(1, 24);
  for (int i = 0; i < steps && in.remaining_bytes() > 0; ++i) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
      case 0:
        for (Bytes& report : ConsumeReply(in)) channel.script.push_back({kReportSize, std::move(report)});
        break;
      case 1:
        channel.script.push_back({kReportSize, ConsumeReport(in)});
        break;
      case 2:
        channel.script.push_back({0, {}});
        break;
      default:
        channel.script.push_back({-3, {}});
        break;
    }
  }
  channel.tail = static_cast<ScriptedChannel::Tail>(in.ConsumeIntegralInRange(0, 2));
  channel.tailReport = ConsumeReport(in);
  if (in.ConsumeIntegralInRange(0, 7) == 0) {
    // Failures, and a channel that claims fewer bytes than it was given.
    static constexpr int kWriteResults[] = {-1, -2, -3, 1};
    channel.writeResult = in.PickValueInArray(kWriteResults);
  }
  const int calls = in.ConsumeIntegralInRange(1, 4);
  for (int i = 0; i < calls; ++i) FuzzOneTransact(in, channel);
}

// --- the device commands on a scripted HID platform ---------------------------

class ScriptedPlatform : public lumiq::HidPlatform {
 public:
  static constexpr lumiq::HidHandle kRead = 3;
  static constexpr lumiq::HidHandle kWrite = 4;

  int ListInterfaces(std::vector<std::string>* paths) override {
    *paths = interfaces;
    return listResult;
  }
  bool ReadAttributes(const std::string& path, lumiq::HidAttributes* attributes) override {
    if (path.find("noattr") != std::string::npos) return false;
    attributes->vendorId = lumiq::kScannerVendorId;
    attributes->productId = lumiq::kScannerProductId;
    attributes->interfaceNumber = path.find("if1") != std::string::npos ? 1 : 0;
    return true;
  }
  lumiq::HidOpenResult Open(const std::string& path, lumiq::HidAccess access) override {
    FUZZ_CHECK(path.size() < lumiq::kDevicePathSize);
    lumiq::HidOpenResult result;
    if (failOpen) {
      result.failure = lumiq::OpenFailure::kInUse;
      return result;
    }
    const lumiq::HidHandle handle = access == lumiq::HidAccess::kRead ? kRead : kWrite;
    FUZZ_CHECK(!open[handle - kRead]);
    open[handle - kRead] = true;
    result.handle = handle;
    return result;
  }
  int WriteReport(lumiq::HidHandle handle, const uint8_t* report, int /*timeoutMs*/) override {
    FUZZ_CHECK(handle == kWrite && open[1]);
    FUZZ_CHECK(report[0] == 0);
    ++writes;
    if (failWriteAt > 0 && writes >= failWriteAt) return -1;
    // The device answers what it was sent: the next batch of the script.
    if (!batches.empty()) {
      for (Bytes& transfer : batches.front()) input.push_back(std::move(transfer));
      batches.pop_front();
    }
    return kHidReportSize;
  }
  int ReadReport(lumiq::HidHandle handle, uint8_t* buffer, int /*timeoutMs*/) override {
    FUZZ_CHECK(handle == kRead && open[0]);
    ++reads;
    Bytes transfer;
    if (!input.empty()) {
      transfer = std::move(input.front());
      input.pop_front();
    } else if (endlessInput) {
      transfer = endlessTransfer;
    } else {
      return -3;
    }
    // The one-byte transfer FF stands for a read that times out.
    if (transfer.size() == 1 && transfer[0] == 0xFF && timeoutMarks) return -3;
    if (!transfer.empty()) {
      std::memcpy(buffer, transfer.data(), std::min<size_t>(transfer.size(), kHidReportSize));
    }
    return static_cast<int>(transfer.size());
  }
  void Close(lumiq::HidHandle handle) override {
    FUZZ_CHECK(handle == kRead || handle == kWrite);
    FUZZ_CHECK(open[handle - kRead]);
    open[handle - kRead] = false;
  }

  std::vector<std::string> interfaces;
  int listResult = 0;
  bool failOpen = false;
  int failWriteAt = 0;
  std::deque<std::vector<Bytes>> batches;
  std::deque<Bytes> input;
  bool endlessInput = false;
  bool timeoutMarks = true;
  Bytes endlessTransfer;
  bool open[2] = {false, false};
  int writes = 0;
  int reads = 0;
};

Bytes Transfer(const Bytes& report, uint8_t reportId = 0) {
  Bytes transfer(1, reportId);
  transfer.insert(transfer.end(), report.begin(), report.end());
  return transfer;
}

std::vector<Bytes> ConsumeBatch(FuzzedDataProvider& in) {
  std::vector<Bytes> batch;
  const int items = in.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < items; ++i) {
    switch (in.ConsumeIntegralInRange(0, 4)) {
      case 0:
        for (const Bytes& report : ConsumeReply(in)) batch.push_back(Transfer(report));
        break;
      case 1:
        batch.push_back(Transfer(ConsumeReport(in)));
        break;
      case 2:  // any size, any report id
        batch.push_back(in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 140)));
        break;
      case 3:  // unnumbered or wrongly numbered
        batch.push_back(in.ConsumeBool() ? ConsumeReport(in)
                                         : Transfer(ConsumeReport(in), in.ConsumeIntegral<uint8_t>()));
        break;
      default:
        batch.push_back(Bytes{0xFF});  // a read that times out
        break;
    }
  }
  return batch;
}

std::string ConsumeKey(FuzzedDataProvider& in) {
  static const char* const kKeys[] = {"qrcode", "masterver", "wifi0_httpph", "deviceno", "k"};
  if (in.ConsumeBool()) return in.PickValueInArray(kKeys);
  return in.ConsumeRandomLengthString(300);
}

// Fills a caller's value buffer with a pattern, so writes into it show.
std::unique_ptr<char[]> PatternBuffer(size_t size) {
  std::unique_ptr<char[]> buffer(new char[size]);
  for (size_t i = 0; i < size; ++i) buffer[i] = static_cast<char>(0x5A ^ i);
  return buffer;
}

bool PatternFrom(const char* buffer, size_t from, size_t size) {
  for (size_t i = from; i < size; ++i) {
    if (buffer[i] != static_cast<char>(0x5A ^ i)) return false;
  }
  return true;
}

void CheckGetResult(int result, const char* value, size_t size) {
  FUZZ_CHECK(result >= -1);
  if (result < 0) {
    FUZZ_CHECK(PatternFrom(value, 0, size));  // untouched
    return;
  }
  const size_t length = static_cast<size_t>(result);
  FUZZ_CHECK(length + 1 <= size);
  FUZZ_CHECK(value[length] == '\0');
  FUZZ_CHECK(PatternFrom(value, length + 1, size));
}

void FuzzDeviceCommands(FuzzedDataProvider& in) {
  ScriptedPlatform platform;
  platform.interfaces = {"fuzz:noattr", "fuzz:scanner/if0", "fuzz:scanner/if1"};
  if (in.ConsumeIntegralInRange(0, 7) == 0) {
    platform.interfaces.insert(platform.interfaces.begin() + 1,
                               "fuzz:" + std::string(lumiq::kDevicePathSize, 'x') + "/if1");
  }
  if (in.ConsumeIntegralInRange(0, 15) == 0) platform.listResult = -1;
  platform.failOpen = in.ConsumeIntegralInRange(0, 15) == 0;
  platform.failWriteAt = in.ConsumeIntegralInRange(0, 7) == 0 ? in.ConsumeIntegralInRange(1, 40) : 0;
  platform.endlessInput = in.ConsumeIntegralInRange(0, 7) == 0;
  platform.endlessTransfer = in.ConsumeBool() ? Transfer(ConsumeReport(in)) : in.ConsumeBytes<uint8_t>(70);
  platform.timeoutMarks = !platform.endlessInput;
  // Input already waiting before the first request, then one batch a write.
  for (Bytes& transfer : ConsumeBatch(in)) platform.input.push_back(std::move(transfer));
  const int batches = in.ConsumeIntegralInRange(0, 40);
  for (int i = 0; i < batches; ++i) platform.batches.push_back(ConsumeBatch(in));

  CheckingObserver observer;
  lumiq::ScannerLink link(platform);
  link.SetFrameObserver(in.ConsumeBool() ? &observer : nullptr);

  const lumiq::LinkOpenResult attempt = link.Open();
  const int opened = attempt.code;
  FUZZ_CHECK(opened == 1 || opened == -1 || opened == -2 || opened == -3);
  FUZZ_CHECK(link.IsOpen() == (opened == 1));
  FUZZ_CHECK((opened == 1) == (attempt.cause == lumiq::OpenFailure::kNone));
  if (platform.failOpen && opened == -3) FUZZ_CHECK(attempt.cause == lumiq::OpenFailure::kInUse);
  FUZZ_CHECK(opened == 1 || (!platform.open[0] && !platform.open[1]));

  const int commands = in.ConsumeIntegralInRange(0, 12);
  for (int i = 0; i < commands; ++i) {
    const int readsBefore = platform.reads;
    const int writesBefore = platform.writes;
    switch (in.ConsumeIntegralInRange(0, 5)) {
      case 0: {
        const int result = link.Handshake();
        FUZZ_CHECK(result == 0 || result == -1 || result == -2);
        break;
      }
      case 1:
      case 2: {
        static constexpr size_t kSizes[] = {lumiq::kValueBufferSize, lumiq::kLongValueBufferSize};
        const size_t size = in.ConsumeBool() ? in.PickValueInArray(kSizes)
                                             : in.ConsumeIntegralInRange<size_t>(1, 1100);
        const std::string key = ConsumeKey(in);
        std::unique_ptr<char[]> value = PatternBuffer(size);
        const int result = link.GetSetting(key, value.get(), size);
        CheckGetResult(result, value.get(), size);
        if (key.empty() || key.size() > lumiq::kMaxKeyLength) FUZZ_CHECK(result == -1);
        break;
      }
      case 3: {
        const std::string key = ConsumeKey(in);
        const std::string value = in.ConsumeRandomLengthString(300);
        const int result = link.SetSetting(key, value);
        FUZZ_CHECK(result >= -3 && result <= 0);
        if (!lumiq::SetFits(key, value)) {
          FUZZ_CHECK(result == -1);
          FUZZ_CHECK(platform.writes == writesBefore);
        }
        break;
      }
      case 4: {
        const int result = link.CommitSettings();
        FUZZ_CHECK(result == 0 || result == -1);
        break;
      }
      default: {
        const size_t size = in.ConsumeBool() ? lumiq::kLongValueBufferSize
                                             : in.ConsumeIntegralInRange<size_t>(1, 300);
        std::unique_ptr<char[]> value = PatternBuffer(size);
        int length = -12345;
        const int result = link.GetVersion(value.get(), size, &length);
        FUZZ_CHECK(result == -1 || result > 0);
        if (result > 0) {
          FUZZ_CHECK(length == result);
          CheckGetResult(result, value.get(), size);
        } else {
          FUZZ_CHECK(length == -12345);
          // Untouched, or an empty version read: its terminator only.
          FUZZ_CHECK(PatternFrom(value.get(), 0, size) ||
                     (value[0] == '\0' && PatternFrom(value.get(), 1, size)));
        }
        break;
      }
    }
    FUZZ_CHECK(platform.reads - readsBefore <= kReadBound);
    // No request is longer than the frame buffer: at most 16 reports.
    FUZZ_CHECK(platform.writes - writesBefore <= 16);
  }

  link.Close();
  FUZZ_CHECK(!platform.open[0] && !platform.open[1]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  if (in.ConsumeBool()) {
    FuzzTransact(in);
  } else {
    FuzzDeviceCommands(in);
  }
  return 0;
}
