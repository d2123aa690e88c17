// Several scanners at once: --all and the station serve each on a thread of
// its own, and what each one got, said and logged is its own and whole.

#include <csignal>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/demo_configuration.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"
#include "tests/zrctl/zrctl_test_support.h"

#ifdef __linux__
#include "tests/support/file_size_limit.h"
#endif

namespace lumiq::test {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::Not;

constexpr int kFleet = 10;

std::string Number(int i) { return "N-" + std::to_string(i); }

class ZrctlConcurrentTest : public ::testing::Test {
 protected:
  // Ten seed files, each with a device number of its own; the arguments
  // that simulate them.
  std::vector<std::string> Fleet(const std::string& extra = std::string()) {
    std::vector<std::string> args;
    for (int i = 0; i < kFleet; ++i) {
      seeds_.push_back(folder_.File("s" + std::to_string(i) + ".seed"));
      TempFolder::Write(seeds_.back(), "masterver=V2.0.7\ndeviceno=" + Number(i) +
                                           "\nqrcode=1\ncodeprefix=\n" + (i == 3 ? extra : ""));
      args.push_back("--simulate=" + seeds_.back());
    }
    return args;
  }

  static std::vector<std::string> With(std::vector<std::string> args,
                                       const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
  }

  TempFolder folder_;
  std::vector<std::string> seeds_;
  const std::string profile_ = folder_.File("golden.profile");
};

// Each seed ends as the profile with its own device number; the closing
// lines come in port order, each after its scanner's own output, and the
// frame lines on standard error stay whole.
TEST_F(ZrctlConcurrentTest, TenScannersRestoredAtOnceEachKeepTheirOwnNumber) {
  TempFolder::Write(profile_, "qrcode=0\ncodeprefix=SN\ndeviceno=GOLD\n");
  const std::vector<std::string> fleet = Fleet();

  const ZrctlResult result = RunZrctl(With(fleet, {"--all", "--trace", "restore", profile_}));

  ASSERT_EQ(result.status, 0) << result.err;
  std::vector<std::string> expected;
  for (int i = 0; i < kFleet; ++i) {
    EXPECT_EQ(TempFolder::Read(seeds_[i]),
              "masterver=V2.0.7\ndeviceno=" + Number(i) + "\nqrcode=0\ncodeprefix=SN\n");
    expected.push_back(
        "restored 2 settings, committed, verified; deviceno not sent: each scanner keeps its own "
        "(--with-deviceno sends it)");
    expected.push_back(sim::SimPlatform::PathOf(i, 1) + " (port 1-" + std::to_string(i + 1) +
                       ", deviceno " + Number(i) + "): ok");
  }
  EXPECT_EQ(Lines(result.out), expected);
  const std::vector<std::string> frames = Lines(result.err);
  EXPECT_EQ(frames.size(), kFleet * 2u * 7u);  // handshake, 2 sets, commit, 3 gets
  for (const std::string& line : frames) {
    EXPECT_THAT(line, MatchesRegex("[<>]( [0-9A-F][0-9A-F])+"));
  }

  // Three at a time, the result reads the same.
  seeds_.clear();
  const ZrctlResult three = RunZrctl(With(Fleet(), {"--all", "--jobs=3", "restore", profile_}));
  EXPECT_EQ(three.status, 0) << three.err;
  EXPECT_EQ(Lines(three.out), expected);
}

// A scanner pulled out halfway fails alone; the nine beside it are restored.
TEST(ZrctlConcurrent, AScannerUnpluggedMidRestoreFailsAlone) {
  sim::SimulatedScanner scanners[kFleet];
  sim::SimPlatform platform;
  for (int i = 0; i < kFleet; ++i) {
    sim::SeedDemoScanner(scanners[i]);
    scanners[i].Set("deviceno", Number(i));
    scanners[i].Set("qrcode", "1");
    platform.AddScanner(&scanners[i]);
  }
  scanners[6].Faults().unplugFrom = 3;  // after the first set
  TempFolder folder;
  const std::string profile = folder.File("p");
  TempFolder::Write(profile, "qrcode=0\ncodeprefix=SN\n");

  const ZrctlResult result = RunZrctl({"--all", "restore", profile}, &platform);

  EXPECT_EQ(result.status, 1);
  std::vector<std::string> closing;
  for (const std::string& line : Lines(result.out)) {
    if (line.rfind("restored ", 0) != 0) closing.push_back(line);
  }
  ASSERT_EQ(closing.size(), static_cast<size_t>(kFleet)) << result.out;
  for (int i = 0; i < kFleet; ++i) {
    SCOPED_TRACE(i);
    const std::string lead = sim::SimPlatform::PathOf(i, 1) + " (port 1-" + std::to_string(i + 1);
    if (i == 6) {
      EXPECT_THAT(closing[i], MatchesRegex(".*: failed: .*")) << closing[i];
      EXPECT_THAT(Record(scanners[i]), Not(Contains("COMMIT")));
      continue;
    }
    EXPECT_EQ(closing[i], lead + ", deviceno " + Number(i) + "): ok");
    EXPECT_EQ(scanners[i].Value("qrcode"), "0");
    EXPECT_EQ(scanners[i].Value("codeprefix"), "SN");
  }
}

// Ctrl+C lets the scanner under way finish and begins no other.
TEST(ZrctlConcurrent, ASignalUnderAllBeginsNoFurtherScanner) {
  sim::SimulatedScanner scanners[3];
  sim::SimPlatform platform;
  for (sim::SimulatedScanner& scanner : scanners) {
    sim::SeedDemoScanner(scanner);
    platform.AddScanner(&scanner);
  }
  scanners[0].onCommit = [] { std::raise(SIGINT); };

  const ZrctlResult result =
      RunZrctl({"--all", "--jobs=1", "set", "--commit", "qrcode=0"}, &platform);

  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(Lines(result.out), (std::vector<std::string>{
                                   sim::SimPlatform::PathOf(0, 1) + ": ok",
                                   sim::SimPlatform::PathOf(1, 1) + ": not begun: stopped",
                                   sim::SimPlatform::PathOf(2, 1) + ": not begun: stopped"}));
  EXPECT_THAT(Record(scanners[0]), Contains("COMMIT"));
  EXPECT_THAT(Record(scanners[1]), ::testing::IsEmpty());
  EXPECT_THAT(Record(scanners[2]), ::testing::IsEmpty());
}

#ifdef __linux__
// A write-back that fails is told to the scanner whose commit it was, not
// to whichever finished first.
TEST_F(ZrctlConcurrentTest, AFailedWriteBackFailsItsOwnScanner) {
  const std::vector<std::string> fleet = Fleet("# " + std::string(400, 'x') + "\n");
  ZrctlResult result;
  {
    FileSizeLimit diskFull(300);
    result = RunZrctl(With(fleet, {"--all", "set", "--commit", "qrcode=0"}));
  }
  EXPECT_EQ(result.status, 1);
  const std::vector<std::string> lines = Lines(result.out);
  ASSERT_EQ(lines.size(), static_cast<size_t>(kFleet));
  for (int i = 0; i < kFleet; ++i) {
    const std::string path = sim::SimPlatform::PathOf(i, 1);
    if (i == 3) {
      EXPECT_EQ(lines[i].rfind(path + ": failed: simulated scanner: the commit could not be "
                                      "written back: cannot write " + seeds_[i], 0),
                0u)
          << lines[i];
    } else {
      EXPECT_EQ(lines[i], path + ": ok");
    }
  }
}
#endif

// Ten scanners at the desk at once: ten whole rows under one header, each
// scanner once, each with its own number; whole lines on the terminal.
TEST_F(ZrctlConcurrentTest, AStationServesTenScannersAtOnceWithOneRowEach) {
  TempFolder::Write(profile_, "masterver=V2.0.7\nqrcode=0\n");
  const std::string log = folder_.File("station.csv");

  const ZrctlResult result =
      RunZrctl(With(Fleet(), {"provision", profile_, "--count", "10", "--log", log, "--trace"}));

  ASSERT_EQ(result.status, 0) << result.err;
  const std::vector<std::string> rows = Lines(TempFolder::Read(log));
  ASSERT_EQ(rows.size(), kFleet + 1u);
  EXPECT_EQ(rows[0], "time,port,deviceno,firmware,result,failed_keys\r");
  std::set<std::string> seen;
  const std::regex row("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ,(1-\\d+),(N-\\d),V2\\.0\\.7,ok,\r");
  for (size_t i = 1; i < rows.size(); ++i) {
    std::smatch match;
    ASSERT_TRUE(std::regex_match(rows[i], match, row)) << rows[i];
    EXPECT_EQ("N-" + std::to_string(std::stoi(match[1].str().substr(2)) - 1), match[2].str());
    seen.insert(match[1].str());
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(kFleet));
  const std::vector<std::string> lines = Lines(result.out);
  ASSERT_EQ(lines.size(), kFleet + 2u);
  for (size_t i = 1; i <= kFleet; ++i) {
    EXPECT_THAT(lines[i], MatchesRegex("sim:scanner[0-9]/if1 \\(port 1-[0-9]+, deviceno N-[0-9], "
                                       "firmware V2\\.0\\.7\\): ok: changed qrcode"));
  }
  EXPECT_EQ(lines.back(),
            "provisioned 10 scanners: 10 ok, 0 compliant, 0 failed, 0 not applied (firmware)");
  // Frames, and what each scanner held before, each line whole.
  for (const std::string& line : Lines(result.err)) {
    EXPECT_THAT(line, MatchesRegex("[<>]( [0-9A-F][0-9A-F])+|qrcode: scanner=1 profile=0"));
  }
  for (int i = 0; i < kFleet; ++i) {
    EXPECT_THAT(TempFolder::Read(seeds_[i]), HasSubstr("deviceno=" + Number(i) + "\nqrcode=0\n"));
  }
}

TEST(ZrctlConcurrent, JobsIsANumberForSeveralScanners) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--simulate", "--all", "--jobs", "0", "version"},
           {"--simulate", "--all", "--jobs=x", "version"},
           {"--simulate", "--all", "--jobs", "version"},
           {"--simulate", "--all", "--jobs=2", "--jobs=2", "version"},
           {"--simulate", "--jobs=2", "version"}}) {
    SCOPED_TRACE(args[2]);
    const ZrctlResult result = RunZrctl(args);
    EXPECT_EQ(result.status, 2);
    EXPECT_THAT(result.err, HasSubstr("--jobs"));
    EXPECT_EQ(result.out, "");
  }
  EXPECT_EQ(RunZrctl({"--simulate", "--simulate", "--all", "--jobs=1", "version"}).status, 0);
}

}  // namespace
}  // namespace lumiq::test
