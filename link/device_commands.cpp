#include "link/device_commands.h"

#include <memory>

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

  std::unique_ptr<ScannerLink> link;  // on the platform current when it was made
  HidPlatform* platform = nullptr;    // nullptr: the native backend
  FrameObserver* observer = nullptr;
  OpenFailure lastFailure = OpenFailure::kNone;
  std::string lastRefusal;
};

DeviceConnection& Connection() {
  static DeviceConnection connection;
  return connection;
}

int Remember(const LinkOpenResult& result) {
  DeviceConnection& connection = Connection();
  connection.lastFailure = result.cause;
  connection.lastRefusal = result.refusal;
  return result.code;
}

}  // namespace

void UseHidPlatform(HidPlatform* platform) {
  DeviceConnection& connection = Connection();
  connection.platform = platform;
  // A link lives on the platform it was opened on, which its owner may be
  // about to destroy once it is replaced here.
  if (connection.link != nullptr && &connection.link->Platform() != &CurrentHidPlatform()) {
    connection.link.reset();
  }
}

HidPlatform& CurrentHidPlatform() {
  HidPlatform* platform = Connection().platform;
  return platform != nullptr ? *platform : NativeHidPlatform();
}

void SetFrameObserver(FrameObserver* observer) {
  DeviceConnection& connection = Connection();
  connection.observer = observer;
  if (connection.link != nullptr) connection.link->SetFrameObserver(observer);
}

ScannerLink& DeviceLink() {
  DeviceConnection& connection = Connection();
  if (connection.link == nullptr) {
    connection.link = std::make_unique<ScannerLink>(CurrentHidPlatform());
    connection.link->SetFrameObserver(connection.observer);
  }
  return *connection.link;
}

int OpenDevice() {
  // A discovery that finds nothing leaves a link held before as it was.
  return Remember(DeviceLink().Open());
}

int OpenDeviceAt(const std::string& path) { return Remember(DeviceLink().OpenAt(path)); }

OpenFailure LastOpenFailure() { return Connection().lastFailure; }

std::string LastOpenRefusal() { return Connection().lastRefusal; }

int CloseDevice() {
  DeviceConnection& connection = Connection();
  if (connection.link != nullptr) connection.link->Close();
  return 0;
}

bool IsDeviceOpen() {
  const DeviceConnection& connection = Connection();
  return connection.link != nullptr && connection.link->IsOpen();
}

int Handshake() { return DeviceLink().Handshake(); }

int GetSetting(std::string_view key, char* value, size_t valueSize) {
  return DeviceLink().GetSetting(key, value, valueSize);
}

int SetSetting(std::string_view key, std::string_view value) {
  return DeviceLink().SetSetting(key, value);
}

int CommitSettings() { return DeviceLink().CommitSettings(); }

int GetVersion(char* value, size_t valueSize, int* length) {
  return DeviceLink().GetVersion(value, valueSize, length);
}

}  // namespace lumiq
