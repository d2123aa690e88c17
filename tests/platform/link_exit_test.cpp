// The program ends with its link still open, as the application always does:
// it never closes the link itself. Whatever was asked for first, the device
// connection or the native backend, the link must close its handles on a live
// backend when the program's static objects go.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "link/device_commands.h"
#ifndef _WIN32
#include "link/platform/hidraw.h"
#endif

#ifdef _WIN32
#include <windows.h>

#include <thread>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace lumiq {
namespace {

#ifdef _WIN32

// Two instances of one named pipe stand for the interface: the link's read
// handle connects to one and its write handle to the other, and a thread
// passes the handshake written on the one back on the other.
class LoopbackDevice {
 public:
  LoopbackDevice() {
    path_ = "\\\\.\\pipe\\lumiq-exit-" + std::to_string(GetCurrentProcessId());
    for (HANDLE& pipe : pipes_) {
      pipe = CreateNamedPipeA(path_.c_str(), PIPE_ACCESS_DUPLEX,
                              PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 2, 4096,
                              4096, 0, nullptr);
    }
    relay_ = std::thread([this] { Relay(); });
  }
  ~LoopbackDevice() {
    if (relay_.joinable()) relay_.join();
  }
  const std::string& path() const { return path_; }
  // Ends the relay once the handshake has crossed.
  void Finish() { relay_.join(); }

 private:
  void Relay() {
    for (int round = 0; round < 5000; ++round) {
      for (int from = 0; from < 2; ++from) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipes_[from], nullptr, 0, nullptr, &available, nullptr) ||
            available == 0) {
          continue;
        }
        char message[256];
        DWORD read = 0;
        DWORD written = 0;
        if (ReadFile(pipes_[from], message, sizeof message, &read, nullptr)) {
          WriteFile(pipes_[1 - from], message, read, &written, nullptr);
        }
        return;
      }
      Sleep(1);
    }
  }

  std::string path_;
  HANDLE pipes_[2] = {INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE};
  std::thread relay_;
};

#else

// A FIFO stands for the hidraw node: what the link's write handle writes, its
// read handle reads, so the handshake comes back as its own answer, status 0.
class LoopbackDevice {
 public:
  LoopbackDevice() {
    path_ = "/tmp/lumiq-exit-" + std::to_string(getpid());
    unlink(path_.c_str());
    if (mkfifo(path_.c_str(), 0600) != 0) path_.clear();
  }
  ~LoopbackDevice() {
    if (!path_.empty()) unlink(path_.c_str());
  }
  const std::string& path() const { return path_; }
  void Finish() {}

 private:
  std::string path_;
};

#endif

// In a fresh process of its own: the connection is asked for before the
// backend exists, the link is opened on the real backend and the program
// ends with it held. A backend destroyed first would crash the exit (and the
// sanitizer build reports the call on a dead object).
void OpenAndExitWithTheLinkHeld() {
  if (IsDeviceOpen()) std::exit(3);
#ifndef _WIN32
  NativeHidrawPlatform().AcceptPipes(true);
#endif
  LoopbackDevice device;
  if (device.path().empty()) std::exit(4);
  if (OpenDeviceAt(device.path()) != kOpened) std::exit(5);
  device.Finish();
  if (!IsDeviceOpen()) std::exit(6);
  std::exit(0);
}

TEST(LinkLifetime, ProgramEndsCleanlyWithTheLinkHeld) {
  // Re-run the test program, so nothing else has built the backend first.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(OpenAndExitWithTheLinkHeld(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace lumiq
