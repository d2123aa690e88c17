#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "res/ids/output_method_ids.h"
#include "ui/pages/page_controls.h"

namespace lumiq::ui::app {

// The scanner's four output channels as the window names them: the value
// of `io_outputs`, the output method page's check box, its caption.
struct OutputChannel {
  const char* output;
  int box;
  const char* caption;  // UTF-8, catalogue source
};

inline constexpr OutputChannel kOutputChannels[] = {
    {"com1", res::output_method::kComOutput, "COM输出"},
    {"hid0", res::output_method::kHidOutput, "HID模拟键盘输出"},
    {"wifi0", res::output_method::kWifiOutput, "WIFI输出"},
    {"bluetooth0", res::output_method::kBluetoothOutput, "蓝牙输出"},
};

// The channel `output` names exactly, or nullptr.
inline const OutputChannel* FindOutputChannel(std::string_view output) {
  for (const OutputChannel& channel : kOutputChannels) {
    if (output == channel.output) return &channel;
  }
  return nullptr;
}

// The channel whose box the page shows checked, or nullptr (none read).
inline const OutputChannel* ChannelChecked(const PageControls& outputMethod) {
  for (const OutputChannel& channel : kOutputChannels) {
    if (outputMethod.IsChecked(channel.box)) return &channel;
  }
  return nullptr;
}

// The dialog "更改输出方式..." opens: the four channels, the current one
// (nullptr: none) selected. The channel's `io_outputs` value, or nullopt
// when the operator cancels.
class ChannelChooser {
 public:
  virtual ~ChannelChooser() = default;
  virtual std::optional<std::string> Choose(const OutputChannel* current) = 0;
};

// Answers with one channel and never asks: the runner's channel: action.
class GivenChannelChooser final : public ChannelChooser {
 public:
  explicit GivenChannelChooser(std::string output) : output_(std::move(output)) {}
  std::optional<std::string> Choose(const OutputChannel*) override { return output_; }

 private:
  std::string output_;
};

// Catalogue sources (UTF-8).
inline constexpr char kChangeChannelTitle[] = "更改输出方式";
inline constexpr char kChannelSwitchedText[] = "输出方式已改为“%1”，设置尚未写入设备，按“保存”后写入。";
inline constexpr char kChannelSaveChangesText[] = "保存时将改变以下设置:\n%1";
inline constexpr char kChannelNoChangesText[] = "保存时不会改变设备的设置。";

}  // namespace lumiq::ui::app
