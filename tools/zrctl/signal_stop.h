#pragma once

#include "link/device_watcher.h"

namespace lumiq::zrctl {

// Ctrl+C, a polite kill and a closed terminal end the run, not the program:
// the scanners under way are finished, no other one is begun, and the
// summary is printed. The old handlers come back afterwards, but for
// SIGPIPE: a reader of the output that went away (| head -1) shows as a
// failed write, and output still pending at exit must not kill the program
// after the fact. A hang-up ignored at the start (nohup) stays ignored.
// A service has no terminal to lose: there a hang-up asks for the profile to
// be read again (the service manager's reload), and ends nothing.
class SignalStop {
 public:
  enum class HangUp { kStops, kReloads };
  // `watcher`, when given, has its Wait ended by the signal.
  explicit SignalStop(DeviceWatcher* watcher = nullptr, HangUp hangUp = HangUp::kStops);
  ~SignalStop();
  SignalStop(const SignalStop&) = delete;
  SignalStop& operator=(const SignalStop&) = delete;

  // From any thread.
  static bool Signalled();
  // A stop asked for by other means than a signal (a service manager's stop
  // control), with the same effect; from any thread.
  static void Request();
  // With HangUp::kReloads: true once for every hang-up (or several that came
  // together) since the last call.
  static bool TakeReload();

 private:
  using Handler = void (*)(int);
  Handler interrupt_;
  Handler terminate_;
  Handler hangUp_;
  Handler break_;
};

}  // namespace lumiq::zrctl
