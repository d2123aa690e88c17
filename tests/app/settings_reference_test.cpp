// The settings reference as `zrctl keys` prints it: found by running the
// pages, it must name every key a profile holds and the values the pages
// really send, the combined hint and the reboot light's four among them.

#include "ui/app/settings_reference.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "profile/known_keys.h"

namespace lumiq::ui::app {
namespace {

const KeyReference* Find(const std::vector<KeyReference>& keys, const std::string& key) {
  const auto at = std::find_if(keys.begin(), keys.end(),
                               [&key](const KeyReference& entry) { return entry.key == key; });
  return at == keys.end() ? nullptr : &*at;
}

std::vector<std::string> ValuesOf(const KeyReference& key) {
  std::vector<std::string> values;
  for (const ValueMeaning& value : key.values) values.push_back(value.value);
  return values;
}

TEST(SettingsReference, EveryKeyOfAProfileWithTheValuesThePagesSend) {
  const std::vector<KeyReference> keys = SettingsReference();
  for (std::string_view known : profile::KnownKeys()) {
    const KeyReference* key = Find(keys, std::string(known));
    ASSERT_NE(key, nullptr) << known;
    EXPECT_TRUE(key->read) << known;
  }
  for (std::string_view written : profile::WrittenOnlyKeys()) {
    const KeyReference* key = Find(keys, std::string(written));
    ASSERT_NE(key, nullptr) << written;
    EXPECT_FALSE(key->read) << written;
    EXPECT_FALSE(key->step.empty()) << written;
  }

  const KeyReference* codehint = Find(keys, "codehint");
  ASSERT_NE(codehint, nullptr);
  const std::vector<std::string> hints = ValuesOf(*codehint);
  EXPECT_NE(std::find(hints.begin(), hints.end(), "1,26"), hints.end());
  EXPECT_EQ(codehint->step, "S4");

  const KeyReference* reboot = Find(keys, "reboothint");
  ASSERT_NE(reboot, nullptr);
  EXPECT_EQ(ValuesOf(*reboot), (std::vector<std::string>{"7,11", "8,9,11", "7,9,11", "8,11"}));
  EXPECT_NE(reboot->when.find("1217"), std::string::npos) << reboot->when;

  const KeyReference* engines = Find(keys, "enginelist");
  ASSERT_NE(engines, nullptr);
  EXPECT_EQ(ValuesOf(*engines), (std::vector<std::string>{"bra,cuff", "belt,bra,cuff"}));
  EXPECT_EQ(engines->step, "S7");

  const KeyReference* version = Find(keys, "masterver");
  ASSERT_NE(version, nullptr);
  EXPECT_TRUE(version->step.empty());

  const KeyReference* baud = Find(keys, "com1_baudrate");
  ASSERT_NE(baud, nullptr);
  EXPECT_NE(baud->when.find("1064"), std::string::npos) << baud->when;

  EXPECT_EQ(ReferenceText(keys, "nosuchkey"), "");
  EXPECT_EQ(ReferenceText(keys, "qrcode").rfind("qrcode  ", 0), 0u);
}

}  // namespace
}  // namespace lumiq::ui::app
