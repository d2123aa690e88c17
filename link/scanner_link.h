#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "link/frame_codec.h"
#include "link/hid_platform.h"

namespace lumiq {

class HidLink;

// Value buffers of the callers: 256 bytes for page settings, 1024 for
// `wifi0_httpph` and for the connect dialog's version read.
inline constexpr size_t kValueBufferSize = 256;
inline constexpr size_t kLongValueBufferSize = 1024;

// A set payload (key length, key, value length, value) holds at most this.
inline constexpr size_t kSetPayloadLimit = 256;
inline constexpr size_t kMaxKeyLength = 255;

inline constexpr char kVersionKey[] = "masterver";

// Result codes of an open.
inline constexpr int kOpened = 1;
inline constexpr int kOpenOutOfMemory = -1;
inline constexpr int kOpenNoScanner = -2;
inline constexpr int kOpenNoAnswer = -3;  // also: the link could not be created

// True when SetSetting can carry this key and value: a key of 1 to 255 bytes
// and K + V + 3 <= 256.
bool SetFits(std::string_view key, std::string_view value);

// How one open ended, and why when it failed. `cause` is kNotFound (-2, or a
// path with nothing there), kPermissionDenied or kInUse (-3, the link could
// not be created), kNotAScanner (-3, the path is a file, a disk or a socket,
// and nothing was written to it; `refusal` says what it is instead),
// kNoAnswer (-3, no handshake), kUnknown (anything else, -1 included);
// kNone after a success.
struct LinkOpenResult {
  int code = kOpenNoAnswer;
  OpenFailure cause = OpenFailure::kUnknown;
  std::string refusal;

  bool Opened() const { return code == kOpened; }
};

// One link to one scanner interface over `platform`, and the device commands
// on it. Any number of links may be open at once in one program, each on its
// own interface and each used from its own thread (the platforms are safe
// for that, see hid_platform.h); one link is used by one thread at a time.
// Everything is synchronous and runs on the calling thread.
class ScannerLink {
 public:
  explicit ScannerLink(HidPlatform& platform);
  ~ScannerLink();  // gives the link up
  ScannerLink(ScannerLink&& other) noexcept;
  ScannerLink& operator=(ScannerLink&& other) noexcept;
  ScannerLink(const ScannerLink&) = delete;
  ScannerLink& operator=(const ScannerLink&) = delete;

  HidPlatform& Platform() const { return *platform_; }

  // Sees every frame of every later exchange on this link (zrctl --trace);
  // nullptr for none. Not owned.
  void SetFrameObserver(FrameObserver* observer) { observer_ = observer; }

  // Discovery, link and handshake. 1 opened; -1 discovery out of memory; -2
  // no scanner (a link held before stays); -3 the link could not be created
  // or the scanner did not answer the handshake (no link afterwards).
  // While the link is open it holds the scanner for this link alone: another
  // program's open (ours, on any platform) fails at once with kInUse, and so
  // does another link's in this program.
  LinkOpenResult Open();
  // The same on a given interface path, without discovery.
  LinkOpenResult OpenAt(const std::string& path);
  // Gives the link up. Always 0.
  int Close();
  bool IsOpen() const;

  // 0 answered; -1 no link, not written or no valid reply; -2 status not 0.
  int Handshake();

  // Reads `key` into `value` (`valueSize` bytes). Returns the value's length
  // V (0 for an empty value) with a zero byte after it; -1 on any failure,
  // with `value` untouched: no reply, refusal, a reply too short to hold a
  // value, or a value that would not fit `valueSize` with its terminator.
  // Values may hold any byte, zero included: V, not the terminator, gives
  // their length.
  int GetSetting(std::string_view key, char* value, size_t valueSize);

  // Sends one setting: 0, or the failure code of Transact. A set that
  // SetFits refuses returns -1 with nothing sent.
  int SetSetting(std::string_view key, std::string_view value);

  // 0 success; -1 on any failure (including a reply that carries data).
  int CommitSettings();

  // Reads `masterver` into `value`. V > 0 also stored in `*length`; -1 on
  // failure or an empty version, `*length` untouched.
  int GetVersion(char* value, size_t valueSize, int* length);

 private:
  int Exchange(uint8_t command, uint8_t* buffer, size_t capacity, uint16_t* length);

  HidPlatform* platform_;
  std::unique_ptr<HidLink> link_;
  FrameObserver* observer_ = nullptr;
};

}  // namespace lumiq
