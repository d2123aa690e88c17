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
int Provision(const Invocation& invocation, const PreparedInput& input, HidPlatform& platform,
              FrameObserver* tracer, std::mutex& errLock, DeviceWatcher& watcher, SimulatedScanners& simulated, std::ostream& out,
              std::ostream& err);

}  // namespace lumiq::zrctl
