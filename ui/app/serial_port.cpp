#include "ui/app/serial_port.h"

#include <algorithm>
#include <utility>

#include "res/i18n/catalogue.h"
#include "res/ids/output_method_ids.h"
#include "ui/app/scan_text.h"

namespace lumiq::ui::app {

namespace {

namespace ids = res::output_method;

std::optional<unsigned> WholeNumber(const std::string& text, unsigned low, unsigned high) {
  if (text.empty() || text.size() > 7) return std::nullopt;
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

class FedPort final : public SerialPort {
 public:
  explicit FedPort(std::shared_ptr<std::deque<char>> pending) : pending_(std::move(pending)) {}
  int Read(char* buffer, size_t size) override {
    const size_t count = std::min(size, pending_->size());
    std::copy_n(pending_->begin(), count, buffer);
    pending_->erase(pending_->begin(), pending_->begin() + static_cast<std::ptrdiff_t>(count));
    return static_cast<int>(count);
  }

 private:
  std::shared_ptr<std::deque<char>> pending_;
};

}  // namespace

std::optional<SerialSettings> SerialSettingsShown(const PageControls& page, std::string* problem) {
  auto text = [&page](int id) { return page.Text(id).value_or(std::string()); };
  auto refuse = [problem](const char* pattern, const std::string& value) {
    if (problem) *problem = i18n::TrFormat(pattern, {VisibleText(value)});
    return std::nullopt;
  };
  SerialSettings settings;
  const std::string baud = text(ids::kBaudRateCombo);
  const std::string dataBits = text(ids::kDataBitsCombo);
  const std::string stopBits = text(ids::kStopBitsCombo);
  const std::string parity = text(ids::kParityCombo);
  const auto baudRate = WholeNumber(baud, 50, 4000000);
  if (!baudRate) return refuse(kBadBaudRateText, baud);
  settings.baudRate = *baudRate;
  const auto bits = WholeNumber(dataBits, 5, 8);
  if (!bits) return refuse(kBadDataBitsText, dataBits);
  settings.dataBits = static_cast<int>(*bits);
  const auto stops = WholeNumber(stopBits, 1, 2);
  if (!stops) return refuse(kBadStopBitsText, stopBits);
  settings.stopBits = static_cast<int>(*stops);
  using Parity = SerialSettings::Parity;
  const std::pair<const char*, Parity> parities[] = {{"NONE", Parity::kNone},
                                                     {"ODD", Parity::kOdd},
                                                     {"EVEN", Parity::kEven},
                                                     {"MARK", Parity::kMark},
                                                     {"SPACE", Parity::kSpace}};
  const auto found = std::find_if(std::begin(parities), std::end(parities),
                                  [&parity](const auto& entry) { return parity == entry.first; });
  if (found == std::end(parities)) return refuse(kBadParityText, parity);
  settings.parity = found->second;
  return settings;
}

std::string DescribeSerialSettings(const SerialSettings& settings) {
  static constexpr char kParityLetters[] = {'N', 'O', 'E', 'M', 'S'};
  return std::to_string(settings.baudRate) + " " + std::to_string(settings.dataBits) +
         kParityLetters[static_cast<int>(settings.parity)] + std::to_string(settings.stopBits);
}

std::unique_ptr<SerialPort> FedSerialPorts::Open(const std::string& name,
                                                 const SerialSettings& settings,
                                                 std::string* error) {
  if (name != kPortName) {
    if (error) *error = "no such port";
    return nullptr;
  }
  opened_ = settings;
  return std::make_unique<FedPort>(pending_);
}

}  // namespace lumiq::ui::app
