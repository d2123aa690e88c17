// --device with a path that is no scanner, on the real Linux backend: the
// path is refused before a byte reaches it, and the message says what it is.

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/zrctl/zrctl_test_support.h"

namespace lumiq::test {
namespace {

// The output of a shell command, without its line end; empty when it failed.
std::string CommandOutput(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return "";
  char line[256] = {};
  if (std::fgets(line, sizeof line, pipe.get()) == nullptr) return "";
  std::string text = line;
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// A loop device over an image file, where the test may make one (root, with
// losetup and a free loop device).
class LoopDevice {
 public:
  explicit LoopDevice(const std::string& image) {
    if (geteuid() != 0) return;
    path_ = CommandOutput("losetup --find --show " + image + " 2>/dev/null");
  }
  ~LoopDevice() {
    if (!path_.empty()) (void)std::system(("losetup -d " + path_).c_str());
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

TEST(ZrctlDevicePaths, OnlyAScannerIsOpenedForWriting) {
  TempFolder folder;
  // A profile, as in the mistyped `zrctl --device ./golden.profile version`.
  std::string golden = "# golden\n";
  for (int i = 0; i < 40; ++i) golden += "codeprefix" + std::to_string(i) + "=x\n";
  const std::string profile = folder.File("golden.profile");
  TempFolder::Write(profile, golden);
  const std::string link = folder.File("link.profile");
  ASSERT_EQ(symlink(profile.c_str(), link.c_str()), 0);

  const std::string socketPath = folder.File("s");
  const int listening = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  ASSERT_GE(listening, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  ASSERT_EQ(bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listening, 4), 0);

  // Whatever reaches the FIFO would wait here to be read.
  const std::string fifo = folder.File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int fifoReader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(fifoReader, 0);

  const std::string image = folder.File("disk.img");
  TempFolder::Write(image, std::string(64 * 1024, '\x5A'));
  LoopDevice loop(image);

  struct Case {
    std::string path;
    std::string what;
  };
  std::vector<Case> cases = {
      {profile, "a regular file"},
      {link, "a regular file"},
      {socketPath, "a socket"},
      {fifo, "a FIFO (a named pipe)"},
      {"/dev/null", "a character device other than a HID interface"},
      {folder.File(""), "a folder"},
  };
  if (!loop.path().empty()) {
    cases.push_back({loop.path(), "a block device (a disk or a partition)"});
  }

  for (const Case& c : cases) {
    const ZrctlResult result = RunZrctl({"--device", c.path, "--trace", "version"});
    EXPECT_EQ(result.status, 1) << c.path;
    EXPECT_EQ(result.out, "") << c.path;
    EXPECT_EQ(result.err, "zrctl: " + c.path + " is " + c.what +
                              ", not a scanner (OpenDeviceAt -3); nothing was written to it\n")
        << c.path;
  }

  EXPECT_EQ(TempFolder::Read(profile), golden);
  char byte;
  EXPECT_LE(read(fifoReader, &byte, 1), 0) << "nothing was written to the FIFO";
  EXPECT_LT(accept(listening, nullptr, nullptr), 0) << "nobody connected to the socket";
  if (!loop.path().empty()) {
    // Through the device, not the page cache of the image file.
    EXPECT_EQ(CommandOutput("cmp -s " + loop.path() + " " + image + " && echo same"), "same");
  }
  EXPECT_EQ(TempFolder::Read(image), std::string(64 * 1024, '\x5A'));
  close(fifoReader);
  close(listening);
  RecordProperty("loop_device",
                 loop.path().empty() ? "none (needs root and losetup)" : loop.path());
}

}  // namespace
}  // namespace lumiq::test
