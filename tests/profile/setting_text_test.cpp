// The settings text of profiles and seed files: what ends a line, what is a
// comment, what is refused, and how a write-back keeps the user's lines.

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "profile/gbk_text.h"
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
      // Anywhere else it is U+FEFF, which the scanner's GBK cannot hold.
      {"mark only at the start", "a=\xEF\xBB\xBF\n", {},
       "1: value: '\xEF\xBB\xBF' (U+FEFF) at column 3 has no code"},
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

TEST(SettingText, KeysThatLookLikeCommentsOrAssignmentsAreEscaped) {
  EXPECT_EQ(profile::FormatSettingLine("  #a=b", "#"), "  \\x23a\\x3Db=#\n");
  std::string problem;
  EXPECT_EQ(Parsed(profile::FormatSettingLine("  #a=b", "#"), &problem),
            std::vector<std::string>{"1   #a=b=#"});
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

}  // namespace
}  // namespace lumiq::test

namespace lumiq::test {
namespace {

using namespace lumiq::profile;

TEST(SettingTextAsGbk, EveryValueWrittenReadsBackAsTheSameBytes) {
  // Every byte alone and every pair a scanner can hold, in one profile.
  std::vector<std::string> values;
  for (int byte = 0; byte <= 0xFF; ++byte) values.emplace_back(1, static_cast<char>(byte));
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    std::string row;
    for (int trail = 0; trail <= 0xFF; ++trail) {
      row += static_cast<char>(lead);
      row += static_cast<char>(trail);
    }
    values.push_back(row);
    values.push_back(row.substr(1));  // the same bytes, paired the other way
  }
  std::string text;
  for (size_t i = 0; i < values.size(); ++i) text += FormatSettingLine("k" + std::to_string(i), values[i]);
  ASSERT_TRUE(IsUtf8(text));
  std::vector<TextSetting> settings;
  TextProblem problem;
  ASSERT_TRUE(ParseSettingText(text, &settings, &problem)) << problem.line << ": " << problem.message;
  ASSERT_EQ(settings.size(), values.size());
  for (size_t i = 0; i < values.size(); ++i) {
    ASSERT_EQ(settings[i].value, values[i]) << "value " << i << ": " << EscapeBytes(values[i]);
  }
}

TEST(SettingTextAsGbk, GbkIsWrittenAsTextAndEverythingElseEscaped) {
  EXPECT_EQ(FormatSettingLine("codeprefix", "\xCC\xF5"), "codeprefix=条\n");
  EXPECT_EQ(FormatSettingLine("deviceno", "\xB2\xD6\xBF\xE2-7 \x80"), "deviceno=仓库-7 €\n");
  // Not GBK: a lone lead byte, a lead byte before a byte that cannot trail
  // it; and a private-use character, which an editor would show as nothing.
  EXPECT_EQ(FormatSettingLine("a", "\xB2"), "a=\\xB2\n");
  EXPECT_EQ(FormatSettingLine("a", "\x81\x30\xCC\xF5"), "a=\\x810条\n");
  EXPECT_EQ(FormatSettingLine("a", "\xFF\xAA\xA1"), "a=\\xFF\\xAA\\xA1\n");
  EXPECT_EQ(EscapeText("\\\x01\xCC\xF5"), "\\\\\\x01条");
}

TEST(SettingTextAsGbk, TextOldEscapesAndGbkEditorsGiveTheSameBytes) {
  const std::string bytes = "\xCC\xF5-\xB2\xD6";  // "条-仓"
  for (const std::string& line : {std::string("codeprefix=条-仓"),          // UTF-8 editor
                                  std::string("codeprefix=\\xCC\\xF5-\\xB2\\xD6"),  // old dump
                                  std::string("codeprefix=\xCC\xF5-\xB2\xD6"),      // GBK editor
                                  std::string("codeprefix=条-\\xB2\\xD6")}) {
    std::vector<TextSetting> settings;
    TextProblem problem;
    ASSERT_TRUE(ParseSettingText(line + "\n", &settings, &problem)) << line << ": " << problem.message;
    ASSERT_EQ(settings.size(), 1u);
    EXPECT_EQ(settings[0].value, bytes) << line;
  }
  // A line edited in a GBK editor stays as it was when its value is kept,
  // and a changed or added one comes out escaped: UTF-8 in a GBK file would
  // read back as other bytes.
  const std::string gbkFile = "a=\xCC\xF5\nb=\xB2\xD6\n";
  const std::string updated =
      UpdateSettingText(gbkFile, {{"a", "\xCC\xF5"}, {"b", "\xCC\xF5"}, {"c", "\xB2\xD6"}});
  EXPECT_EQ(updated, "a=\xCC\xF5\nb=\\xCC\\xF5\nc=\\xB2\\xD6\n");
  std::string problem;
  EXPECT_EQ(Parsed(updated, &problem),
            (std::vector<std::string>{"1 a=\\xCC\\xF5", "2 b=\\xCC\\xF5", "3 c=\\xB2\\xD6"}));
}

TEST(SettingTextAsGbk, ATrailByteThatIsABackslashInAsciiIsNoEscape) {
  // 誠 is D5 5C and 運 DF 5C in GBK; 號 is CC 96.
  const std::string file = "codeprefix=\xD5\x5Cx30\xCC\x96\ncodepostfix=\xD5\x5C\n"
                           "deviceno=\xDF\x5C\\\\\\x41\n";
  std::string problem;
  EXPECT_EQ(Parsed(file, &problem),
            (std::vector<std::string>{"1 codeprefix=\\xD5\\\\x30\\xCC\\x96",
                                      "2 codepostfix=\\xD5\\\\", "3 deviceno=\\xDF\\\\\\\\A"}))
      << problem;
  // Written back, the changed line is escaped and the others kept byte for byte.
  const std::string updated = UpdateSettingText(file, {{"codeprefix", "\xD5\x5Cx30\xCC\x96"},
                                                       {"codepostfix", "\xDF\x5C"},
                                                       {"deviceno", "\xDF\x5C\\A"}});
  EXPECT_EQ(updated, "codeprefix=\xD5\x5Cx30\xCC\x96\ncodepostfix=\\xDF\\\\\n"
                     "deviceno=\xDF\x5C\\\\\\x41\n");
}

TEST(SettingTextAsGbk, ACharacterGbkCannotHoldRefusesTheLineNamingIt) {
  const struct {
    std::string text;
    std::string problem;
  } rows[] = {
      {"ok=1\ncodeprefix=aß\n", "2: value: 'ß' (U+00DF) at column 13 has no code"},
      {"codeprefix=条\xF0\x9F\x98\x80\n", "1: value: '\xF0\x9F\x98\x80' (U+1F600) at column 15"},
      {"한=1\n", "1: key: '한' (U+D55C) at column 1"},
  };
  for (const auto& row : rows) {
    std::string problem;
    EXPECT_TRUE(Parsed(row.text, &problem).empty());
    EXPECT_EQ(problem.rfind(row.problem, 0), 0u) << problem;
  }
}

}  // namespace
}  // namespace lumiq::test
