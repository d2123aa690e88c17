#pragma once

#include <mutex>
#include <ostream>

#include "link/device_watcher.h"
#include "link/hid_platform.h"
#include "link/scanner_link.h"
#include "tools/zrctl/arguments.h"
#include "tools/zrctl/commands.h"
#include "tools/zrctl/simulation.h"

namespace lumiq::zrctl {

// zrctl provision: restores the profile onto every scanner present and then
// onto each one plugged in, once while it stays plugged in, until Ctrl+C
// (SIGINT, SIGTERM, SIGHUP, output nobody reads) or --count scanners, up to
// --jobs at once, each through a link of its own on `platform`, its frames
// shown to `tracer` (nullptr: none), which must take them from any thread;
// `errLock` is held for every write to `err` once scanners are served. A line a
// scanner on `out`, the restore's own messages on `err`, a row a scanner in
// --log, which is opened before any scanner is touched. Exit status 0 when
// ended by a signal; with --count 1 when a scanner was not ok; 1 when the
// watcher or the log failed; 2 when the log cannot be opened or is a file the
// station reads.
//
// Each scanner is read first: one that holds the profile already is sent
// nothing and logged "compliant"; otherwise only the settings that differ are
// set, committed and read back.
int Provision(const Invocation& invocation, const PreparedInput& input, HidPlatform& platform,
              FrameObserver* tracer, std::mutex& errLock, DeviceWatcher& watcher,
              SimulatedScanners& simulated, std::ostream& out, std::ostream& err);

// zrctl serve: the same station as a system service. SIGHUP reads the
// profile again (LoadServedProfile): a good one is applied from then on, to
// the scanners present too; a bad one leaves the one in force. It ends only
// on SIGINT, SIGTERM or SignalStop::Request (status 0).
int Serve(const Invocation& invocation, const PreparedInput& input, HidPlatform& platform,
          FrameObserver* tracer, std::mutex& errLock, DeviceWatcher& watcher,
          SimulatedScanners& simulated, std::ostream& out, std::ostream& err);

// The profile of serve, refused with kExitUnsafeProfile when others than the
// administrators can change it or a folder above it, else read as provision
// reads it (PrepareInput); a line on `err` tells why it was refused.
int LoadServedProfile(const Invocation& invocation, PreparedInput* input, std::ostream& err);

}  // namespace lumiq::zrctl
