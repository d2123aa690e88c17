#include "link/frame_codec.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumiq {

namespace {

// A device that keeps sending reports the transport cannot use would
// otherwise hold the user-interface thread forever; a real scanner sends
// none, so a handful is already generous.
constexpr int kMaxInvalidReportsPerReply = 64;

uint16_t ReplyDataLength(const uint8_t* report) {
  return static_cast<uint16_t>(report[CommandFrame::kReplyLengthOffset] |
                               (report[CommandFrame::kReplyLengthOffset + 1] << 8));
}

// Collects the reply frame for an observer, never more than the frame itself.
class ReplyRecord {
 public:
  explicit ReplyRecord(FrameObserver* observer) : observer_(observer) {}

  void Add(const uint8_t* report, size_t frameSize) {
    if (observer_ == nullptr || bytes_.size() >= frameSize) return;
    const size_t take = std::min<size_t>(kReportSize, frameSize - bytes_.size());
    bytes_.insert(bytes_.end(), report, report + take);
  }

  void Deliver() {
    if (observer_ != nullptr && !bytes_.empty()) {
      observer_->OnReply(bytes_.data(), bytes_.size());
    }
  }

 private:
  FrameObserver* observer_;
  std::vector<uint8_t> bytes_;
};

}  // namespace

size_t CommandFrame::ReplyReportCount(uint16_t dataLength) {
  const size_t frameSize = size_t{dataLength} + kReplyOverhead;
  return (frameSize + kReportSize - 1) / kReportSize;
}

size_t CommandFrame::ReplyBytesDelivered(uint16_t dataLength) {
  if (dataLength == 0) return 0;
  return ReplyReportCount(dataLength) * kReportSize - kReplyOverhead;
}

size_t CommandFrame::BuildRequest(uint8_t command, uint8_t subCommand,
                                  const uint8_t* payload, uint16_t payloadLength,
                                  uint8_t* frame) {
  frame[0] = kRequestHeader[0];
  frame[1] = kRequestHeader[1];
  frame[2] = kRequestHeader[2];
  frame[3] = command;
  frame[4] = subCommand;
  frame[5] = static_cast<uint8_t>(payloadLength & 0xFF);
  frame[6] = static_cast<uint8_t>(payloadLength >> 8);
  if (payloadLength > 0) std::memcpy(frame + 7, payload, payloadLength);
  const size_t checksumAt = 7 + size_t{payloadLength};
  uint8_t checksum = 0;
  for (size_t i = 0; i < checksumAt; ++i) checksum ^= frame[i];
  frame[checksumAt] = checksum;
  return checksumAt + 1;
}

int Transact(ReportChannel* channel, uint8_t command, uint8_t subCommand,
             uint8_t* buffer, size_t capacity, uint16_t* length, int timeoutMs,
             FrameObserver* observer) {
  if (channel == nullptr || length == nullptr) return kTransactNotSent;
  const uint16_t payloadLength = *length;
  if (payloadLength > CommandFrame::kMaxPayload || payloadLength > capacity ||
      (payloadLength > 0 && buffer == nullptr)) {
    return kTransactNotSent;
  }

  uint8_t frame[CommandFrame::kFrameBufferSize];
  const size_t frameSize =
      CommandFrame::BuildRequest(command, subCommand, buffer, payloadLength, frame);
  if (observer != nullptr) observer->OnRequest(frame, frameSize);
  if (channel->WriteReports(frame, static_cast<int>(frameSize)) < 1) {
    return kTransactNotSent;
  }

  uint8_t report[kReportSize];
  if (channel->ReadReport(report, timeoutMs) != kReportSize) return kTransactNoReply;

  const uint16_t dataLength = ReplyDataLength(report);
  const size_t replySize = size_t{dataLength} + CommandFrame::kReplyOverhead;
  ReplyRecord record(observer);
  record.Add(report, replySize);

  // A refusal is read to its end like any other reply. Its data may span
  // several reports, and their remainder crosses the endpoint only after the
  // zero-wait drain before the next request has run: left unread, it would
  // be taken as that request's answer. Nothing of it reaches `buffer`.
  const bool refused = report[CommandFrame::kStatusOffset] != 0;

  // The reply lands in the caller's buffer as the bytes from frame offset 8
  // up to, not including, the last byte of the last report. A reply that
  // would not fit is still read to its end, so that its remaining reports
  // are not taken as the answer to the next request.
  const size_t delivered = CommandFrame::ReplyBytesDelivered(dataLength);
  const bool fits = !refused && delivered <= capacity;
  const size_t reportCount = CommandFrame::ReplyReportCount(dataLength);

  auto copyOut = [&](size_t reportIndex) {
    if (!fits || delivered == 0) return;
    const size_t first = reportIndex * kReportSize;  // frame offset of report[0]
    const size_t begin = std::max(first, CommandFrame::kReplyHeaderSize);
    const size_t end =
        std::min(first + kReportSize, CommandFrame::kReplyHeaderSize + delivered);
    if (begin < end) {
      std::memcpy(buffer + (begin - CommandFrame::kReplyHeaderSize),
                  report + (begin - first), end - begin);
    }
  };

  copyOut(0);
  int invalidReports = 0;
  for (size_t index = 1; index < reportCount;) {
    const int r = channel->ReadReport(report, timeoutMs);
    if (r < 0) {
      record.Deliver();
      return refused ? kTransactRefused : kTransactNoReply;
    }
    if (r != kReportSize) {
      if (++invalidReports > kMaxInvalidReportsPerReply) {
        record.Deliver();
        return refused ? kTransactRefused : kTransactNoReply;
      }
      continue;
    }
    record.Add(report, replySize);
    copyOut(index);
    ++index;
  }

  record.Deliver();
  if (refused) return kTransactRefused;
  if (!fits) return kTransactNoReply;
  *length = dataLength;
  return kTransactOk;
}

}  // namespace lumiq
