#include "sim/simulated_scanner.h"

#include <algorithm>
#include <cstdio>

#include "link/frame_codec.h"
#include "link/hid_platform.h"
#include "link/report_channel.h"
#include "sim/seed_file.h"

namespace lumiq::sim {

namespace {

constexpr uint8_t kStatusOk = 0x00;
constexpr uint8_t kStatusRefused = 0x01;
// The status byte of the decoy transfers that come before a reply: a reader
// that took one of them for the reply would see a refusal, never a success.
constexpr uint8_t kStatusDecoy = 0xEE;
// Filler of padded set and commit replies, recognisable in a hex dump.
constexpr char kPaddingByte = '\x5A';

constexpr size_t kLengthOffset = 5;  // of a request frame

bool StartsWith(const uint8_t* data, const uint8_t (&header)[3]) {
  return data[0] == header[0] && data[1] == header[1] && data[2] == header[2];
}

constexpr uint8_t kHandshakeHeader[3] = {0x77, 0xCC, 0xDD};

uint8_t Xor(const uint8_t* bytes, size_t count) {
  uint8_t sum = 0;
  for (size_t i = 0; i < count; ++i) sum ^= bytes[i];
  return sum;
}

// Splits a set payload: key length, key, value length (LE), value. false when
// the lengths point past the payload; what could be read is kept.
bool ParseSetPayload(const uint8_t* payload, size_t size, std::string* key,
                     std::string* value) {
  if (size < 1) return false;
  const size_t keyLength = payload[0];
  const size_t keyAvailable = std::min(keyLength, size - 1);
  key->assign(reinterpret_cast<const char*>(payload + 1), keyAvailable);
  if (size < 1 + keyLength + 2) return false;
  const size_t valueLength = payload[1 + keyLength] | (payload[2 + keyLength] << 8);
  const size_t valueStart = 3 + keyLength;
  const size_t valueAvailable = std::min(valueLength, size - valueStart);
  value->assign(reinterpret_cast<const char*>(payload + valueStart), valueAvailable);
  return valueStart + valueLength == size;
}

}  // namespace

std::string SimulatedScanner::Value(const std::string& key) const {
  auto it = settings_.find(key);
  return it == settings_.end() ? std::string() : it->second;
}

bool SimulatedScanner::AcceptReport(const uint8_t* data) {
  bool committed = false;
  bool accepted = false;
  {
    std::lock_guard<std::mutex> lock(wire_);
    accepted = TakeReport(data, &committed);
  }
  // Outside the lock, so that the commit's work may use the wire itself.
  if (committed && onCommit) onCommit();
  return accepted;
}

bool SimulatedScanner::TakeReport(const uint8_t* data, bool* committed) {
  if (unplugged_) return false;
  if (pending_.empty()) {
    // Between frames the module listens only for a frame start; anything
    // else (a report id slip, zero fill) is dropped.
    if (!StartsWith(data, CommandFrame::kRequestHeader) &&
        !StartsWith(data, kHandshakeHeader)) {
      return true;
    }
    if (faults_.unplugFrom > 0 && commandCount_ + 1 >= faults_.unplugFrom) {
      UnplugLocked();
      return false;
    }
    const size_t payloadLength = data[kLengthOffset] | (data[kLengthOffset + 1] << 8);
    pendingSize_ = payloadLength + CommandFrame::kRequestOverhead;
  }
  pending_.insert(pending_.end(), data, data + kReportSize);
  if (pending_.size() < pendingSize_) return true;

  pending_.resize(pendingSize_);  // the zero fill of the last report
  std::vector<uint8_t> frame;
  frame.swap(pending_);
  pendingSize_ = 0;
  *committed = HandleFrame(frame);
  return true;
}

bool SimulatedScanner::TakeInput(std::vector<uint8_t>* transfer, bool waiting) {
  std::lock_guard<std::mutex> lock(wire_);
  if (unplugged_ || input_.empty()) return false;
  if (input_.front().crossing && !waiting) return false;
  *transfer = std::move(input_.front().transfer);
  input_.pop_front();
  return true;
}

void SimulatedScanner::NoteReadTimedOut() {
  std::lock_guard<std::mutex> lock(wire_);
  if (unplugged_) return;
  for (std::vector<uint8_t>& transfer : late_) input_.push_back({std::move(transfer), false});
  late_.clear();
}

bool SimulatedScanner::IsUnplugged() const {
  std::lock_guard<std::mutex> lock(wire_);
  return unplugged_;
}

int SimulatedScanner::Plugs() const {
  std::lock_guard<std::mutex> lock(wire_);
  return plugs_;
}

bool SimulatedScanner::IsHeld() const {
  std::lock_guard<std::mutex> lock(wire_);
  return holderPlatform_ != nullptr;
}

bool SimulatedScanner::Hold(const void* platform, long handle) {
  std::lock_guard<std::mutex> lock(wire_);
  if (holderPlatform_ != nullptr &&
      (holderPlatform_ != platform || holderHandle_ != handle)) {
    return false;
  }
  holderPlatform_ = platform;
  holderHandle_ = handle;
  return true;
}

void SimulatedScanner::Release(const void* platform, long handle) {
  std::lock_guard<std::mutex> lock(wire_);
  if (holderPlatform_ == platform && holderHandle_ == handle) {
    holderPlatform_ = nullptr;
    holderHandle_ = -1;
  }
}

void SimulatedScanner::Unplug() {
  std::lock_guard<std::mutex> lock(wire_);
  UnplugLocked();
}

void SimulatedScanner::UnplugLocked() {
  unplugged_ = true;
  pending_.clear();
  pendingSize_ = 0;
  input_.clear();
  late_.clear();
  holderPlatform_ = nullptr;
  holderHandle_ = -1;
}

void SimulatedScanner::Plug() {
  std::lock_guard<std::mutex> lock(wire_);
  if (!unplugged_) return;
  unplugged_ = false;
  faults_.unplugFrom = 0;
  ++plugs_;
}


bool SimulatedScanner::HandleFrame(const std::vector<uint8_t>& frame) {
  const int number = ++commandCount_;
  const size_t payloadLength = frame.size() - CommandFrame::kRequestOverhead;
  const uint8_t* payload = frame.data() + 7;

  ReceivedCommand command;
  command.command = frame[3];
  bool wellFormed = frame.back() == Xor(frame.data(), frame.size() - 1);
  switch (command.command) {
    case CommandFrame::kCommandSet:
      wellFormed = ParseSetPayload(payload, payloadLength, &command.key, &command.value) &&
                   wellFormed;
      break;
    case CommandFrame::kCommandGet:
      command.key.assign(reinterpret_cast<const char*>(payload), payloadLength);
      break;
    default:
      break;
  }
  received_.push_back(command);

  if (faults_.silentFrom > 0 && number >= faults_.silentFrom) return false;

  uint8_t status = kStatusOk;
  std::string data;
  bool committed = false;
  if (!wellFormed || faults_.refusedCommands.count(command.command) ||
      ((command.command == CommandFrame::kCommandGet ||
        command.command == CommandFrame::kCommandSet) &&
       faults_.refusedKeys.count(command.key))) {
    status = kStatusRefused;
    data.assign(static_cast<size_t>(std::max(faults_.refusalData, 0)), '\0');
  } else {
    switch (command.command) {
      case CommandFrame::kCommandHandshake:
        break;
      case CommandFrame::kCommandGet: {
        const std::string value = Value(command.key);
        const size_t length = command.key.size() + 3 + value.size();
        // The key length travels in one byte, the data length in two.
        if (command.key.size() > 0xFF || length > 0xFFFF) {
          status = kStatusRefused;
          break;
        }
        data.push_back(static_cast<char>(command.key.size()));
        data += command.key;
        data.push_back(static_cast<char>(value.size() & 0xFF));
        data.push_back(static_cast<char>(value.size() >> 8));
        data += value;
        break;
      }
      case CommandFrame::kCommandSet: {
        const auto kept = faults_.keptValues.find(command.key);
        settings_[command.key] = kept == faults_.keptValues.end() ? command.value : kept->second;
        data.assign(std::max(faults_.replyPadding, 0), kPaddingByte);
        break;
      }
      case CommandFrame::kCommandCommit:
        data.assign(std::max(faults_.replyPadding, 0), kPaddingByte);
        committed = true;
        break;
      default:
        status = kStatusRefused;
        break;
    }
  }
  // The commit's work follows once the reply is on its way, as the module
  // acknowledges before it writes its flash.
  QueueReply(Answer(frame, status, data));
  return committed;
}

std::vector<uint8_t> SimulatedScanner::Answer(const std::vector<uint8_t>& request,
                                              uint8_t status, const std::string& data) {
  std::vector<uint8_t> reply(request.begin(), request.begin() + 5);
  reply.push_back(status);
  reply.push_back(static_cast<uint8_t>(data.size() & 0xFF));
  reply.push_back(static_cast<uint8_t>(data.size() >> 8));
  reply.insert(reply.end(), data.begin(), data.end());
  reply.push_back(Xor(reply.data(), reply.size()));
  return reply;
}

std::vector<uint8_t> SimulatedScanner::Transfer(const uint8_t* report, size_t size) {
  std::vector<uint8_t> transfer(kHidReportSize, 0);
  std::copy(report, report + std::min<size_t>(size, kReportSize), transfer.begin() + 1);
  return transfer;
}

void SimulatedScanner::QueueReply(const std::vector<uint8_t>& frame) {
  const int number = commandCount_;
  std::vector<std::vector<uint8_t>> transfers;

  // The decoys carry the reply's first report with a failing status, so a
  // reader that does not reject them sees the wrong answer.
  std::vector<uint8_t> decoy(frame.begin(),
                             frame.begin() + std::min<size_t>(frame.size(), kReportSize));
  decoy[CommandFrame::kStatusOffset] = kStatusDecoy;
  if (faults_.wrongSizeReportAt == number) {
    std::vector<uint8_t> transfer = Transfer(decoy.data(), decoy.size());
    transfer.resize(std::max(faults_.wrongReportSize, 0), 0);
    transfers.push_back(std::move(transfer));
  }
  if (faults_.nonZeroReportIdAt == number) {
    std::vector<uint8_t> transfer = Transfer(decoy.data(), decoy.size());
    transfer[0] = 0x01;
    transfers.push_back(std::move(transfer));
  }

  std::vector<uint8_t> last;
  for (size_t offset = 0; offset < frame.size(); offset += kReportSize) {
    last = Transfer(frame.data() + offset, frame.size() - offset);
    transfers.push_back(last);
  }
  if (faults_.strayReportAfter == number) transfers.push_back(last);

  const size_t firstOfReply = input_.size();
  for (std::vector<uint8_t>& transfer : transfers) {
    if (faults_.lateReplyAt == number) {
      late_.push_back(std::move(transfer));
    } else {
      input_.push_back({std::move(transfer), false});
    }
  }
  if (faults_.continuationsInFlight) {
    for (size_t i = firstOfReply + 1; i < input_.size(); ++i) input_[i].crossing = true;
  }
}

std::string FormatCommand(const ReceivedCommand& command) {
  switch (command.command) {
    case CommandFrame::kCommandHandshake:
      return "HANDSHAKE";
    case CommandFrame::kCommandGet:
      return "GET " + EscapeBytes(command.key);
    case CommandFrame::kCommandSet:
      return "SET " + EscapeBytes(command.key) + "=" + EscapeBytes(command.value);
    case CommandFrame::kCommandCommit:
      return "COMMIT";
    default: {
      char text[16];
      std::snprintf(text, sizeof text, "UNKNOWN 0x%02X", command.command);
      return text;
    }
  }
}

}  // namespace lumiq::sim
