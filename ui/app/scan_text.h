#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumiq::ui::app {

// How the test-scan window writes what a scanner sent (the scanner's bytes,
// GBK): printable text as it is, the control characters a scanner frames
// its output with by name (<CR>, <LF>, <TAB>, <ESC>, <GS>, <RS>, <EOT>),
// and any other byte that shows nothing as <xNN>. A GBK pair shows as its
// character; a pair GBK has no character for shows byte by byte. UTF-8.
std::string VisibleText(std::string_view bytes);

// "41 42 0D": every byte, upper case, one blank between.
std::string HexText(std::string_view bytes);

// A prefix or suffix written in hex notation ("0D0A", "1D 41"): pairs of
// hex digits, blanks between pairs allowed. nullopt when the text is not
// that (an odd digit, another character).
std::optional<std::string> BytesOfHexNotation(std::string_view text);

// The runner's escapes in keys: and serial: texts: \r, \n, \t, \\ and \xNN
// (two hex digits); everything else as written. nullopt for a lone or
// unknown backslash escape.
std::optional<std::string> UnescapeScanText(std::string_view text);

}  // namespace lumiq::ui::app
