#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <string_view>

#include "profile/known_keys.h"
#include "sim/demo_configuration.h"
#include "sim/seed_file.h"
#include "sim/simulated_scanner.h"

namespace lumiq::test {
namespace {

using sim::FormatSeed;
using sim::ParseSeed;
using sim::SeedError;
using sim::SettingList;

TEST(SeedFileTest, EscapeKeepsPrintableAsciiAndEscapesTheRest) {
  EXPECT_EQ(sim::EscapeBytes("ok =#,;~ "), "ok =#,;~ ");
  EXPECT_EQ(sim::EscapeBytes(std::string("a\\b\t\x7F\x80\xFF\0", 8)),
            "a\\\\b\\x09\\x7F\\x80\\xFF\\x00");
}

TEST(SeedFileTest, EveryByteSurvivesFormatAndParseInKeysAndValues) {
  std::string allBytes;
  for (int byte = 0; byte < 256; ++byte) allBytes += static_cast<char>(byte);
  const SettingList settings = {
      {"all", allBytes},
      {"backslashes", "\\\\x41\\"},  // looks like an escape, is not one
      {"equals", "a=b==c="},
      {"crlf", "line\r\n"},
      {"trailing-cr", "value\r"},
      {"empty", ""},
      {"blanks", "  "},
      {"#notacomment", "1"},
      {"key=with=equals", "2"},
      {std::string("key\xFF\n", 5), "3"},
      {"dup", "first"},
      {"dup", "second"},
  };
  const std::string text = FormatSeed(settings);
  SettingList parsed;
  SeedError error;
  ASSERT_TRUE(ParseSeed(text, &parsed, &error)) << error.line << ": " << error.message;
  EXPECT_EQ(parsed, settings);
  // One line per setting: nothing in a value may break the line structure.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(settings.size()));
}

TEST(SeedFileTest, ParseSkipsCommentsAndBlankLinesAndTakesValuesVerbatim) {
  const std::string text =
      "# demo\r\n"
      "\r\n"
      "   \n"
      "qrcode=1\r\n"
      "wifi0_httpph=/scan?a=1&b=2\n"
      "codeprefix= [ \n"
      "lower=\\x0d\\x0a\n"
      "nfcprefix=";  // no final line break, empty value
  SettingList parsed;
  ASSERT_TRUE(ParseSeed(text, &parsed, nullptr));
  EXPECT_EQ(parsed, (SettingList{{"qrcode", "1"},
                                 {"wifi0_httpph", "/scan?a=1&b=2"},
                                 {"codeprefix", " [ "},
                                 {"lower", "\r\n"},
                                 {"nfcprefix", ""}}));
}

TEST(SeedFileTest, ChineseIsTextAndTheScannerHoldsItsGbkBytes) {
  const SettingList settings = {{"deviceno", "\xB2\xD6\xBF\xE2-7"}, {"codeprefix", "\xFF\x81"}};
  const std::string text = FormatSeed(settings);
  EXPECT_EQ(text, "deviceno=仓库-7\ncodeprefix=\\xFF\\x81\n");
  SettingList parsed;
  ASSERT_TRUE(ParseSeed(text, &parsed, nullptr));
  EXPECT_EQ(parsed, settings);
  SeedError error;
  EXPECT_FALSE(ParseSeed("ok=1\nbluetooth0_name=Straße\n", &parsed, &error));
  EXPECT_EQ(error.line, 2);
  EXPECT_NE(error.message.find("(U+00DF)"), std::string::npos) << error.message;
}

TEST(SeedFileTest, MalformedLinesAreRejectedWithTheirLineNumber) {
  struct Case {
    std::string text;
    int line;
  };
  const Case cases[] = {
      {"qrcode=1\n# note\nno equals sign\n", 3},
      {"=1\n", 1},
      {"qrcode=1\r\n\r\n=\r\n", 3},
      {"a=1\nb=c:\\temp\n", 2},
      {"a=\\x4\n", 1},
      {"a=\\xZZ\n", 1},
      {"a=ends with\\\n", 1},
      {"a=\\X41\n", 1},
      {"bad\\key=1\n", 1},
  };
  for (const Case& c : cases) {
    SettingList parsed = {{"kept", "as it was"}};
    SeedError error;
    EXPECT_FALSE(ParseSeed(c.text, &parsed, &error)) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text;
    EXPECT_FALSE(error.message.empty());
    EXPECT_EQ(parsed, (SettingList{{"kept", "as it was"}})) << "no half-parsed result";
  }
}

class SeedFileOnDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("lumiq-seed-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(SeedFileOnDiskTest, WriteReplacesTheFileWholeAndLeavesNoTemporary) {
  const std::string path = (dir_ / "scanner.seed").string();
  ASSERT_TRUE(sim::WriteSeedFile(path, "qrcode=0\n"));
  const SettingList settings = {{"qrcode", "1"}, {"binary", std::string("\0\xFF", 2)}};
  ASSERT_TRUE(sim::WriteSeedFile(path, FormatSeed(settings)));
  SettingList read;
  SeedError error;
  ASSERT_TRUE(sim::ReadSeedFile(path, &read, &error)) << error.message;
  EXPECT_EQ(read, settings);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(SeedFileOnDiskTest, FailuresAreReportedNotIgnored) {
  SettingList read;
  SeedError error;
  EXPECT_FALSE(sim::ReadSeedFile((dir_ / "missing.seed").string(), &read, &error));
  EXPECT_FALSE(error.message.empty());
  EXPECT_FALSE(sim::WriteSeedFile((dir_ / "no-such-dir" / "x.seed").string(), "a=1\n"));

  const std::string path = (dir_ / "broken.seed").string();
  std::ofstream(path) << "a=1\nbroken\n";
  EXPECT_FALSE(sim::ReadSeedFile(path, &read, &error));
  EXPECT_EQ(error.line, 2);
}

// --- the built-in demo scanner ------------------------------------------------

TEST(DemoConfigurationTest, HoldsEveryKeyThePagesReadWithValuesTheyRecognise) {
  sim::SimulatedScanner scanner;
  sim::SeedDemoScanner(scanner);
  for (std::string_view key : profile::KnownKeys()) {
    EXPECT_FALSE(scanner.Value(std::string(key)).empty()) << key;
  }

  // The values that decide which controls a page shows or checks.
  EXPECT_EQ(scanner.Value("io_outputs"), "wifi0");
  EXPECT_EQ(scanner.Value("wifi0_protocol"), "TCP");
  EXPECT_EQ(scanner.Value("wifi0_apimothed"), "9");
  EXPECT_EQ(scanner.Value("codehint"), "1,26");
  EXPECT_EQ(scanner.Value("reboothint"), "7,11");
  EXPECT_EQ(scanner.Value("nfcable"), "1");
  EXPECT_EQ(scanner.Value("enginelist"), "bra,cuff");
  EXPECT_NE(scanner.Value("contentorder").find("ENTER"), std::string::npos);
  const std::set<std::string> formats = {"char", "hex", "dec", "dec1", "dec2",
                                         "dec3", "char1", "hextochar", "phidtochar"};
  for (const char* key : {"nfccontentformat", "codecontentformat", "contentformat"}) {
    EXPECT_TRUE(formats.count(scanner.Value(key))) << key;
  }
}

// Each seed sets every key the tool reads or writes, once, and nothing else:
// a key added to the tool and not to a seed, or one a seed still carries
// after the tool dropped it, shows here.
std::multiset<std::string> KeysOf(const SettingList& settings) {
  std::multiset<std::string> keys;
  for (const auto& setting : settings) keys.insert(setting.first);
  return keys;
}

std::multiset<std::string> AllKnownKeys() {
  std::multiset<std::string> keys;
  for (std::string_view key : profile::KnownKeys()) keys.emplace(key);
  for (std::string_view key : profile::WrittenOnlyKeys()) keys.emplace(key);
  return keys;
}

TEST(KnownKeysTest, DemoConfigurationAndKernelSeedHoldExactlyTheKnownKeys) {
  SettingList demo;
  SeedError error;
  ASSERT_TRUE(ParseSeed(sim::DemoSeedText(), &demo, &error)) << error.message;
  EXPECT_EQ(KeysOf(demo), AllKnownKeys());

  SettingList kernel;
  ASSERT_TRUE(sim::ReadSeedFile(LUMIQ_KERNEL_SEED_FILE, &kernel, &error)) << error.message;
  EXPECT_EQ(KeysOf(kernel), AllKnownKeys());
}

}  // namespace
}  // namespace lumiq::test
