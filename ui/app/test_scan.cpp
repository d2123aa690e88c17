#include "ui/app/test_scan.h"

#include "profile/gbk_text.h"
#include "res/i18n/catalogue.h"
#include "res/ids/control_ids.h"
#include "res/ids/output_method_ids.h"
#include "ui/app/output_channels.h"
#include "ui/app/scan_text.h"

namespace lumiq::ui::app {

namespace {

namespace method = res::output_method;

// A keyboard types text; the scanner's bytes for it are GBK, as the
// settings' are. A character GBK lacks cannot have come from a setting.
std::string KeyBytes(std::string_view utf8) {
  if (std::optional<std::string> bytes = profile::Utf8ToGbk(utf8)) return *bytes;
  return std::string(utf8);
}

}  // namespace

ScanChannel ChannelShown(const PageControls& page) {
  const OutputChannel* channel = ChannelChecked(page);
  if (!channel) return ScanChannel::kUnknown;
  switch (channel->box) {
    case method::kComOutput: return ScanChannel::kSerial;
    case method::kHidOutput: return ScanChannel::kKeyboard;
    case method::kWifiOutput: return ScanChannel::kWifi;
    default: return ScanChannel::kBluetooth;
  }
}

std::string ScanReport::Row() const {
  if (verdict.matches) return std::string(i18n::Tr(kScanMatchesText)) + "  " + visible;
  return std::string(i18n::Tr(kScanDiffersText)) + "  " + visible + "  " + verdict.where;
}

std::vector<std::string> ScanReport::Details() const {
  std::vector<std::string> lines = {i18n::TrFormat(kScanTextLine, {visible}),
                                    i18n::TrFormat(kScanHexLine, {hex})};
  if (!timing.empty()) lines.push_back(i18n::TrFormat(kScanTimingLine, {timing}));
  if (!verdict.matches) lines.push_back(verdict.where);
  return lines;
}

std::string ScanReport::RunnerLine() const {
  std::string line = "SCAN " + visible;
  if (verdict.matches) return line + " MATCH";
  return line + " DIFFERS " + verdict.where;
}

TestScanSession::TestScanSession(const PageSet& pages)
    : channel_(ChannelShown(pages.outputMethod)),
      framing_(FramingShown(pages.outputFormat, pages.control.IsChecked(res::control::kNfcSwitch))),
      timing_(KeyTimingShown(pages.outputFormat)),
      gatherer_(channel_ == ScanChannel::kKeyboard ? KeyboardPauseMs(timing_) : kSerialPauseMs) {
  if (channel_ == ScanChannel::kSerial) {
    serial_ = SerialSettingsShown(pages.outputMethod, &serialProblem_);
  }
}

std::string TestScanSession::ChannelText() const {
  switch (channel_) {
    case ScanChannel::kKeyboard: return i18n::Tr(kKeyboardChannelText);
    case ScanChannel::kSerial:
      if (!serial_) return i18n::TrFormat(kSerialUnusableText, {serialProblem_});
      return i18n::TrFormat(kSerialChannelText, {DescribeSerialSettings(*serial_)});
    case ScanChannel::kWifi: return i18n::Tr(kWifiChannelText);
    case ScanChannel::kBluetooth: return i18n::Tr(kBluetoothChannelText);
    case ScanChannel::kUnknown: break;
  }
  return i18n::Tr(kUnknownChannelText);
}

std::string TestScanSession::TimingText() const {
  if (channel_ != ScanChannel::kKeyboard) return i18n::Tr(kNoKeyTimingText);
  return DescribeKeyTiming(timing_);
}

std::optional<ScanReport> TestScanSession::Report(std::optional<Scan> scan) const {
  if (!scan) return std::nullopt;
  ScanReport report;
  report.visible = VisibleText(scan->bytes);
  report.hex = HexText(scan->bytes);
  if (channel_ == ScanChannel::kKeyboard) report.timing = CompareKeyTiming(scan->keyGaps, timing_);
  report.verdict = CompareScan(scan->bytes, framing_);
  return report;
}

std::optional<ScanReport> TestScanSession::Key(std::string_view utf8, uint32_t timeMs) {
  if (channel_ != ScanChannel::kKeyboard || utf8.empty()) return std::nullopt;
  return Report(gatherer_.Add(KeyBytes(utf8), timeMs, true));
}

std::vector<std::string> TestScanSession::Ports(SerialPorts& ports) const {
  if (channel_ != ScanChannel::kSerial) return {};
  return ports.List();
}

std::string TestScanSession::OpenPort(SerialPorts& ports, const std::string& name) {
  port_.reset();
  gatherer_.End();
  if (channel_ != ScanChannel::kSerial || !serial_) {
    portStatus_.clear();
  } else if (name.empty()) {
    portStatus_ = i18n::Tr(kNoPortText);
  } else {
    std::string error;
    port_ = ports.Open(name, *serial_, &error);
    portStatus_ = port_ ? i18n::TrFormat(kPortOpenText, {name})
                        : i18n::TrFormat(kPortFailedText, {name, error});
    portName_ = name;
  }
  return portStatus_;
}

std::vector<ScanReport> TestScanSession::Poll(uint32_t nowMs, bool* gone) {
  std::vector<ScanReport> reports;
  if (gone) *gone = false;
  if (port_) {
    char buffer[512];
    for (;;) {
      const int count = port_->Read(buffer, sizeof(buffer));
      if (count < 0) {
        port_.reset();
        portStatus_ = i18n::TrFormat(kPortGoneText, {portName_});
        if (gone) *gone = true;
        break;
      }
      if (count == 0) break;
      if (auto report = Report(gatherer_.Add(std::string_view(buffer, static_cast<size_t>(count)),
                                             nowMs, false))) {
        reports.push_back(std::move(*report));
      }
    }
  }
  if (auto report = Idle(nowMs)) reports.push_back(std::move(*report));
  return reports;
}

std::optional<ScanReport> TestScanSession::Idle(uint32_t nowMs) {
  return Report(gatherer_.Idle(nowMs));
}

std::optional<ScanReport> TestScanSession::EndScan() { return Report(gatherer_.End()); }

}  // namespace lumiq::ui::app
