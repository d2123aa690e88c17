// A profile must read exactly what the settings window reads, in the same
// order: the window's Load runs here against the demo scanner once per
// output channel (NFC on, so `nfccontentformat` is read too), and every
// run's gets must follow the profile's key order, all runs together
// covering all of its keys.

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/demo_configuration.h"
#include "tests/support/fake_page_controls.h"
#include "tests/support/sim_fixture.h"
#include "profile/known_keys.h"
#include "ui/pages/settings_sequence.h"

namespace lumiq::test {
namespace {

std::vector<std::string> WindowGets(const std::string& channel) {
  SimScannerFixture sim;
  sim::SeedDemoScanner(sim.scanner());
  sim.scanner().Set("io_outputs", channel);
  sim.scanner().Set("nfcable", "1");
  EXPECT_EQ(sim.Connect(), 1);

  FakeSettingsWindow window;
  ui::PageSet pages = window.Pages();
  ui::LoadPages(pages);

  std::vector<std::string> keys;
  for (const std::string& get : sim.Gets()) keys.push_back(get.substr(4));
  return keys;
}

TEST(KnownKeys, FollowTheWindowsReadOrderForEveryChannel) {
  std::set<std::string> covered;
  for (const char* channel : {"com1", "hid0", "wifi0", "bluetooth0"}) {
    const std::vector<std::string> gets = WindowGets(channel);
    std::vector<std::string> inProfileOrder;
    for (std::string_view key : profile::KnownKeys()) {
      for (const std::string& get : gets) {
        if (get == key) inProfileOrder.emplace_back(key);
      }
    }
    EXPECT_EQ(inProfileOrder, gets) << channel;
    covered.insert(gets.begin(), gets.end());
  }
  EXPECT_EQ(covered, std::set<std::string>(profile::KnownKeys().begin(), profile::KnownKeys().end()));
  EXPECT_EQ(covered.size(), profile::KnownKeys().size());  // each key once
}

}  // namespace
}  // namespace lumiq::test
