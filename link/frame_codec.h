#pragma once

#include <cstddef>
#include <cstdint>

#include "link/report_channel.h"

namespace lumiq {

// Layouts of the request and reply frames.
//
// Request: 66 BB EE, command, sub-command, payload length N (little-endian),
//          N payload bytes, XOR of every byte before it.
// Reply:   5 leading bytes, status (0 = success), data length L
//          (little-endian), L data bytes, checksum. The codec reads only the
//          status and the length: scanners differ in what they put elsewhere.
struct CommandFrame {
  static constexpr uint8_t kRequestHeader[3] = {0x66, 0xBB, 0xEE};
  static constexpr uint8_t kHandshake[8] = {0x77, 0xCC, 0xDD, 0x01,
                                            0x00, 0x00, 0x00, 0x67};

  static constexpr uint8_t kCommandHandshake = 0x01;
  static constexpr uint8_t kCommandSet = 0x07;
  static constexpr uint8_t kCommandGet = 0x08;
  static constexpr uint8_t kCommandCommit = 0x09;

  static constexpr size_t kRequestOverhead = 8;  // 7 header bytes + checksum
  static constexpr size_t kReplyHeaderSize = 8;  // data start at offset 8
  static constexpr size_t kReplyOverhead = 9;    // header + checksum
  static constexpr size_t kStatusOffset = 5;
  static constexpr size_t kReplyLengthOffset = 6;

  static constexpr size_t kFrameBufferSize = 1024;
  static constexpr size_t kMaxPayload = kFrameBufferSize - kRequestOverhead;

  // Number of reports a reply with `dataLength` data bytes spans.
  static size_t ReplyReportCount(uint16_t dataLength);

  // Bytes Transact copies into the caller's buffer for such a reply: the data
  // and whatever else the reports carry up to, not including, the last byte
  // of the last report (64·n − 9). 0 when L is 0.
  static size_t ReplyBytesDelivered(uint16_t dataLength);

  // Builds a request frame of payloadLength + 8 bytes into `frame`, which
  // must hold that many. Returns the frame length.
  static size_t BuildRequest(uint8_t command, uint8_t subCommand,
                             const uint8_t* payload, uint16_t payloadLength,
                             uint8_t* frame);
};

// Sees every request frame written and every reply frame received, for
// tracing. Reply frames are given as far as they were received.
class FrameObserver {
 public:
  virtual ~FrameObserver() = default;
  virtual void OnRequest(const uint8_t* frame, size_t size) = 0;
  virtual void OnReply(const uint8_t* frame, size_t size) = 0;
};

// Result codes of Transact.
inline constexpr int kTransactOk = 0;
inline constexpr int kTransactNotSent = -1;    // not written, no channel, or payload too long
inline constexpr int kTransactNoReply = -2;    // no valid reply, a continuation missing, or reply too long for `buffer`
inline constexpr int kTransactRefused = -3;    // the reply's status byte is not 0 (read to its end)

// Sends one request and receives its reply.
// `buffer` holds the request payload (`*length` bytes) on entry and receives
// the reply data on success; `capacity` is its size, and a reply whose
// delivered bytes would not fit is refused with -2 before anything is copied.
// On success `*length` is the reply's data length L; on failure `buffer` may
// hold part of a reply but never past `capacity`, and `*length` is unchanged.
int Transact(ReportChannel* channel, uint8_t command, uint8_t subCommand,
             uint8_t* buffer, size_t capacity, uint16_t* length,
             int timeoutMs = kReplyTimeoutMs, FrameObserver* observer = nullptr);

}  // namespace lumiq
