#include "profile/known_keys.h"

#include <algorithm>

#include "link/device_commands.h"

namespace lumiq::profile {

const std::vector<std::string_view>& KnownKeys() {
  static const std::vector<std::string_view> keys = {
      // symbology page
      "qrcode", "dmcode", "onecode", "pdf417code", "anticode", "mirrorcode",
      // output method page: the channel, then COM, Wi-Fi and Bluetooth
      // parameters in the order each channel's load reads them
      "io_outputs",
      "com1_baudrate", "com1_stopbits", "com1_bytesizes", "com1_paritys",
      "wifi0_wapssid", "wifi0_stassid", "wifi0_stawskeykey",
      "wifi0_serveraddr", "wifi0_serverport", "wifi0_httpph",
      "wifi0_stawskeyauth", "wifi0_stawskeyencry", "wifi0_protocol",
      "wifi0_apimothed",
      "bluetooth0_name",
      // output format page
      "contentorder", "codeprefix", "codepostfix", "nfcprefix", "nfcpostfix",
      "codeprepostformat", "nfcprepostformat", "nfcreadmethod",
      "hid0_presskeytime", "hid0_upkeytime",
      // control page
      "codehint", "reboothint", "nfchint", "workmode", "intervaltime",
      "nfccontentbegin", "nfccontentend", "nfcable", "nfccontentformat",
      "codecontentformat", "contentformat", "developctrl", "scanmode",
      "enginelist",
      // version page
      kVersionKey, "deviceno",
  };
  return keys;
}

const std::vector<std::string_view>& WrittenOnlyKeys() {
  static const std::vector<std::string_view> keys = {
      "io_inits", "io_monitors", "nfccontentorder", "nfcserial", "com0_devname",
  };
  return keys;
}

namespace {
bool Contains(const std::vector<std::string_view>& keys, std::string_view key) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}
}  // namespace

bool IsKnownKey(std::string_view key) {
  return Contains(KnownKeys(), key) || Contains(WrittenOnlyKeys(), key);
}

bool IsReadOnlyKey(std::string_view key) { return key == kVersionKey; }

const std::vector<std::string_view>& SecretKeys() {
  static const std::vector<std::string_view> keys = {"wifi0_stawskeykey"};
  return keys;
}

bool HoldsSecret(std::string_view key, std::string_view value) {
  return !value.empty() && Contains(SecretKeys(), key);
}

std::string SecretLeftOutLine(std::string_view key) {
  return "# " + std::string(key) + ": left out, a secret; a restore leaves the scanner's own\n";
}

}  // namespace lumiq::profile
