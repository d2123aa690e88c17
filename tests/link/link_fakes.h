#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "link/frame_codec.h"
#include "link/hid_platform.h"
#include "link/report_channel.h"

namespace lumiq::test {

using Bytes = std::vector<uint8_t>;

// "66 BB EE" -> {0x66, 0xBB, 0xEE}.
Bytes Hex(const std::string& text);
Bytes BytesOf(const std::string& text);

// A reply frame: leading bytes that match nothing the tool sent, the status,
// L little-endian, the data and an XOR checksum.
Bytes ReplyFrame(uint8_t status, const Bytes& data);
// A frame cut into 64-byte reports, the last one zero-filled.
std::vector<Bytes> CutReports(const Bytes& frame);

// A get reply's data: K + 3 bytes the tool skips, then the value.
Bytes GetReplyData(const std::string& key, const std::string& value);

// A caller's buffer with guard bytes on both sides, to catch any write past
// its ends and any write into it at all.
class GuardedBuffer {
 public:
  static constexpr size_t kGuard = 64;
  static constexpr uint8_t kFill = 0xA5;

  explicit GuardedBuffer(size_t size) : size_(size), storage_(size + 2 * kGuard, kFill) {}
  uint8_t* data() { return storage_.data() + kGuard; }
  char* chars() { return reinterpret_cast<char*>(data()); }
  size_t size() const { return size_; }
  bool GuardsIntact() const;
  bool Untouched() const;  // guards and the buffer itself
  Bytes Contents() const { return Bytes(storage_.begin() + kGuard, storage_.begin() + kGuard + size_); }

 private:
  size_t size_;
  Bytes storage_;
};

// A report channel with scripted reads and recorded writes. An exhausted
// script reads as a time-out, at once.
class FakeChannel : public ReportChannel {
 public:
  struct Read {
    int result = kReportSize;
    Bytes report;  // 64 bytes when result is 64
  };

  void QueueReports(const std::vector<Bytes>& reports);
  void QueueReply(uint8_t status, const Bytes& data) { QueueReports(CutReports(ReplyFrame(status, data))); }
  void QueueInvalid() { reads.push_back({0, {}}); }
  void QueueTimeout() { reads.push_back({-3, {}}); }

  int WriteReports(const uint8_t* data, int count) override;
  int ReadReport(uint8_t* report, int timeoutMs) override;

  std::deque<Read> reads;
  bool endlessInvalid = false;  // after the script: invalid reports forever
  int writeResult = 0;          // 0: the count written; otherwise returned as is
  std::vector<Bytes> writes;
  std::vector<int> readTimeouts;
};

// Records every frame it was given.
class RecordingObserver : public FrameObserver {
 public:
  void OnRequest(const uint8_t* frame, size_t size) override { requests.emplace_back(frame, frame + size); }
  void OnReply(const uint8_t* frame, size_t size) override { replies.emplace_back(frame, frame + size); }
  std::vector<Bytes> requests;
  std::vector<Bytes> replies;
};

// A HID platform with a scripted set of interfaces and a tiny device behind
// every handle: it assembles the request frames written to it and, when one
// is complete, queues the next scripted reply as input transfers.
class FakePlatform : public HidPlatform {
 public:
  struct Interface {
    std::string path;
    HidAttributes attributes;
    bool attributesReadable = true;
  };
  struct ReadCall {
    HidHandle handle;
    int timeoutMs;
  };

  // Adds the scanner's interfaces 0 and 1 under `prefix`.
  void AddScanner(const std::string& prefix);
  void AddInterface(const std::string& path, uint16_t vendor, uint16_t product,
                    int interfaceNumber, bool readable = true);
  static std::string ScannerPath(const std::string& prefix, int interfaceNumber);

  // Replies, one a request frame, in order.
  void ScriptReply(uint8_t status, const Bytes& data);
  void ScriptTransfers(std::vector<Bytes> transfers);  // raw, 65 bytes or not
  void ScriptSilence() { ScriptTransfers({}); }
  // Input that is already waiting, ahead of any reply.
  void QueueInput(Bytes transfer) { input.push_back(std::move(transfer)); }
  static Bytes Transfer(const Bytes& report, uint8_t reportId = 0);

  int ListInterfaces(std::vector<std::string>* paths) override;
  bool ReadAttributes(const std::string& path, HidAttributes* attributes) override;
  HidOpenResult Open(const std::string& path, HidAccess access) override;
  int WriteReport(HidHandle handle, const uint8_t* report, int timeoutMs) override;
  int ReadReport(HidHandle handle, uint8_t* buffer, int timeoutMs) override;
  void Close(HidHandle handle) override;

  int OpenHandleCount() const { return static_cast<int>(open.size()); }
  // Reads that waited for a reply, not the ones that only drained input.
  std::vector<int> ReplyReadTimeouts() const;

  // Configuration.
  std::vector<Interface> interfaces;
  int listResult = 0;
  bool failReadOpen = false;
  bool failWriteOpen = false;
  OpenFailure openFailure = OpenFailure::kPermissionDenied;  // what a failed open says
  int failWriteNumber = 0;      // this write (1-based, counting every report) fails
  bool endlessInput = false;    // after the queue: a valid report forever

  // Record.
  std::vector<std::pair<std::string, HidAccess>> opens;
  std::vector<std::pair<HidHandle, HidAccess>> open;  // still open
  std::vector<HidHandle> closed;
  std::vector<std::array<uint8_t, kHidReportSize>> written;
  std::vector<int> writeTimeouts;
  std::vector<Bytes> frames;  // request frames as the device assembled them
  std::vector<ReadCall> reads;
  std::deque<Bytes> input;

 private:
  std::deque<std::vector<Bytes>> script_;
  Bytes pending_;
  HidHandle nextHandle_ = 10;
};

}  // namespace lumiq::test
