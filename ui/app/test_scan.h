#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/app/scan_capture.h"
#include "ui/app/scan_framing.h"
#include "ui/app/serial_port.h"
#include "ui/pages/settings_sequence.h"

namespace lumiq::ui::app {

// The channel the output method page shows, which is where the scanner
// sends what it reads once the settings are saved.
enum class ScanChannel { kUnknown, kSerial, kKeyboard, kWifi, kBluetooth };
ScanChannel ChannelShown(const PageControls& outputMethod);

// One scan as the window shows it (UTF-8, current language).
struct ScanReport {
  std::string visible;  // VisibleText
  std::string hex;      // HexText
  std::string timing;   // keyboard only: CompareKeyTiming
  ScanVerdict verdict;

  // The list's row: "相符  AB12<CR>" or "不符  AB12<CR><LF>  结尾应为 ...".
  std::string Row() const;
  // The lines below the list for the selected scan.
  std::vector<std::string> Details() const;
  // The runner's line: "SCAN AB12<CR> MATCH" or "SCAN AB12 DIFFERS where".
  std::string RunnerLine() const;
};

// What the test-scan window does, whatever draws it. It reads the settings
// window's pages once, as they show now: the channel, the framing of codes
// and cards, the key timing and the serial line settings. Keys (keyboard
// channel) or serial bytes (serial channel) become scans, each reported
// once a pause ends it. Times are milliseconds of the binding's clock.
class TestScanSession {
 public:
  explicit TestScanSession(const PageSet& pages);

  ScanChannel Channel() const { return channel_; }
  // The window's lines above the scans: the channel and what can be seen
  // of it, the framing of codes and of cards, the key timing (keyboard).
  std::string ChannelText() const;
  std::string CodeFramingText() const { return DescribeCodeFraming(framing_.code); }
  // Empty while the NFC reader is off.
  std::string CardFramingText() const {
    return framing_.cards ? DescribeCardFraming(framing_.card) : std::string();
  }
  std::string TimingText() const;
  const ExpectedFraming& Expected() const { return framing_; }
  const KeyTiming& Timing() const { return timing_; }

  // A key's text (UTF-8) as the window received it; ignored unless the
  // channel is the keyboard.
  std::optional<ScanReport> Key(std::string_view utf8, uint32_t timeMs);

  // The serial port: `ports` lists them, and the window opens the one the
  // operator picks with the page's line settings. Returns the status line.
  std::vector<std::string> Ports(SerialPorts& ports) const;
  std::string OpenPort(SerialPorts& ports, const std::string& name);
  bool PortOpen() const { return port_ != nullptr; }
  const std::string& PortStatus() const { return portStatus_; }
  // Reads what the open port has and reports the scans it ends; `gone` is
  // set when the port went away (it is closed, the status says so).
  std::vector<ScanReport> Poll(uint32_t nowMs, bool* gone = nullptr);

  // The scan so far once its pause has passed, or at once.
  std::optional<ScanReport> Idle(uint32_t nowMs);
  std::optional<ScanReport> EndScan();

 private:
  std::optional<ScanReport> Report(std::optional<Scan> scan) const;

  ScanChannel channel_ = ScanChannel::kUnknown;
  ExpectedFraming framing_;
  KeyTiming timing_;
  std::optional<SerialSettings> serial_;
  std::string serialProblem_;
  ScanGatherer gatherer_;
  std::unique_ptr<SerialPort> port_;
  std::string portName_;
  std::string portStatus_;
};

// Catalogue sources (UTF-8).
inline constexpr char kTestScanTitle[] = "扫描测试";
inline constexpr char kKeyboardChannelText[] = "HID模拟键盘输出：请让本窗口保持在前台并扫描，按键逐个显示在下方。";
inline constexpr char kSerialChannelText[] = "COM输出：扫描数据从所选串口读取（%1）。";
inline constexpr char kSerialUnusableText[] = "COM输出：无法打开串口，%1。";
inline constexpr char kWifiChannelText[] = "WIFI输出：扫描数据发送到服务器，在此无法查看。";
inline constexpr char kBluetoothChannelText[] = "蓝牙输出：扫描数据发送到已配对的设备，在此无法查看。";
inline constexpr char kUnknownChannelText[] = "输出方式未知：无法判断扫描数据从何处来。";
inline constexpr char kNoKeyTimingText[] = "按键时间只对HID模拟键盘输出有效。";
inline constexpr char kPortOpenText[] = "已打开 %1";
inline constexpr char kPortFailedText[] = "无法打开 %1：%2";
inline constexpr char kPortGoneText[] = "%1 已断开";
inline constexpr char kNoPortText[] = "未找到串口";
inline constexpr char kScanMatchesText[] = "相符";
inline constexpr char kScanDiffersText[] = "不符";
inline constexpr char kScanTextLine[] = "内容：%1";
inline constexpr char kScanHexLine[] = "十六进制：%1";
inline constexpr char kScanTimingLine[] = "按键：%1";

}  // namespace lumiq::ui::app
