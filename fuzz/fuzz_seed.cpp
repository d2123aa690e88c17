// Seed files carry the simulated scanner's memory between runs; whatever the
// scanner was told must come back byte for byte. Two directions:
//  - any text that parses formats to text that parses to the same settings;
//  - any settings (keys of at least one byte, any bytes) survive
//    format-then-parse unchanged;
//  - a write-back of new values into any text that parses reads back as
//    exactly those values, whatever comments and line ends surround them.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "profile/gbk_text.h"
#include "profile/setting_text.h"
#include "sim/seed_file.h"

namespace {

using lumiq::sim::FormatSeed;
using lumiq::sim::ParseSeed;
using lumiq::sim::SeedError;
using lumiq::sim::SettingList;

void CheckRoundTrip(const SettingList& settings) {
  const std::string text = FormatSeed(settings);
  SettingList again;
  SeedError error;
  if (!ParseSeed(text, &again, &error)) {
    std::fprintf(stderr, "formatted text fails on line %d: %s\n", error.line,
                 error.message.c_str());
    std::abort();
  }
  FUZZ_CHECK(again == settings);
  // What the formatter writes is UTF-8 text without control bytes (GBK
  // values as their characters), one line a setting.
  FUZZ_CHECK(lumiq::profile::IsUtf8(text));
  size_t lines = 0;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      ++lines;
    } else {
      FUZZ_CHECK(byte >= 0x20 && byte != 0x7F);
    }
  }
  FUZZ_CHECK(lines == settings.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  SettingList parsed;
  SeedError error;
  if (ParseSeed(text, &parsed, &error)) {
    for (const auto& setting : parsed) FUZZ_CHECK(!setting.first.empty());
    CheckRoundTrip(parsed);

    std::map<std::string, std::string> values;
    for (const auto& setting : parsed) values[setting.first] = setting.second + "\n";
    values["added key"] = "=";
    SettingList updated;
    FUZZ_CHECK(ParseSeed(lumiq::profile::UpdateSettingText(text, values), &updated, nullptr));
    std::map<std::string, std::string> seen;
    for (const auto& setting : updated) {
      FUZZ_CHECK(values.count(setting.first) == 1 && values[setting.first] == setting.second);
      seen[setting.first] = setting.second;
    }
    FUZZ_CHECK(seen == values);
  } else {
    FUZZ_CHECK(error.line >= 1);
    FUZZ_CHECK(!error.message.empty());
  }

  FuzzedDataProvider in(data, size);
  SettingList settings;
  while (in.remaining_bytes() > 0 && settings.size() < 64) {
    std::string key = in.ConsumeRandomLengthString(40);
    if (key.empty()) key = "k";
    settings.emplace_back(std::move(key), in.ConsumeRandomLengthString(300));
  }
  CheckRoundTrip(settings);
  return 0;
}
