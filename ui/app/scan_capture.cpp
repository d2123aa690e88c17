#include "ui/app/scan_capture.h"

#include <algorithm>
#include <numeric>

#include "res/i18n/catalogue.h"
#include "res/ids/output_format_ids.h"

namespace lumiq::ui::app {

namespace {

namespace ids = res::output_format;

// Digits only, as the edit takes them when typed; a value read from the
// scanner may hold anything, and then the pace is unknown.
std::optional<uint32_t> Milliseconds(const PageControls& page, int edit) {
  const std::string text = page.Text(edit).value_or(std::string());
  if (text.empty() || text.size() > 6) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  return value;
}

std::string Number(const std::optional<uint32_t>& value) {
  return value ? std::to_string(*value) : std::string("?");
}

}  // namespace

std::optional<Scan> ScanGatherer::Add(std::string_view bytes, uint32_t timeMs, bool key) {
  std::optional<Scan> ended = Idle(timeMs);
  if (started_ && key) current_.keyGaps.push_back(timeMs - lastTime_);
  current_.bytes.append(bytes.data(), bytes.size());
  started_ = true;
  lastTime_ = timeMs;
  return ended;
}

std::optional<Scan> ScanGatherer::Idle(uint32_t nowMs) {
  // Unsigned difference: right across the clock's wrap.
  if (!started_ || nowMs - lastTime_ < pauseMs_) return std::nullopt;
  return End();
}

std::optional<Scan> ScanGatherer::End() {
  if (!started_) return std::nullopt;
  Scan scan = std::move(current_);
  current_ = Scan();
  started_ = false;
  return scan;
}

std::optional<uint32_t> KeyTiming::IntervalMs() const {
  if (!downMs || !upMs) return std::nullopt;
  return *downMs + *upMs;
}

KeyTiming KeyTimingShown(const PageControls& page) {
  return {Milliseconds(page, ids::kKeyDownTime), Milliseconds(page, ids::kKeyUpTime)};
}

uint32_t KeyboardPauseMs(const KeyTiming& timing) {
  return std::max(kMinimumPauseMs, 5 * timing.IntervalMs().value_or(0));
}

std::string DescribeKeyTiming(const KeyTiming& timing) {
  if (const std::optional<uint32_t> interval = timing.IntervalMs()) {
    return i18n::TrFormat(kKeyTimingText, {Number(timing.downMs), Number(timing.upMs),
                                           std::to_string(*interval)});
  }
  return i18n::TrFormat(kKeyTimingUnknownText, {Number(timing.downMs), Number(timing.upMs)});
}

std::string CompareKeyTiming(const std::vector<uint32_t>& gaps, const KeyTiming& timing) {
  if (gaps.empty()) return i18n::Tr(kSingleKeyText);
  const uint64_t sum = std::accumulate(gaps.begin(), gaps.end(), uint64_t{0});
  const uint32_t mean = static_cast<uint32_t>((sum + gaps.size() / 2) / gaps.size());
  const auto [shortest, longest] = std::minmax_element(gaps.begin(), gaps.end());
  std::string text = i18n::TrFormat(kKeyGapsText, {std::to_string(mean), std::to_string(*shortest),
                                                   std::to_string(*longest)});
  const std::optional<uint32_t> interval = timing.IntervalMs();
  if (!interval) return text;
  // The host's event queue bunches and spreads keys by a few milliseconds;
  // only the mean tells the scanner's pace.
  const uint32_t tolerance = std::max<uint32_t>(10, *interval * 3 / 10);
  text += kKeyGapsSeparator;
  if (mean + tolerance < *interval) {
    text += i18n::TrFormat(kKeyGapsFasterText, {std::to_string(*interval)});
  } else if (mean > *interval + tolerance) {
    text += i18n::TrFormat(kKeyGapsSlowerText, {std::to_string(*interval)});
  } else {
    text += i18n::Tr(kKeyGapsAsSetText);
  }
  return text;
}

}  // namespace lumiq::ui::app
