#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/report_channel.h"

namespace lumiq {

// The things the link needs of a platform's HID services (six operations,
// and where a device is plugged in, for listing). Each backend
// (link/platform/) implements all of them and keeps its quirks to itself;
// nothing above this interface knows which platform it runs on.

using HidHandle = std::intptr_t;
inline constexpr HidHandle kInvalidHidHandle = -1;

// On the wire a report is a report id byte (0) and 64 data bytes.
inline constexpr int kHidReportSize = 1 + kReportSize;

// What ReadReport returns when no report came: the wait timed out or failed.
// The report channel says the same of its reads, with the same value.
inline constexpr int kHidReadFailed = kNoReport;

// How long a report write that is under way may take before it is given up,
// where the platform lets a write be given up: the Windows backend cancels it
// then. A Linux hidraw write cannot be: write(2) on the node is synchronous,
// ignores O_NONBLOCK and sends the report with the kernel's own USB time-out
// of 5000 ms, so there a wedged scanner holds one report write up to 5 s.
inline constexpr int kWriteTimeoutMs = 2000;

struct HidAttributes {
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  // The USB interface number as the platform tells it, or -1 when unknown.
  // The Windows backend derives it from the path's "&mi_01" marker.
  int interfaceNumber = -1;
};

enum class HidAccess { kRead, kWrite };

// Why an interface could not be opened, as far as the platform can tell.
enum class OpenFailure {
  kNone,              // it was opened
  kNotFound,          // no such interface (never there, or unplugged)
  kPermissionDenied,  // there, but this user may not open it
  kInUse,             // there, but another program (or another link of
                      // this one) holds it
  kNoAnswer,          // opened, but the scanner did not answer (link level)
  kNotAScanner,       // there, but not a HID interface: refused before opening
                      // it for writing (a file, a disk, a socket)
  kUnknown,           // any other reason
};

// What one Open gave: the handle, or why there is none. Each call returns its
// own, so two threads opening at once never see each other's cause.
struct HidOpenResult {
  HidHandle handle = kInvalidHidHandle;
  OpenFailure failure = OpenFailure::kNone;  // kNone when `handle` is valid
  // After kNotAScanner: what the path is instead, for a message
  // ("a regular file"); empty otherwise.
  std::string refusal;
  // The system's own code for the failure (errno on Linux, GetLastError()
  // on Windows); 0 after a success or when the backend has none.
  long systemError = 0;

  bool Opened() const { return handle != kInvalidHidHandle; }
};

// Threads: a backend may be called from several threads at once, so that
// one program can talk to several scanners side by side, each on its own
// thread. Its shared state (the list of devices, the holds taken by read
// handles) is guarded inside it. One handle is used by one thread at a time:
// a handle's reads and writes are not serialised by the backend, and Close
// must not race a transfer on the same handle.
class HidPlatform {
 public:
  virtual ~HidPlatform() = default;

  // 1. Paths of the present HID interfaces, in enumeration order.
  //    0 on success; -1 when the platform ran out of memory.
  virtual int ListInterfaces(std::vector<std::string>* paths) = 0;

  // 2. Vendor and product id (and interface number) of an interface, without
  //    opening it for reading or writing. false when they cannot be read.
  virtual bool ReadAttributes(const std::string& path,
                              HidAttributes* attributes) = 0;

  // 3. Opens an interface for reading or for writing; on failure the handle
  //    is kInvalidHidHandle and the result says why. Opening for reading
  //    also takes the interface for this handle alone, across programs and
  //    within one, until it is closed: while it is held, every other open
  //    for reading fails with OpenFailure::kInUse. (A link opens the read
  //    handle first, so it holds the interface before it writes.)
  virtual HidOpenResult Open(const std::string& path, HidAccess access) = 0;

  // 4. Writes one 65-byte output report (byte 0 is the report id).
  //    65 when done; -1 on failure, or when the write is still under way
  //    after `timeoutMs` on a platform that can cancel it (see
  //    kWriteTimeoutMs for the one that cannot).
  virtual int WriteReport(HidHandle handle, const uint8_t* report,
                          int timeoutMs) = 0;

  // 5. Reads one input report into `buffer` (65 bytes), waiting at most
  //    `timeoutMs`. Returns the number of bytes that arrived (a valid report
  //    is 65 bytes with byte 0 = 0; a backend whose devices deliver unnumbered
  //    64-byte input hands it on as such), or kHidReadFailed on time-out or a failed wait.
  //    A read that timed out never completes into `buffer` later.
  virtual int ReadReport(HidHandle handle, uint8_t* buffer, int timeoutMs) = 0;

  // 6. Releases what Open returned.
  virtual void Close(HidHandle handle) = 0;

  // Where the interface's device is plugged in, so that an operator can
  // tell two scanners apart by their sockets: on Linux the USB bus-port path
  // ("1-2.3"), on Windows the device's location information; read without
  // opening the interface. Empty when the platform cannot tell.
  virtual std::string PortOf(const std::string& /*path*/) { return std::string(); }
};

// The backend of the platform this program was built for: one instance for
// the program's life, shared by every link. The window's device connection
// makes sure it is built before the connection itself, so it is also
// destroyed after it and a link still held at exit closes its handles on a
// live platform.
HidPlatform& NativeHidPlatform();

}  // namespace lumiq
