#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "link/device_commands.h"
#include "tests/support/fake_page_controls.h"
#include "tests/support/sim_fixture.h"
#include "ui/pages/setting_io.h"

namespace lumiq::test {

// One page's logic on a fake of its template, connected to a simulated
// scanner through the real link layers. Each page's test adds its own Store
// calls, since every page stores in its own steps.
template <typename Page>
class PageTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(sim_.Connect(), kOpened); }

  void Seed(const std::string& key, const std::string& value) { sim_.scanner().Set(key, value); }
  void Seed(const std::map<std::string, std::string>& values) {
    for (const auto& [key, value] : values) Seed(key, value);
  }
  void Load() { Page::Load(page_, reader_); }

  SimScannerFixture sim_;
  FakePageControls page_{Page::kTemplateId};
  ui::SettingReader reader_;
  ui::SettingWriter writer_;
};

// The keys of the sets the scanner received, in order.
inline std::vector<std::string> SetKeys(const SimScannerFixture& sim) {
  std::vector<std::string> keys;
  for (const std::string& line : sim.Sets()) keys.push_back(line.substr(4, line.find('=') - 4));
  return keys;
}

// Where `key` stands in `keys`, or -1.
inline long IndexOf(const std::vector<std::string>& keys, const std::string& key) {
  const auto it = std::find(keys.begin(), keys.end(), key);
  return it == keys.end() ? -1 : static_cast<long>(it - keys.begin());
}

}  // namespace lumiq::test
