#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/pages/page_controls.h"

namespace lumiq::ui::app {

// One scan as it arrived: the scanner's bytes, and for the keyboard the
// milliseconds between one key and the next.
struct Scan {
  std::string bytes;
  std::vector<uint32_t> keyGaps;
};

// Gathers keys or serial bytes into scans. A scanner sends one scan in one
// burst: what arrives close together is one scan, and a pause of at least
// `pauseMs` ends it. Times are milliseconds of one clock that may wrap.
class ScanGatherer {
 public:
  explicit ScanGatherer(uint32_t pauseMs) : pauseMs_(pauseMs) {}

  // Bytes (one key's, or a serial read's) at `timeMs`. A scan that the
  // pause before them ended comes back first.
  std::optional<Scan> Add(std::string_view bytes, uint32_t timeMs, bool key);
  // The scan so far, once nothing came for the pause.
  std::optional<Scan> Idle(uint32_t nowMs);
  // The scan so far, at once (the window closes; the runner's pause).
  std::optional<Scan> End();

  uint32_t PauseMs() const { return pauseMs_; }

 private:
  uint32_t pauseMs_;
  Scan current_;
  bool started_ = false;
  uint32_t lastTime_ = 0;
};

// The emulated keyboard's key timing as the output format page shows it:
// each key held down `downMs`, then `upMs` before the next.
struct KeyTiming {
  std::optional<uint32_t> downMs;  // nullopt: not a number of milliseconds
  std::optional<uint32_t> upMs;
  // Milliseconds from one key to the next, when both are known.
  std::optional<uint32_t> IntervalMs() const;
};

KeyTiming KeyTimingShown(const PageControls& outputFormat);

// The pause that ends a keyboard scan: several times the key interval, and
// never so short that a slow host splits one scan.
uint32_t KeyboardPauseMs(const KeyTiming& timing);
inline constexpr uint32_t kMinimumPauseMs = 150;
// A serial scan arrives in a few reads at any baud rate the page offers.
inline constexpr uint32_t kSerialPauseMs = 150;

// "按下 20 毫秒 + 抬起 10 毫秒 = 每键 30 毫秒", for the window's heading.
std::string DescribeKeyTiming(const KeyTiming& timing);
// How the gaps of one scan compare with the settings: the mean, shortest
// and longest gap and whether that is the settings' pace, faster or slower.
std::string CompareKeyTiming(const std::vector<uint32_t>& gaps, const KeyTiming& timing);

// Catalogue sources (UTF-8).
inline constexpr char kKeyTimingText[] = "键盘按键：按下 %1 毫秒 + 抬起 %2 毫秒 = 每键 %3 毫秒";
inline constexpr char kKeyTimingUnknownText[] = "键盘按键：按下 %1 毫秒，抬起 %2 毫秒（无法计算按键间隔）";
inline constexpr char kKeyGapsText[] = "按键间隔平均 %1 毫秒（%2 至 %3）";
inline constexpr char kKeyGapsAsSetText[] = "与设置相符";
inline constexpr char kKeyGapsFasterText[] = "比设置的 %1 毫秒快";
inline constexpr char kKeyGapsSlowerText[] = "比设置的 %1 毫秒慢";
inline constexpr char kSingleKeyText[] = "只有一个按键";
inline constexpr char kKeyGapsSeparator[] = ", ";

}  // namespace lumiq::ui::app
