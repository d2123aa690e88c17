#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "link/frame_codec.h"
#include "link/hid_platform.h"
#include "link/scanner_link.h"

namespace lumiq {

// The window's device connection: plain functions over the one ScannerLink
// the window holds. Everything is synchronous and runs on the calling
// (user-interface) thread. Programs that talk to several scanners (zrctl)
// make ScannerLink values of their own instead.

// The platform OpenDevice discovers scanners on. Not owned; nullptr goes back
// to the native backend. Tests and the demo plug the simulated scanner in here.
// A link held on the platform being replaced is closed first, so the caller
// may destroy that platform afterwards.
void UseHidPlatform(HidPlatform* platform);
HidPlatform& CurrentHidPlatform();

// Sees every frame of every later exchange on the connection; nullptr for none.
void SetFrameObserver(FrameObserver* observer);

// The connection's link, on the current platform: for what takes a
// ScannerLink, such as Identify. Valid until the next UseHidPlatform.
ScannerLink& DeviceLink();

// ScannerLink::Open and OpenAt on the connection's link: 1 opened; -1
// discovery out of memory; -2 no scanner (a link held before stays); -3 the
// link could not be created or the scanner did not answer the handshake (no
// link afterwards).
int OpenDevice();
int OpenDeviceAt(const std::string& path);

// Why the connection's last OpenDevice or OpenDeviceAt failed, for the
// messages that name the cause (see LinkOpenResult); kNone after a success
// and before any open.
OpenFailure LastOpenFailure();
// After kNotAScanner, what the path is instead ("a regular file").
std::string LastOpenRefusal();
// Gives the link up. Always 0.
int CloseDevice();
bool IsDeviceOpen();

// The device commands of ScannerLink, on the connection's link (same codes,
// same buffer rules).
int Handshake();
int GetSetting(std::string_view key, char* value, size_t valueSize);
int SetSetting(std::string_view key, std::string_view value);
int CommitSettings();
int GetVersion(char* value, size_t valueSize, int* length);

}  // namespace lumiq
