// The host's serial ports on Linux and other POSIX systems: tty devices,
// set up raw through termios and read without waiting.

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "ui/app/serial_port.h"

namespace lumiq::ui::app {

namespace {

std::optional<speed_t> SpeedOf(unsigned baudRate) {
  // The rates termios names; the page's 7200, 14400, 56000, 128000 and
  // 256000 have no constant here.
  switch (baudRate) {
    case 110: return B110;
    case 134: return B134;
    case 150: return B150;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 1800: return B1800;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
#ifdef B460800
    case 460800: return B460800;
#endif
#ifdef B921600
    case 921600: return B921600;
#endif
    default: return std::nullopt;
  }
}

tcflag_t SizeFlag(int dataBits) {
  switch (dataBits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
  }
}

// Parity and stop bits into the control flags; false when the system has
// no mark or space parity.
bool SetFraming(termios* mode, const SerialSettings& settings) {
  using Parity = SerialSettings::Parity;
  mode->c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB);
#ifdef CMSPAR
  mode->c_cflag &= ~static_cast<tcflag_t>(CMSPAR);
#endif
  mode->c_cflag |= SizeFlag(settings.dataBits) | CLOCAL | CREAD;
  if (settings.stopBits == 2) mode->c_cflag |= CSTOPB;
  switch (settings.parity) {
    case Parity::kNone: break;
    case Parity::kOdd: mode->c_cflag |= PARENB | PARODD; break;
    case Parity::kEven: mode->c_cflag |= PARENB; break;
#ifdef CMSPAR
    case Parity::kMark: mode->c_cflag |= PARENB | PARODD | CMSPAR; break;
    case Parity::kSpace: mode->c_cflag |= PARENB | CMSPAR; break;
#else
    default: return false;
#endif
  }
  if (settings.parity != Parity::kNone) mode->c_iflag |= INPCK;
  return true;
}

class TtyPort final : public SerialPort {
 public:
  explicit TtyPort(int fd) : fd_(fd) {}
  ~TtyPort() override { close(fd_); }
  TtyPort(const TtyPort&) = delete;
  TtyPort& operator=(const TtyPort&) = delete;

  int Read(char* buffer, size_t size) override {
    const ssize_t count = read(fd_, buffer, size);
    if (count >= 0) return static_cast<int>(count);
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return 0;
    return -1;
  }

 private:
  int fd_;
};

// A legacy UART slot the kernel registers whether or not a chip is there
// reports type 0.
bool IsPresent(const std::filesystem::path& entry) {
  std::error_code error;
  if (!std::filesystem::exists(entry / "device", error)) return false;
  std::ifstream type(entry / "type");
  int value = -1;
  if (type >> value) return value != 0;
  return true;
}

class TtyPorts final : public SerialPorts {
 public:
  std::vector<std::string> List() override {
    std::vector<std::string> ports;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/class/tty", error)) {
      const std::string name = entry.path().filename().string();
      if (IsPresent(entry.path()) && std::filesystem::exists("/dev/" + name, error)) {
        ports.push_back("/dev/" + name);
      }
    }
    std::sort(ports.begin(), ports.end());
    return ports;
  }

  std::unique_ptr<SerialPort> Open(const std::string& name, const SerialSettings& settings,
                                   std::string* error) override {
    auto fail = [error](const std::string& why) -> std::unique_ptr<SerialPort> {
      if (error) *error = why;
      return nullptr;
    };
    const std::optional<speed_t> speed = SpeedOf(settings.baudRate);
    if (!speed) {
      return fail(std::to_string(settings.baudRate) + " baud is not a rate this system offers");
    }
    const int fd = open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(std::strerror(errno));
    auto port = std::make_unique<TtyPort>(fd);
    termios mode{};
    if (tcgetattr(fd, &mode) != 0) return fail(std::strerror(errno));
    cfmakeraw(&mode);
    mode.c_cc[VMIN] = 0;
    mode.c_cc[VTIME] = 0;
    if (!SetFraming(&mode, settings)) return fail("mark and space parity are not offered here");
    if (cfsetispeed(&mode, *speed) != 0 || cfsetospeed(&mode, *speed) != 0 ||
        tcsetattr(fd, TCSANOW, &mode) != 0) {
      return fail(std::strerror(errno));
    }
    // Whatever lay in the buffer from before the window opened is no scan
    // of this test.
    tcflush(fd, TCIFLUSH);
    return port;
  }
};

}  // namespace

SerialPorts& SystemSerialPorts() {
  static TtyPorts ports;
  return ports;
}

}  // namespace lumiq::ui::app
