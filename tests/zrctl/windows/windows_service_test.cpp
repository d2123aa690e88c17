// The service glue that runs without a service manager: the flag, where the
// lines go and how they are written. The service itself (started, stopped,
// refusing to run without a log, removed) is checked through the service
// manager by scripts/check-msi.sh.

#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/zrctl/service_log.h"
#include "tools/zrctl/windows_service.h"

namespace lumiq::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;

TEST(ZrctlWindowsService, TheFlagIsTakenOutWhereverItStandsBeforeOperandsEnd) {
  std::vector<std::string> args = {"zrctl", "serve", "--windows-service", "p", "--log", "s.csv"};
  EXPECT_TRUE(zrctl::TakeWindowsServiceFlag(args));
  EXPECT_THAT(args, ElementsAre("zrctl", "serve", "p", "--log", "s.csv"));
  EXPECT_FALSE(zrctl::TakeWindowsServiceFlag(args));

  std::vector<std::string> operand = {"zrctl", "restore", "--", "--windows-service"};
  EXPECT_FALSE(zrctl::TakeWindowsServiceFlag(operand));
  EXPECT_EQ(operand.size(), 4u);
}

TEST(ZrctlWindowsService, TheLogSitsBesideTheCsv) {
  EXPECT_EQ(zrctl::ServiceLogPath({"zrctl", "serve", "p", "--log",
                                   "C:\\ProgramData\\LumiqConfigTool\\station.csv"}),
            "C:\\ProgramData\\LumiqConfigTool\\station.log");
  EXPECT_EQ(zrctl::ServiceLogPath({"zrctl", "serve", "p", "--log=仓库.csv"}), "仓库.log");
  // A CSV named .log keeps its name: the lines go to another file.
  EXPECT_EQ(zrctl::ServiceLogPath({"zrctl", "serve", "p", "--log", "rows.log"}), "rows.log.log");
  EXPECT_EQ(zrctl::ServiceLogPath({"zrctl", "serve", "p", "--log", "rows"}), "rows.log");
  EXPECT_EQ(zrctl::ServiceLogPath({"zrctl", "serve", "p"}), "");
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(ZrctlServiceLog, LinesFromBothStreamsArriveWholeAndStamped) {
  std::ostringstream file;
  {
    zrctl::ServiceLog log(file, [] { return std::string("T "); });
    log.Out() << "scanner 1: ";
    log.Err() << "zrctl: a message\r\n";
    log.Out() << "compliant" << std::flush;
    EXPECT_THAT(Lines(file.str()), ElementsAre("T zrctl: a message"));
    log.Out() << "\n";
    log.Err() << "no line break at the end";
  }
  EXPECT_THAT(Lines(file.str()), ElementsAre("T zrctl: a message", "T scanner 1: compliant",
                                             "T no line break at the end"));
}

TEST(ZrctlServiceLog, ConcurrentWritersNeverCutIntoEachOther) {
  std::ostringstream file;
  {
    zrctl::ServiceLog log(file, [] { return std::string(); });
    std::thread other([&] {
      for (int i = 0; i < 200; ++i) log.Err() << "err err err err\n";
    });
    for (int i = 0; i < 200; ++i) log.Out() << "out out out out\n";
    other.join();
  }
  const std::vector<std::string> lines = Lines(file.str());
  EXPECT_EQ(lines.size(), 400u);
  for (const std::string& line : lines) {
    EXPECT_TRUE(line == "out out out out" || line == "err err err err") << line;
  }
}

TEST(ZrctlServiceLog, TheStampIsTheLocalTime) {
  // Windows' GoogleTest has no counted repetition in its expressions.
  EXPECT_THAT(zrctl::ServiceLog::LocalTimeStamp(),
              MatchesRegex("\\d\\d\\d\\d-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d "));
}

}  // namespace
}  // namespace lumiq::test
