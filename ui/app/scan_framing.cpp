#include "ui/app/scan_framing.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "res/i18n/catalogue.h"
#include "res/ids/output_format_ids.h"
#include "ui/app/scan_text.h"

namespace lumiq::ui::app {

namespace {

namespace ids = res::output_format;

struct AffixControls {
  int box;
  int edit;
  const char* notHexText;
};

constexpr AffixControls kCodePrefix{ids::kCodePrefixBox, ids::kCodePrefixEdit, kNotHexPrefixText};
constexpr AffixControls kCodeSuffix{ids::kCodeSuffixBox, ids::kCodeSuffixEdit, kNotHexSuffixText};
constexpr AffixControls kCardPrefix{ids::kNfcPrefixBox, ids::kNfcPrefixEdit, kNotHexPrefixText};
constexpr AffixControls kCardSuffix{ids::kNfcSuffixBox, ids::kNfcSuffixEdit, kNotHexSuffixText};

// The bytes the scanner puts out for one prefix or suffix; a problem when
// the hex notation holds something else.
std::string AffixBytes(const PageControls& page, const AffixControls& affix, bool hex,
                       std::string* problem) {
  if (!page.IsChecked(affix.box)) return std::string();
  const std::string text = page.Text(affix.edit).value_or(std::string());
  if (!hex) return text;
  if (std::optional<std::string> bytes = BytesOfHexNotation(text)) return *bytes;
  if (problem->empty()) *problem = i18n::TrFormat(affix.notHexText, {VisibleText(text)});
  return std::string();
}

Framing FramingOf(const PageControls& page, const AffixControls& prefix,
                  const AffixControls& suffix, int hexRadio, const std::string& ending) {
  Framing framing;
  const bool hex = page.IsChecked(hexRadio);
  framing.prefix = AffixBytes(page, prefix, hex, &framing.problem);
  framing.suffix = AffixBytes(page, suffix, hex, &framing.problem);
  framing.ending = ending;
  return framing;
}

std::string Shown(std::string_view bytes) {
  return bytes.empty() ? std::string(i18n::Tr(kNothingText)) : VisibleText(bytes);
}

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The enter and line-break bytes at the end of `bytes`.
std::string_view LineEnd(std::string_view bytes) {
  size_t start = bytes.size();
  while (start > 0 && (bytes[start - 1] == '\r' || bytes[start - 1] == '\n')) --start;
  return bytes.substr(start);
}

std::vector<std::string> Differences(std::string_view scan, const Framing& framing) {
  std::vector<std::string> found;
  if (!framing.problem.empty()) found.push_back(framing.problem);
  // The line end is compared as a whole, then the suffix before it: a
  // suffix that ends in <CR> itself belongs to the line end here.
  const std::string tail = framing.suffix + framing.ending;
  const std::string_view expectedEnd = LineEnd(tail);
  const std::string_view gotEnd = LineEnd(scan);
  if (!StartsWith(scan, framing.prefix)) {
    // What stands there, short of the line end that is named on its own.
    const size_t shown = std::min(framing.prefix.size(), scan.size() - gotEnd.size());
    found.push_back(i18n::TrFormat(kExpectedAtStartText,
                                   {Shown(framing.prefix), Shown(scan.substr(0, shown))}));
  }
  if (gotEnd != expectedEnd) {
    found.push_back(i18n::TrFormat(kExpectedAtEndText, {Shown(expectedEnd), Shown(gotEnd)}));
  }
  const std::string_view expectedSuffix =
      std::string_view(tail).substr(0, tail.size() - expectedEnd.size());
  const std::string_view body = scan.substr(0, scan.size() - gotEnd.size());
  if (!EndsWith(body, expectedSuffix)) {
    const size_t shown = std::min(body.size(), expectedSuffix.size());
    found.push_back(i18n::TrFormat(kExpectedSuffixText,
                                   {Shown(expectedSuffix), Shown(body.substr(body.size() - shown))}));
  }
  return found;
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) {
    if (!text.empty()) text += kDifferenceSeparator;
    text += part;
  }
  return text;
}

std::string Describe(const char* pattern, const Framing& framing) {
  std::string text = i18n::TrFormat(
      pattern, {Shown(framing.prefix), Shown(framing.suffix), Shown(framing.ending)});
  if (!framing.problem.empty()) text += kDifferenceSeparator + framing.problem;
  return text;
}

}  // namespace

ExpectedFraming FramingShown(const PageControls& page, bool cards) {
  std::string ending;
  if (page.IsChecked(ids::kEnter)) ending += '\r';
  if (page.IsChecked(ids::kWrap)) ending += '\n';
  ExpectedFraming expected;
  expected.code = FramingOf(page, kCodePrefix, kCodeSuffix, ids::kCodeNotationHex, ending);
  expected.card = FramingOf(page, kCardPrefix, kCardSuffix, ids::kNfcNotationHex, ending);
  expected.cards = cards;
  return expected;
}

std::string DescribeCodeFraming(const Framing& framing) {
  return Describe(kCodeFramingText, framing);
}

std::string DescribeCardFraming(const Framing& framing) {
  return Describe(kCardFramingText, framing);
}

ScanVerdict CompareScan(std::string_view scan, const ExpectedFraming& expected) {
  const std::vector<std::string> asCode = Differences(scan, expected.code);
  if (asCode.empty()) return {true, std::string()};
  if (!expected.cards || expected.card == expected.code) return {false, Joined(asCode)};
  const std::vector<std::string> asCard = Differences(scan, expected.card);
  if (asCard.empty()) return {true, std::string()};
  return {false, Joined(asCard.size() < asCode.size() ? asCard : asCode)};
}

}  // namespace lumiq::ui::app
