// The settings text of profiles and seed files: what ends a line, what is a
// comment, what is refused, and how a write-back keeps the user's lines.

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "profile/profile.h"
#include "profile/setting_text.h"

namespace lumiq::test {
namespace {

using profile::TextSetting;

std::vector<std::string> Parsed(const std::string& text, std::string* problem) {
  std::vector<TextSetting> settings;
  profile::TextProblem why;
  if (!profile::ParseSettingText(text, &settings, &why)) {
    *problem = std::to_string(why.line) + ": " + why.message;
    return {};
  }
  std::vector<std::string> lines;
  for (const TextSetting& s : settings) {
    lines.push_back(std::to_string(s.line) + " " + profile::EscapeBytes(s.key) + "=" +
                    profile::EscapeBytes(s.value));
  }
  return lines;
}

TEST(SettingText, LineEndsMarksCommentsAndControlBytes) {
  struct Row {
    const char* what;
    std::string text;
    std::vector<std::string> settings;  // "LINE key=value", escaped
    std::string problem;                // "LINE: message" start, when refused
  };
  const std::vector<Row> rows = {
      {"CR only", "qrcode=0\rdmcode=0\r", {"1 qrcode=0", "2 dmcode=0"}, ""},
      {"CR LF and LF mixed", "a=1\r\nb=2\nc=3", {"1 a=1", "2 b=2", "3 c=3"}, ""},
      {"CR CR is two lines", "a=1\r\rb=2\r\n", {"1 a=1", "3 b=2"}, ""},
      {"byte order mark", "\xEF\xBB\xBFqrcode=0\n", {"1 qrcode=0"}, ""},
      {"mark only at the start", "a=\xEF\xBB\xBF\n", {"1 a=\\xEF\\xBB\\xBF"}, ""},
      {"indented comment", "  # old: qrcode=1\n\t# x=1\nqrcode=0\n", {"3 qrcode=0"}, ""},
      {"escaped control bytes", "a=\\x00\\x0D\\x09\n", {"1 a=\\x00\\x0D\\x09"}, ""},
      {"raw tab in a value", "a=x\ty\n", {}, "1: value: a raw control byte at column 4"},
      {"raw NUL in a key", std::string("a\0b=1\n", 6), {}, "1: key: a raw control byte"},
      {"raw control, no equals", "abc\x1B\n", {}, "1: a raw control byte at column 4"},
      {"DEL", "ok=1\na=\x7F\n", {}, "2: value: a raw control byte"},
  };
  for (const Row& row : rows) {
    std::string problem;
    EXPECT_EQ(Parsed(row.text, &problem), row.settings) << row.what;
    EXPECT_EQ(problem.rfind(row.problem, 0), 0u) << row.what << ": " << problem;
  }
}

TEST(SettingText, QuoteCutsLongBytesAndSaysHowLong) {
  EXPECT_EQ(profile::Quote("a\x01"), "a\\x01");
  const std::string huge(10 * 1024 * 1024, 'k');
  EXPECT_EQ(profile::Quote(huge), std::string(64, 'k') + "... (10485760 bytes)");
}

TEST(SettingText, UpdateRewritesOnlyChangedSettingsAndKeepsTheRest) {
  const std::string original =
      "\xEF\xBB\xBF# bench scanner\r\n"
      "qrcode=1\r\n"
      "\r\n"
      "  # codeprefix=old\r\n"
      "codeprefix=\\x3a\r\n"  // the user's spelling survives an unchanged value
      "dmcode=1";             // no final line end
  const std::map<std::string, std::string> values = {
      {"qrcode", "0"}, {"codeprefix", ":"}, {"dmcode", "1"}, {"new#", "\n"}};
  EXPECT_EQ(profile::UpdateSettingText(original, values),
            "\xEF\xBB\xBF# bench scanner\r\n"
            "qrcode=0\r\n"
            "\r\n"
            "  # codeprefix=old\r\n"
            "codeprefix=\\x3a\r\n"
            "dmcode=1\r\n"
            "new#=\\x0A\r\n");
}

TEST(ProfileParse, RefusesAnEmptyProfileAndOverlongKeysForEveryUse) {
  std::vector<profile::ProfileEntry> entries;
  profile::ProfileProblem problem;
  for (profile::ProfileUse use : {profile::ProfileUse::kSend, profile::ProfileUse::kCompare}) {
    EXPECT_FALSE(profile::ParseProfile("# only a comment\r\n\r\n", use, &entries, &problem));
    EXPECT_EQ(problem.line, 0);
    EXPECT_EQ(problem.message, "no setting in the file");
    EXPECT_FALSE(profile::ParseProfile("a=1\n" + std::string(256, 'k') + "=1\n", use, &entries,
                                       &problem));
    EXPECT_EQ(problem.line, 2);
    EXPECT_EQ(problem.message.rfind("a key has 1 to 255 bytes: '", 0), 0u) << problem.message;
  }
}

}  // namespace
}  // namespace lumiq::test
