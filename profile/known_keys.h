#pragma once

#include <string_view>
#include <vector>

namespace lumiq::profile {

// Every setting the settings window reads, each once, in the order the
// scanner receives the gets when the window opens: symbology, output method
// (all four channels), output format, control (with `nfccontentformat`),
// version. A profile lists its keys in this order, so a dump reads exactly
// like the window's opening and two dumps compare line by line.
const std::vector<std::string_view>& KnownKeys();

// Keys the window writes but never reads (channel lists, NFC serial port,
// NFC content order). A profile may carry them by hand.
const std::vector<std::string_view>& WrittenOnlyKeys();

bool IsKnownKey(std::string_view key);

// The firmware version: read, compared, never written by this tool.
bool IsReadOnlyKey(std::string_view key);

}  // namespace lumiq::profile
