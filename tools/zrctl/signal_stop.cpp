#include "tools/zrctl/signal_stop.h"

#include <atomic>
#include <csignal>

namespace lumiq::zrctl {

namespace {

std::atomic<DeviceWatcher*> signalledWatcher{nullptr};
std::atomic<bool> stopSignalled{false};
std::atomic<bool> reloadSignalled{false};

void StopNow() {
  stopSignalled.store(true);
  if (DeviceWatcher* watcher = signalledWatcher.load()) watcher->Stop();
}

extern "C" void StopOnSignal(int /*signal*/) { StopNow(); }

#ifdef SIGHUP
extern "C" void ReloadOnSignal(int /*signal*/) { reloadSignalled.store(true); }
#endif

}  // namespace

SignalStop::SignalStop(DeviceWatcher* watcher, HangUp hangUp)
    : interrupt_(SIG_DFL), terminate_(SIG_DFL), hangUp_(SIG_DFL), break_(SIG_DFL) {
  stopSignalled.store(false);
  reloadSignalled.store(false);
  signalledWatcher.store(watcher);
  interrupt_ = std::signal(SIGINT, StopOnSignal);
  terminate_ = std::signal(SIGTERM, StopOnSignal);
#ifdef SIGHUP
  hangUp_ = std::signal(SIGHUP, hangUp == HangUp::kReloads ? ReloadOnSignal : StopOnSignal);
  if (hangUp_ == SIG_IGN && hangUp == HangUp::kStops) std::signal(SIGHUP, SIG_IGN);
#else
  static_cast<void>(hangUp);
#endif
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif
#ifdef SIGBREAK
  break_ = std::signal(SIGBREAK, StopOnSignal);
#endif
}

SignalStop::~SignalStop() {
  std::signal(SIGINT, interrupt_);
  std::signal(SIGTERM, terminate_);
#ifdef SIGHUP
  std::signal(SIGHUP, hangUp_);
#endif
#ifdef SIGBREAK
  std::signal(SIGBREAK, break_);
#endif
  signalledWatcher.store(nullptr);
}

bool SignalStop::Signalled() { return stopSignalled.load(); }

void SignalStop::Request() { StopNow(); }

bool SignalStop::TakeReload() { return reloadSignalled.exchange(false); }

}  // namespace lumiq::zrctl
