// The system's serial port reader on a pseudo-terminal standing for the
// scanner's port: what the "scanner" writes is read, and the line is set up
// as the output method page says.

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "ui/app/serial_port.h"

namespace lumiq::ui::app {
namespace {

class PseudoTerminal : public ::testing::Test {
 protected:
  void SetUp() override {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    // A chroot or container without its own /dev/pts has no pseudo-terminals
    // to lend; the runner's serial scenarios still run there.
    if (master_ < 0) GTEST_SKIP() << "no pseudo-terminals here: " << std::strerror(errno);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    port_ = ptsname(master_);
  }
  void TearDown() override {
    if (master_ >= 0) close(master_);
  }
  // Reads until `count` bytes came or the port has nothing more for a while.
  std::string ReadSome(SerialPort& port, size_t count) {
    std::string bytes;
    for (int idle = 0; bytes.size() < count && idle < 200; ++idle) {
      char buffer[64];
      const int got = port.Read(buffer, sizeof(buffer));
      if (got < 0) break;
      if (got == 0) {
        usleep(5000);
        continue;
      }
      bytes.append(buffer, static_cast<size_t>(got));
      idle = 0;
    }
    return bytes;
  }

  int master_ = -1;
  std::string port_;
};

TEST_F(PseudoTerminal, ReadsWhatTheScannerSendsOnTheLineAsSet) {
  SerialSettings settings;
  settings.baudRate = 9600;
  settings.dataBits = 7;
  settings.stopBits = 2;
  settings.parity = SerialSettings::Parity::kOdd;
  std::string error;
  std::unique_ptr<SerialPort> port = SystemSerialPorts().Open(port_, settings, &error);
  ASSERT_TRUE(port) << error;

  char buffer[16];
  EXPECT_EQ(port->Read(buffer, sizeof(buffer)), 0);  // nothing yet, and no wait
  // Raw: no line editing, no CR to LF, every byte as sent.
  const std::string scan = std::string("SN:12\r\n\x1d\x04", 9) + std::string(1, '\0');
  ASSERT_EQ(write(master_, scan.data(), scan.size()), static_cast<ssize_t>(scan.size()));
  EXPECT_EQ(ReadSome(*port, scan.size()), scan);

  // The line as the page said, seen through another opening of the port.
  const int other = open(port_.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(other, 0);
  termios mode{};
  ASSERT_EQ(tcgetattr(other, &mode), 0);
  close(other);
  // (A pseudo-terminal keeps 8 bits and no parity enable whatever it is
  // told; the rest sticks.)
  EXPECT_EQ(cfgetispeed(&mode), static_cast<speed_t>(B9600));
  EXPECT_TRUE(mode.c_cflag & CSTOPB);
  EXPECT_TRUE(mode.c_cflag & PARODD);
  EXPECT_FALSE(mode.c_lflag & ICANON);
}

TEST_F(PseudoTerminal, RefusesWhatItCannotOpenAndSaysWhy) {
  SerialSettings settings;
  std::string error;
  EXPECT_FALSE(SystemSerialPorts().Open("/dev/lumiq-no-such-port", settings, &error));
  EXPECT_FALSE(error.empty());
  settings.baudRate = 14400;  // on the page, but termios has no such rate
  error.clear();
  EXPECT_FALSE(SystemSerialPorts().Open(port_, settings, &error));
  EXPECT_NE(error.find("14400"), std::string::npos);
}

}  // namespace
}  // namespace lumiq::ui::app
