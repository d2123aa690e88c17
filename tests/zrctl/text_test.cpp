// Setting values as text: what zrctl sends for typed characters, what it
// prints, and how a profile holding Chinese goes back to a scanner.

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/demo_configuration.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"
#include "tests/zrctl/zrctl_test_support.h"

namespace lumiq::test {
namespace {

using ::testing::HasSubstr;

struct TextBench {
  sim::SimulatedScanner scanner;
  sim::SimPlatform platform;
  TextBench() { platform.AddScanner(&scanner); }
  ZrctlResult Run(const std::vector<std::string>& args) { return RunZrctl(args, &platform); }
};

TEST(ZrctlText, TypedTextIsSentAsTheWindowWouldSendIt) {
  TextBench bench;
  // Text as GBK, the euro sign as code page 936 has it, and an escape for a
  // byte that is no character, next to text.
  const ZrctlResult set =
      bench.Run({"set", "codeprefix=条€", "codepostfix=\\xE6\\x9D\\xA1", "deviceno=库\\xFF"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(Record(bench.scanner),
            (std::vector<std::string>{"HANDSHAKE", "SET codeprefix=\\xCC\\xF5\\x80",
                                      "SET codepostfix=\\xE6\\x9D\\xA1",
                                      "SET deviceno=\\xBF\\xE2\\xFF"}));

  // get prints what is text as text, the rest escaped.
  const ZrctlResult get = bench.Run({"get", "codeprefix", "codepostfix", "deviceno"});
  ASSERT_EQ(get.status, 0) << get.err;
  EXPECT_EQ(get.out, "codeprefix=条€\ncodepostfix=鏉\\xA1\ndeviceno=库\\xFF\n");
}

TEST(ZrctlText, ACharacterGbkLacksRefusesTheCommandAndNamesIt) {
  TextBench bench;
  for (const std::string& value : {std::string("Straße"), std::string("ok\xF0\x9F\x98\x80")}) {
    const ZrctlResult set = bench.Run({"set", "qrcode=0", "codeprefix=" + value});
    EXPECT_EQ(set.status, 2);
    EXPECT_THAT(set.err, HasSubstr(value == "Straße" ? "'ß' (U+00DF)" : "(U+1F600)"));
    EXPECT_THAT(set.err, HasSubstr("codeprefix=" + value));
    EXPECT_THAT(set.err, HasSubstr("nothing sent"));
  }
  // Not even the set before it went out: nothing was opened.
  EXPECT_TRUE(Record(bench.scanner).empty());
}

TEST(ZrctlText, AChineseProfileIsTextAndRestoresByteForByte) {
  TempFolder folder;
  TextBench source;
  sim::SeedDemoScanner(source.scanner);
  source.scanner.Set("codeprefix", "\xC7\xB0\xD6\xC3");  // "前置"
  source.scanner.Set("deviceno", "\xB2\xD6\xBF\xE2-7");  // "仓库-7"
  source.scanner.Set("codepostfix", "\xFF\xB2");         // not text
  const std::string file = folder.File("chinese.profile");
  ASSERT_EQ(source.Run({"dump", file}).status, 0);
  const std::string profile = TempFolder::Read(file);
  EXPECT_THAT(profile, HasSubstr(", device number 仓库-7\n"));
  EXPECT_THAT(profile, HasSubstr("\ncodeprefix=前置\n"));
  EXPECT_THAT(profile, HasSubstr("\ncodepostfix=\\xFF\\xB2\n"));

  TextBench target;
  target.scanner.Set("masterver", source.scanner.Value("masterver"));
  ASSERT_EQ(target.Run({"restore", file}).status, 0);
  EXPECT_EQ(target.scanner.Value("codeprefix"), "\xC7\xB0\xD6\xC3");
  EXPECT_EQ(target.scanner.Value("codepostfix"), "\xFF\xB2");
  const std::string again = folder.File("again.profile");
  ASSERT_EQ(target.Run({"dump", again}).status, 0);
  EXPECT_EQ(TempFolder::Read(again), profile);

  // A dump from before, every byte escaped, means the same values: diff
  // finds nothing, and a changed value shows as text on both sides.
  const std::string old = folder.File("old.profile");
  TempFolder::Write(old, "# zrctl profile: firmware V2.0.7, device number \\xB2\\xD6\\xBF\\xE2-7\n"
                         "codeprefix=\\xC7\\xB0\\xD6\\xC3\ndeviceno=\\xB2\\xD6\\xBF\\xE2-7\n");
  const ZrctlResult same = target.Run({"diff", old});
  EXPECT_EQ(same.status, 0) << same.out << same.err;
  target.scanner.Set("codeprefix", "\xCC\xF5");
  const ZrctlResult changed = target.Run({"diff", old});
  EXPECT_EQ(changed.status, 1);
  EXPECT_EQ(changed.out, "codeprefix: scanner=条 file=前置\n");
}

TEST(ZrctlText, AGbkSavedProfileSendsTheBytesItHolds) {
  // 誠 (D5 5C) and 運 (DF 5C) end in the byte of an ASCII backslash.
  TempFolder folder;
  const std::string file = folder.File("gbk.profile");
  TempFolder::Write(file, "codeprefix=\xD5\x5Cx30\xCC\x96\ncodepostfix=\xDF\x5C\n");
  TextBench bench;
  const ZrctlResult restore = bench.Run({"restore", file});
  ASSERT_EQ(restore.status, 0) << restore.err;
  EXPECT_EQ(bench.scanner.Value("codeprefix"), "\xD5\x5Cx30\xCC\x96");
  EXPECT_EQ(bench.scanner.Value("codepostfix"), "\xDF\x5C");
}

}  // namespace
}  // namespace lumiq::test
