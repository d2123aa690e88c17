#pragma once

#include <memory>
#include <string>
#include <vector>

namespace lumiq {

// Something happened to a HID interface: it appeared or went away.
struct DeviceChange {
  enum class Kind { kArrived, kRemoved };
  Kind kind = Kind::kArrived;
  std::string path;  // as the HID platform lists it; may be empty when the
                     // platform does not tell
};

// Tells a program that waits for scanners when HID interfaces come and go,
// from the platform's own notifications, so that the waiting sleeps in the
// system rather than polls. A watcher says that something changed; the
// caller lists the interfaces again to see what is there.
class DeviceWatcher {
 public:
  enum class WaitResult { kChanged, kTimedOut, kStopped, kFailed };

  virtual ~DeviceWatcher() = default;

  // Starts listening. Changes from then on are kept for the next Wait, so
  // listing the interfaces after Start misses nothing. false with a
  // one-line reason in `error` when the platform cannot notify.
  virtual bool Start(std::string* error) = 0;

  // Waits at most `timeoutMs` (negative: without end) for changes and
  // appends them to `changes`. kStopped once Stop was called, also when it
  // was called before the Wait.
  virtual WaitResult Wait(int timeoutMs, std::vector<DeviceChange>* changes) = 0;

  // Ends the Wait under way, or the next one. Safe in a signal handler and
  // from another thread.
  virtual void Stop() = 0;
};

// The watcher of the platform this program was built for: libudev's monitor
// on Linux, device-interface notifications on Windows.
std::unique_ptr<DeviceWatcher> NativeDeviceWatcher();

}  // namespace lumiq
