#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

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

}  // namespace lumiq::test
