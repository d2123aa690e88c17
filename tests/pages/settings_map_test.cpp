// The pages loading from and storing into settings held in memory, as the
// window's configuration files use them: the same controls and values as
// against the scanner, and not one command sent.

#include <gtest/gtest.h>

#include <string>

#include "link/device_commands.h"
#include "res/ids/control_ids.h"
#include "sim/demo_configuration.h"
#include "tests/support/fake_page_controls.h"
#include "tests/support/sim_fixture.h"
#include "ui/pages/setting_io.h"
#include "ui/pages/settings_sequence.h"

namespace lumiq::test {
namespace {

using ui::SettingMap;

TEST(SettingsMap, PagesLoadAndStoreAsAgainstTheScannerWithoutSending) {
  SimScannerFixture sim;
  sim::SeedDemoScanner(sim.scanner());
  ASSERT_EQ(sim.Connect(), kOpened);

  FakeSettingsWindow fromScanner;
  ui::PageSet scannerPages = fromScanner.Pages();
  SettingMap read;
  ASSERT_TRUE(ui::LoadPages(scannerPages, &read).empty());
  ASSERT_EQ(read.size(), sim.Gets().size());
  for (const auto& [key, value] : read) EXPECT_EQ(sim.scanner().Value(key), value) << key;

  sim.scanner().ClearReceived();
  FakeSettingsWindow fromMap;
  ui::PageSet mapPages = fromMap.Pages();
  EXPECT_TRUE(ui::LoadPagesFrom(mapPages, read).empty());
  EXPECT_TRUE(sim.Trace().empty());
  EXPECT_EQ(fromMap.outputMethod.ShownIds(), fromScanner.outputMethod.ShownIds());
  EXPECT_EQ(fromMap.control.CheckedIds(), fromScanner.control.CheckedIds());
  EXPECT_EQ(fromMap.symbology.CheckedIds(), fromScanner.symbology.CheckedIds());
  EXPECT_EQ(fromMap.version.Text(1103), fromScanner.version.Text(1103));

  // What Save would leave on the scanner, without sending it.
  fromMap.control.Type(res::control::kIntervalEdit, "1500");
  SettingMap stored = read;
  EXPECT_TRUE(ui::StorePagesInto(mapPages, &stored).empty());
  EXPECT_TRUE(sim.Trace().empty());
  EXPECT_EQ(stored.at("intervaltime"), "1500");
  ui::SavePages(mapPages);
  for (const auto& [key, value] : stored) EXPECT_EQ(sim.scanner().Value(key), value) << key;
}

TEST(SettingsMap, FailsWhatTheLinkWouldRefuse) {
  const SettingMap source = {{"a", std::string(255, 'x')}, {"b", std::string(256, 'x')}};
  ui::SettingReader reader(source);
  EXPECT_EQ(reader.Get("a").size(), 255u);
  EXPECT_EQ(reader.Get("b"), "");  // no room for the terminator
  EXPECT_EQ(reader.Get("c"), "");
  EXPECT_EQ(reader.FailedKeys(), (std::vector<std::string>{"b", "c"}));

  SettingMap sink;
  ui::SettingWriter writer(sink);
  writer.Set("k", "1");
  writer.Set("k", std::string(252, 'v'));  // 1 + 252 + 3 = 256 fits; the later value stays
  writer.Set("long", std::string(250, 'v'));
  EXPECT_EQ(sink, (SettingMap{{"k", std::string(252, 'v')}}));
  EXPECT_EQ(writer.FailedKeys(), (std::vector<std::string>{"long"}));
}

}  // namespace
}  // namespace lumiq::test
