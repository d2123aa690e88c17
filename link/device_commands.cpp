#include "link/device_commands.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "link/hid_transport.h"

namespace lumiq {

namespace {

struct DeviceConnection {
  // The native backend is built before the connection is, so it is destroyed
  // after it: a link still held when the program ends (the application never
  // closes its link) closes its handles on a live platform, whichever of the
  // two was asked for first.
  DeviceConnection() { NativeHidPlatform(); }
  ~DeviceConnection() { link.reset(); }
  DeviceConnection(const DeviceConnection&) = delete;
  DeviceConnection& operator=(const DeviceConnection&) = delete;

  std::unique_ptr<HidLink> link;
  HidPlatform* linkPlatform = nullptr;  // the platform `link` was opened on
  HidPlatform* platform = nullptr;      // nullptr: the native backend
  FrameObserver* observer = nullptr;
  OpenFailure lastFailure = OpenFailure::kNone;
  std::string lastRefusal;
};

DeviceConnection& Connection() {
  static DeviceConnection connection;
  return connection;
}

// A get reply carries K + 3 bytes the tool does not read before the value.
constexpr size_t kGetValueOffset = 3;

int Exchange(uint8_t command, uint8_t* buffer, size_t capacity, uint16_t* length) {
  DeviceConnection& connection = Connection();
  return Transact(connection.link.get(), command, 0x00, buffer, capacity, length,
                  kReplyTimeoutMs, connection.observer);
}

}  // namespace

bool SetFits(std::string_view key, std::string_view value) {
  return !key.empty() && key.size() <= kMaxKeyLength &&
         key.size() + value.size() + 3 <= kSetPayloadLimit;
}

void UseHidPlatform(HidPlatform* platform) {
  DeviceConnection& connection = Connection();
  connection.platform = platform;
  // A link lives on the platform it was opened on, which its owner may be
  // about to destroy once it is replaced here.
  if (connection.link != nullptr && connection.linkPlatform != &CurrentHidPlatform()) {
    connection.link.reset();
    connection.linkPlatform = nullptr;
  }
}

HidPlatform& CurrentHidPlatform() {
  HidPlatform* platform = Connection().platform;
  return platform != nullptr ? *platform : NativeHidPlatform();
}

void SetFrameObserver(FrameObserver* observer) { Connection().observer = observer; }

int OpenDevice() {
  DeviceConnection& connection = Connection();
  char path[kDevicePathSize] = {};
  const int found = FindScannerPath(CurrentHidPlatform(), path, sizeof path);
  if (found == kDiscoveryOutOfMemory) {
    connection.lastFailure = OpenFailure::kUnknown;
    return kOpenOutOfMemory;
  }
  if (found != kScannerFound) {
    connection.lastFailure = OpenFailure::kNotFound;
    return kOpenNoScanner;
  }
  return OpenDeviceAt(path);
}

int OpenDeviceAt(const std::string& path) {
  DeviceConnection& connection = Connection();
  // The earlier link goes first: it holds the scanner, and a new link on the
  // same one would find it taken by its own program.
  connection.link.reset();
  connection.linkPlatform = nullptr;
  connection.lastRefusal.clear();
  HidPlatform& platform = CurrentHidPlatform();
  auto link = std::make_unique<HidLink>(platform);
  if (link->OpenHandles(path.c_str()) != 0) {
    const OpenFailure cause = platform.LastOpenFailure();
    connection.lastFailure = cause == OpenFailure::kNone ? OpenFailure::kUnknown : cause;
    if (cause == OpenFailure::kNotAScanner) connection.lastRefusal = platform.LastOpenRefusal();
    return kOpenNoAnswer;
  }
  connection.link = std::move(link);
  connection.linkPlatform = &platform;
  if (Handshake() < 0) {
    connection.link.reset();  // closes both handles
    connection.linkPlatform = nullptr;
    connection.lastFailure = OpenFailure::kNoAnswer;
    return kOpenNoAnswer;
  }
  connection.lastFailure = OpenFailure::kNone;
  return kOpened;
}

OpenFailure LastOpenFailure() { return Connection().lastFailure; }

std::string LastOpenRefusal() { return Connection().lastRefusal; }

int CloseDevice() {
  DeviceConnection& connection = Connection();
  connection.link.reset();
  connection.linkPlatform = nullptr;
  return 0;
}

bool IsDeviceOpen() { return Connection().link != nullptr; }

int Handshake() {
  DeviceConnection& connection = Connection();
  HidLink* link = connection.link.get();
  if (link == nullptr) return -1;

  const uint8_t* frame = CommandFrame::kHandshake;
  const int frameSize = static_cast<int>(sizeof CommandFrame::kHandshake);
  if (connection.observer != nullptr) {
    connection.observer->OnRequest(frame, static_cast<size_t>(frameSize));
  }
  if (link->WriteReports(frame, frameSize) < 1) return -1;

  uint8_t reply[kReportSize] = {};
  if (link->ReadReport(reply, kReplyTimeoutMs) != kReportSize) return -1;
  if (connection.observer != nullptr) {
    const size_t dataLength =
        reply[CommandFrame::kReplyLengthOffset] |
        (reply[CommandFrame::kReplyLengthOffset + 1] << 8);
    connection.observer->OnReply(
        reply, std::min<size_t>(kReportSize, dataLength + CommandFrame::kReplyOverhead));
  }
  return reply[CommandFrame::kStatusOffset] == 0 ? 0 : -2;
}

int GetSetting(std::string_view key, char* value, size_t valueSize) {
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

int SetSetting(std::string_view key, std::string_view value) {
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

int CommitSettings() {
  // Room for no reply data: a commit that answers with data is not one the
  // tool understands.
  uint8_t buffer[1] = {};
  uint16_t length = 0;
  return Exchange(CommandFrame::kCommandCommit, buffer, sizeof buffer, &length) == 0
             ? 0
             : -1;
}

int GetVersion(char* value, size_t valueSize, int* length) {
  const int valueLength = GetSetting(kVersionKey, value, valueSize);
  if (valueLength <= 0) return -1;
  if (length != nullptr) *length = valueLength;
  return valueLength;
}

}  // namespace lumiq
