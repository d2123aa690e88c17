#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/pages/page_controls.h"

namespace lumiq::ui::app {

// The line settings of the scanner's serial output, as the output method
// page shows them (com1_baudrate, com1_bytesizes, com1_stopbits,
// com1_paritys): the port on the host is opened the same way.
struct SerialSettings {
  enum class Parity { kNone, kOdd, kEven, kMark, kSpace };
  unsigned baudRate = 9600;
  int dataBits = 8;
  int stopBits = 1;
  Parity parity = Parity::kNone;
};

// The settings the page's combo boxes hold, or nullopt with `problem` (UTF-8,
// current language) naming the first one that is not a value a port takes.
std::optional<SerialSettings> SerialSettingsShown(const PageControls& outputMethod,
                                                  std::string* problem);

// "115200 8N1".
std::string DescribeSerialSettings(const SerialSettings& settings);

// One open port, read without waiting: the window polls it.
class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Copies what has arrived into `buffer`, at most `size` bytes: the count
  // (0: nothing yet), or -1 when the port is gone.
  virtual int Read(char* buffer, size_t size) = 0;
};

// The host's serial ports.
class SerialPorts {
 public:
  virtual ~SerialPorts() = default;
  // The ports present, by the name Open takes ("/dev/ttyUSB0", "COM3").
  virtual std::vector<std::string> List() = 0;
  // nullptr with `error` (the system's words) when the port cannot be opened
  // or does not take the settings.
  virtual std::unique_ptr<SerialPort> Open(const std::string& name, const SerialSettings& settings,
                                           std::string* error) = 0;
};

// The system's ports: tty devices through termios, or COM ports.
SerialPorts& SystemSerialPorts();

// A port that is not there: the runner's and the tests' stand-in for the
// scanner's. It lists one port, and what Feed gives it is read from it.
class FedSerialPorts final : public SerialPorts {
 public:
  static constexpr char kPortName[] = "SIM1";
  std::vector<std::string> List() override { return {kPortName}; }
  std::unique_ptr<SerialPort> Open(const std::string& name, const SerialSettings& settings,
                                   std::string* error) override;
  void Feed(const std::string& bytes) { pending_->insert(pending_->end(), bytes.begin(), bytes.end()); }
  // The settings of the last open.
  const std::optional<SerialSettings>& Opened() const { return opened_; }

 private:
  std::shared_ptr<std::deque<char>> pending_ = std::make_shared<std::deque<char>>();
  std::optional<SerialSettings> opened_;
};

// Catalogue sources (UTF-8).
inline constexpr char kBadBaudRateText[] = "波特率“%1”无效";
inline constexpr char kBadDataBitsText[] = "数据位“%1”无效";
inline constexpr char kBadStopBitsText[] = "停止位“%1”无效";
inline constexpr char kBadParityText[] = "校验位“%1”无效";

}  // namespace lumiq::ui::app
