#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "link/frame_codec.h"
#include "link/hid_platform.h"

namespace lumiq {

// The device link's face towards the user interface: plain functions over
// one module-level DeviceConnection, which holds the current HidLink or none.
// Everything is synchronous and runs on the calling (user-interface) thread.

// Value buffers of the callers: 256 bytes for page settings, 1024 for
// `wifi0_httpph` and for the connect dialog's version read.
inline constexpr size_t kValueBufferSize = 256;
inline constexpr size_t kLongValueBufferSize = 1024;

// A set payload (key length, key, value length, value) holds at most this.
inline constexpr size_t kSetPayloadLimit = 256;
inline constexpr size_t kMaxKeyLength = 255;

inline constexpr char kVersionKey[] = "masterver";

// Result codes of OpenDevice.
inline constexpr int kOpened = 1;
inline constexpr int kOpenOutOfMemory = -1;
inline constexpr int kOpenNoScanner = -2;
inline constexpr int kOpenNoAnswer = -3;  // also: the link could not be created

// True when SetSetting can carry this key and value: a key of 1 to 255 bytes
// and K + V + 3 <= 256.
bool SetFits(std::string_view key, std::string_view value);

// The platform OpenDevice discovers scanners on. Not owned; nullptr goes back
// to the native backend. Tests and the demo plug the simulated scanner in here.
// A link held on the platform being replaced is closed first, so the caller
// may destroy that platform afterwards.
void UseHidPlatform(HidPlatform* platform);
HidPlatform& CurrentHidPlatform();

// Sees every frame of every later exchange (zrctl --trace); nullptr for none.
void SetFrameObserver(FrameObserver* observer);

// Discovery, link and handshake. 1 opened; -1 discovery out of memory; -2 no
// scanner (a link held before stays); -3 the link could not be created or the
// scanner did not answer the handshake (no link afterwards).
// While the link is open it holds the scanner for this program alone: another
// program's open (ours, on any platform) fails at once with kInUse, and so
// does a second link on it in this program.
int OpenDevice();
// The same on a given interface path, without discovery.
int OpenDeviceAt(const std::string& path);

// Why the last OpenDevice or OpenDeviceAt failed, for the messages that name
// the cause: kNotFound (-2, or a path with nothing there), kPermissionDenied
// or kInUse (-3, the link could not be created), kNotAScanner (-3, the
// path is a file, a disk or a socket, and nothing was written to it),
// kNoAnswer (-3, no handshake), kUnknown (anything else, -1 included); kNone
// after a success and before any open.
OpenFailure LastOpenFailure();
// After kNotAScanner, what the path is instead ("a regular file").
std::string LastOpenRefusal();
// Gives the link up. Always 0.
int CloseDevice();
bool IsDeviceOpen();

// 0 answered; -1 no link, not written or no valid reply; -2 status not 0.
int Handshake();

// Reads `key` into `value` (`valueSize` bytes). Returns the value's length V
// (0 for an empty value) with a zero byte after it; -1 on any failure, with
// `value` untouched: no reply, refusal, a reply too short to hold a value, or
// a value that would not fit `valueSize` with its terminator. Values may hold
// any byte, zero included: V, not the terminator, gives their length.
int GetSetting(std::string_view key, char* value, size_t valueSize);

// Sends one setting: 0, or the failure code of Transact. A set that
// SetFits refuses returns -1 with nothing sent.
int SetSetting(std::string_view key, std::string_view value);

// 0 success; -1 on any failure (including a reply that carries data).
int CommitSettings();

// Reads `masterver` into `value`. V > 0 also stored in `*length`; -1 on
// failure or an empty version, `*length` untouched.
int GetVersion(char* value, size_t valueSize, int* length);

}  // namespace lumiq
