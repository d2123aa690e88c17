#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/simulated_scanner.h"

namespace lumiq::test {

// Frames built by hand, apart from the link's codec, so that a fault in the
// codec cannot hide a matching fault in the scanner.
inline std::vector<uint8_t> RequestFrame(uint8_t command, const std::string& payload) {
  // Sized up front: GCC 12 misreads a vector::insert into a 7-byte vector as
  // an overflow under -O2.
  std::vector<uint8_t> frame(payload.size() + 8, 0);
  const uint8_t header[7] = {0x66, 0xBB, 0xEE, command, 0x00,
                             static_cast<uint8_t>(payload.size() & 0xFF),
                             static_cast<uint8_t>(payload.size() >> 8)};
  std::copy(header, header + 7, frame.begin());
  std::copy(payload.begin(), payload.end(), frame.begin() + 7);
  uint8_t sum = 0;
  for (size_t i = 0; i + 1 < frame.size(); ++i) sum ^= frame[i];
  frame.back() = sum;
  return frame;
}

inline std::vector<uint8_t> HandshakeFrame() {
  return {0x77, 0xCC, 0xDD, 0x01, 0x00, 0x00, 0x00, 0x67};
}

inline std::string SetPayload(const std::string& key, const std::string& value) {
  std::string payload(1, static_cast<char>(key.size()));
  payload += key;
  payload += static_cast<char>(value.size() & 0xFF);
  payload += static_cast<char>(value.size() >> 8);
  return payload + value;
}

// Writes a frame as the link does: 64-byte reports, the last zero-filled.
// false as soon as the scanner refuses a report.
inline bool SendFrame(sim::SimulatedScanner& scanner, const std::vector<uint8_t>& frame) {
  for (size_t offset = 0; offset < frame.size(); offset += 64) {
    uint8_t report[64] = {};
    for (size_t i = 0; i < 64 && offset + i < frame.size(); ++i) report[i] = frame[offset + i];
    if (!scanner.AcceptReport(report)) return false;
  }
  return true;
}

// Every input transfer queued now, in order.
inline std::vector<std::vector<uint8_t>> TakeAll(sim::SimulatedScanner& scanner) {
  std::vector<std::vector<uint8_t>> transfers;
  std::vector<uint8_t> transfer;
  while (scanner.TakeInput(&transfer)) transfers.push_back(transfer);
  return transfers;
}

struct Reply {
  std::vector<uint8_t> bytes;  // the reports' data bytes, concatenated
  uint8_t status = 0xFF;
  size_t length = 0;
  std::string data;
  bool checksumOk = false;
};

// Reads the transfers as one reply frame.
inline Reply ParseReply(const std::vector<std::vector<uint8_t>>& transfers) {
  Reply reply;
  for (const std::vector<uint8_t>& transfer : transfers) {
    reply.bytes.insert(reply.bytes.end(), transfer.begin() + 1, transfer.end());
  }
  if (reply.bytes.size() < 9) return reply;
  reply.status = reply.bytes[5];
  reply.length = reply.bytes[6] | (reply.bytes[7] << 8);
  if (reply.bytes.size() < reply.length + 9) return reply;
  reply.data.assign(reply.bytes.begin() + 8, reply.bytes.begin() + 8 + reply.length);
  uint8_t sum = 0;
  for (size_t i = 0; i < 8 + reply.length; ++i) sum ^= reply.bytes[i];
  reply.checksumOk = sum == reply.bytes[8 + reply.length];
  return reply;
}

// One request, its whole reply.
inline Reply Exchange(sim::SimulatedScanner& scanner, const std::vector<uint8_t>& frame) {
  SendFrame(scanner, frame);
  return ParseReply(TakeAll(scanner));
}

}  // namespace lumiq::test
