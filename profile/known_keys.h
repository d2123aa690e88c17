#pragma once

#include <string>
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

// Settings that are secrets (the Wi-Fi password, which the window masks): a
// file that holds one is readable by its owner only, its writer says so,
// and a profile for sharing leaves them out.
const std::vector<std::string_view>& SecretKeys();

// Whether `value` of `key` is a secret a file must keep from others. An
// empty password gives nothing away.
bool HoldsSecret(std::string_view key, std::string_view value);

// The comment that stands in a profile for a secret left out. A restore of
// it sends nothing for the key: the scanner keeps its own value.
std::string SecretLeftOutLine(std::string_view key);

}  // namespace lumiq::profile
