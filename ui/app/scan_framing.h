#pragma once

#include <string>
#include <string_view>

#include "ui/pages/page_controls.h"

namespace lumiq::ui::app {

// What the scanner puts around what it read, as the output format page's
// controls show it now (saved or not): Save sends exactly this, so it is
// what the scanner does afterwards.
struct Framing {
  std::string prefix;  // the scanner's bytes, notation applied
  std::string suffix;
  std::string ending;  // after the suffix: "", "\r", "\n" or "\r\n"
  // Why the scanner cannot put out the prefix or suffix as set (UTF-8, in
  // the current language); empty when it can.
  std::string problem;
  bool operator==(const Framing& other) const {
    return prefix == other.prefix && suffix == other.suffix && ending == other.ending &&
           problem == other.problem;
  }
};

// Codes and cards have prefixes and suffixes of their own; the enter and
// line break end both. Cards come only while the NFC reader is on.
struct ExpectedFraming {
  Framing code;
  Framing card;
  bool cards = false;
};

// Reads the output format page (template 132). A prefix or suffix counts
// only while its box is checked, and is written in its pair's notation:
// "hex" takes the text as hex digits, "char" (or neither button, where the
// scanner's own notation is unknown) as the characters themselves. The
// enter comes before the line break, as the order Save writes puts them.
// `cards`: the control page's NFC reader is on.
ExpectedFraming FramingShown(const PageControls& outputFormat, bool cards);

// One line of the window, per kind: "条码：前缀 <GS>A  后缀 无  结尾 <CR>".
std::string DescribeCodeFraming(const Framing& framing);
std::string DescribeCardFraming(const Framing& framing);

struct ScanVerdict {
  bool matches = false;
  std::string where;  // UTF-8, current language: every difference, joined
};

// Whether `scan` (one scan's bytes) is framed as expected, as a code or,
// with the NFC reader on, as a card (the window cannot tell them apart; a
// scan framed as either matches). When it matches neither, `where` names
// the differences from the closer one, the code's when both are as close:
// "expected <CR> at the end, got <CR><LF>".
ScanVerdict CompareScan(std::string_view scan, const ExpectedFraming& expected);

// Catalogue sources (UTF-8).
inline constexpr char kCodeFramingText[] = "条码：前缀 %1  后缀 %2  结尾 %3";
inline constexpr char kCardFramingText[] = "卡片：前缀 %1  后缀 %2  结尾 %3";
inline constexpr char kNothingText[] = "无";
inline constexpr char kExpectedAtStartText[] = "开头应为 %1，实际为 %2";
inline constexpr char kExpectedAtEndText[] = "结尾应为 %1，实际为 %2";
inline constexpr char kExpectedSuffixText[] = "后缀应为 %1，实际为 %2";
inline constexpr char kNotHexPrefixText[] = "前缀“%1”不是十六进制写法";
inline constexpr char kNotHexSuffixText[] = "后缀“%1”不是十六进制写法";
inline constexpr char kDifferenceSeparator[] = "; ";

}  // namespace lumiq::ui::app
