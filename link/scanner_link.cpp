#include "link/scanner_link.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "link/hid_transport.h"

namespace lumiq {

namespace {

// A get reply carries K + 3 bytes the tool does not read before the value.
constexpr size_t kGetValueOffset = 3;

LinkOpenResult Failed(int code, OpenFailure cause, std::string refusal = std::string()) {
  LinkOpenResult result;
  result.code = code;
  result.cause = cause;
  result.refusal = std::move(refusal);
  return result;
}

}  // namespace

bool SetFits(std::string_view key, std::string_view value) {
  return !key.empty() && key.size() <= kMaxKeyLength &&
         key.size() + value.size() + 3 <= kSetPayloadLimit;
}

ScannerLink::ScannerLink(HidPlatform& platform) : platform_(&platform) {}

ScannerLink::~ScannerLink() = default;

ScannerLink::ScannerLink(ScannerLink&& other) noexcept = default;

ScannerLink& ScannerLink::operator=(ScannerLink&& other) noexcept = default;

LinkOpenResult ScannerLink::Open() {
  char path[kDevicePathSize] = {};
  const int found = FindScannerPath(*platform_, path, sizeof path);
  if (found == kDiscoveryOutOfMemory) return Failed(kOpenOutOfMemory, OpenFailure::kUnknown);
  if (found != kScannerFound) return Failed(kOpenNoScanner, OpenFailure::kNotFound);
  return OpenAt(path);
}

LinkOpenResult ScannerLink::OpenAt(const std::string& path) {
  // The earlier link goes first: it holds the scanner, and a new link on the
  // same one would find it taken by this very link.
  link_.reset();
  auto link = std::make_unique<HidLink>(*platform_);
  HidOpenResult failed;
  if (link->OpenHandles(path.c_str(), &failed) != 0) {
    const OpenFailure cause =
        failed.failure == OpenFailure::kNone ? OpenFailure::kUnknown : failed.failure;
    return Failed(kOpenNoAnswer, cause,
                  cause == OpenFailure::kNotAScanner ? failed.refusal : std::string());
  }
  link_ = std::move(link);
  if (Handshake() < 0) {
    link_.reset();  // closes both handles
    return Failed(kOpenNoAnswer, OpenFailure::kNoAnswer);
  }
  LinkOpenResult opened;
  opened.code = kOpened;
  opened.cause = OpenFailure::kNone;
  return opened;
}

int ScannerLink::Close() {
  link_.reset();
  return 0;
}

bool ScannerLink::IsOpen() const { return link_ != nullptr; }

int ScannerLink::Exchange(uint8_t command, uint8_t* buffer, size_t capacity, uint16_t* length) {
  return Transact(link_.get(), command, 0x00, buffer, capacity, length, kReplyTimeoutMs,
                  observer_);
}

int ScannerLink::Handshake() {
  HidLink* link = link_.get();
  if (link == nullptr) return -1;

  const uint8_t* frame = CommandFrame::kHandshake;
  const int frameSize = static_cast<int>(sizeof CommandFrame::kHandshake);
  if (observer_ != nullptr) observer_->OnRequest(frame, static_cast<size_t>(frameSize));
  if (link->WriteReports(frame, frameSize) < 1) return -1;

  uint8_t reply[kReportSize] = {};
  if (link->ReadReport(reply, kReplyTimeoutMs) != kReportSize) return -1;
  if (observer_ != nullptr) {
    const size_t dataLength =
        reply[CommandFrame::kReplyLengthOffset] |
        (reply[CommandFrame::kReplyLengthOffset + 1] << 8);
    observer_->OnReply(
        reply, std::min<size_t>(kReportSize, dataLength + CommandFrame::kReplyOverhead));
  }
  return reply[CommandFrame::kStatusOffset] == 0 ? 0 : -2;
}

int ScannerLink::GetSetting(std::string_view key, char* value, size_t valueSize) {
  if (key.empty() || key.size() > kMaxKeyLength || value == nullptr || valueSize == 0) {
    return -1;
  }
  // Room for the longest value that fits the caller's buffer with its
  // terminator, and for the rest of the report that value ends in: such a
  // value is read whole however many reports it spans.
  const size_t longestReply =
      std::min<size_t>(key.size() + kGetValueOffset + (valueSize - 1), UINT16_MAX);
  const size_t capacity = std::max(
      key.size(), CommandFrame::ReplyBytesDelivered(static_cast<uint16_t>(longestReply)));
  std::vector<uint8_t> buffer(capacity);
  std::memcpy(buffer.data(), key.data(), key.size());

  uint16_t length = static_cast<uint16_t>(key.size());
  if (Exchange(CommandFrame::kCommandGet, buffer.data(), buffer.size(), &length) != 0) {
    return -1;
  }
  const size_t valueOffset = key.size() + kGetValueOffset;
  if (length < valueOffset) return -1;
  const size_t valueLength = length - valueOffset;
  if (valueLength + 1 > valueSize) return -1;
  std::memcpy(value, buffer.data() + valueOffset, valueLength);
  value[valueLength] = '\0';
  return static_cast<int>(valueLength);
}

int ScannerLink::SetSetting(std::string_view key, std::string_view value) {
  if (!SetFits(key, value)) return -1;
  uint8_t buffer[kSetPayloadLimit];
  size_t at = 0;
  buffer[at++] = static_cast<uint8_t>(key.size());
  std::memcpy(buffer + at, key.data(), key.size());
  at += key.size();
  buffer[at++] = static_cast<uint8_t>(value.size() & 0xFF);
  buffer[at++] = static_cast<uint8_t>(value.size() >> 8);
  if (!value.empty()) std::memcpy(buffer + at, value.data(), value.size());
  at += value.size();

  uint16_t length = static_cast<uint16_t>(at);
  return Exchange(CommandFrame::kCommandSet, buffer, sizeof buffer, &length);
}

int ScannerLink::CommitSettings() {
  // Room for no reply data: a commit that answers with data is not one the
  // tool understands.
  uint8_t buffer[1] = {};
  uint16_t length = 0;
  return Exchange(CommandFrame::kCommandCommit, buffer, sizeof buffer, &length) == 0 ? 0 : -1;
}

int ScannerLink::GetVersion(char* value, size_t valueSize, int* length) {
  const int valueLength = GetSetting(kVersionKey, value, valueSize);
  if (valueLength <= 0) return -1;
  if (length != nullptr) *length = valueLength;
  return valueLength;
}

}  // namespace lumiq
