// dump, restore and diff between simulated scanners: what reaches the
// scanner, in which order, and what the profile file holds.

#include <sys/stat.h>

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/demo_configuration.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"
#include "tests/zrctl/zrctl_test_support.h"
#include "profile/known_keys.h"
#include "profile/profile.h"

namespace lumiq::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// One simulated scanner on a platform of its own, so two of them can stand
// for two different machines' scanners.
struct Bench {
  sim::SimulatedScanner scanner;
  sim::SimPlatform platform;
  Bench() { platform.AddScanner(&scanner); }
  ZrctlResult Run(const std::vector<std::string>& args) { return RunZrctl(args, &platform); }
  std::vector<std::string> Commands() const { return Record(scanner); }
};

std::vector<std::string> KnownKeyGets() {
  std::vector<std::string> gets = {"HANDSHAKE"};
  for (std::string_view key : profile::KnownKeys()) gets.push_back("GET " + std::string(key));
  return gets;
}

class ZrctlProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::SeedDemoScanner(source_.scanner);
    // Values that only survive a profile when every byte is escaped.
    source_.scanner.Set("codeprefix", std::string("#a=b\\\0\xFF\n", 8));
    source_.scanner.Set("wifi0_httpph", std::string(200, 'p'));

    // Another scanner set up differently, with the same firmware.
    target_.scanner.Set("masterver", source_.scanner.Value("masterver"));
    target_.scanner.Set("io_outputs", "hid0");
    target_.scanner.Set("qrcode", "0");
    target_.scanner.Set("codeprefix", "OLD");
    target_.scanner.Set("deviceno", "OTHER-0001");
  }

  Bench source_;
  Bench target_;
  TempFolder folder_;
};

TEST_F(ZrctlProfileTest, DumpRestoreDumpGivesTheSameProfile) {
  const std::string first = folder_.File("first.profile");
  const std::string second = folder_.File("second.profile");

  const ZrctlResult dump = source_.Run({"dump", first});
  ASSERT_EQ(dump.status, 0) << dump.err;
  EXPECT_EQ(dump.out, "");
  // Every known key read once, in the window's order.
  EXPECT_EQ(source_.Commands(), KnownKeyGets());
  const std::string profile = TempFolder::Read(first);
  EXPECT_EQ(Lines(profile).front(), "# zrctl profile: firmware " +
                                        source_.scanner.Value("masterver") +
                                        ", device number " + source_.scanner.Value("deviceno"));
  EXPECT_EQ(Lines(profile).size(), profile::KnownKeys().size() + 1);

  const ZrctlResult restore = target_.Run({"restore", first});
  ASSERT_EQ(restore.status, 0) << restore.err;
  EXPECT_EQ(restore.out, "restored 47 settings, committed, verified\n");
  // Every setting but the firmware version, in file order, then one commit,
  // then each one sent read back in the same order.
  std::vector<std::string> expected = {"HANDSHAKE"};
  std::vector<std::string> readBack;
  for (std::string_view key : profile::KnownKeys()) {
    if (key == "masterver") continue;
    expected.push_back(sim::FormatCommand(
        {0x07, std::string(key), source_.scanner.Value(std::string(key))}));
    readBack.push_back("GET " + std::string(key));
  }
  expected.push_back("COMMIT");
  expected.insert(expected.end(), readBack.begin(), readBack.end());
  EXPECT_EQ(target_.Commands(), expected);
  EXPECT_EQ(target_.scanner.Value("codeprefix"), std::string("#a=b\\\0\xFF\n", 8));

  ASSERT_EQ(target_.Run({"dump", second}).status, 0);
  EXPECT_EQ(TempFolder::Read(second), profile);
}

TEST_F(ZrctlProfileTest, DumpWithoutFileWritesToStdout) {
  const ZrctlResult dump = source_.Run({"dump"});
  ASSERT_EQ(dump.status, 0);
  const std::string file = folder_.File("p");
  ASSERT_EQ(source_.Run({"dump", file}).status, 0);
  EXPECT_EQ(dump.out, TempFolder::Read(file));
}

TEST_F(ZrctlProfileTest, AGetRefusedDuringDumpIsACommentAndExitOne) {
  source_.scanner.Faults().refusedKeys = {"deviceno", "qrcode"};
  const std::string file = folder_.File("partial.profile");

  const ZrctlResult dump = source_.Run({"dump", file});

  EXPECT_EQ(dump.status, 1);
  EXPECT_THAT(dump.err, HasSubstr("get deviceno failed"));
  EXPECT_EQ(source_.Commands(), KnownKeyGets());  // the dump went on to the end
  const std::vector<std::string> lines = Lines(TempFolder::Read(file));
  EXPECT_EQ(lines[0], "# zrctl profile: firmware " + source_.scanner.Value("masterver") +
                          ", device number unknown (get failed)");
  EXPECT_EQ(lines[1], "# qrcode: get failed (GetSetting -1), value not saved");
  EXPECT_EQ(lines.back(), "# deviceno: get failed (GetSetting -1), value not saved");
  for (const std::string& line : lines) {
    EXPECT_NE(line.rfind("deviceno=", 0), 0u) << "an empty value stands in for a failed get";
  }

  // Restoring it leaves those settings of the next scanner alone.
  ASSERT_EQ(target_.Run({"restore", file}).status, 0);
  EXPECT_EQ(target_.scanner.Value("deviceno"), "OTHER-0001");
  EXPECT_EQ(target_.scanner.Value("qrcode"), "0");
}

TEST_F(ZrctlProfileTest, RestoreRefusesABadFileBeforeSendingAnything) {
  struct Case {
    const char* what;
    std::string text;
    std::string where;
  };
  const std::vector<Case> cases = {
      {"duplicate key", "# profile\nqrcode=1\ndmcode=1\nqrcode=0\n", ":4: qrcode is already set on line 2"},
      {"over-long value", "qrcode=1\ncodeprefix=" + std::string(244, 'x') + "\n",
       ":2: codeprefix: too long for one set"},
      {"malformed escape", "qrcode=1\n\ndmcode=1\ncodeprefix=a\\x4\n", ":4: value: bad escape"},
      {"no equals sign", "qrcode=1\nqrcode 1\n", ":2: no '='"},
  };
  for (const Case& c : cases) {
    const std::string file = folder_.File("bad.profile");
    TempFolder::Write(file, c.text);
    const ZrctlResult result = target_.Run({"restore", file});
    EXPECT_EQ(result.status, 2) << c.what;
    EXPECT_THAT(result.err, HasSubstr(file + c.where)) << c.what;
    EXPECT_EQ(result.out, "") << c.what;
  }
  EXPECT_TRUE(target_.Commands().empty());
}

TEST_F(ZrctlProfileTest, RestoreReportsEveryFailedSetAndStillCommits) {
  const std::string file = folder_.File("p");
  TempFolder::Write(file, "qrcode=1\r\ndmcode=0\r\ncodeprefix=X\r\ndeviceno=7\r\n");
  target_.scanner.Faults().refusedKeys = {"dmcode", "deviceno"};

  const ZrctlResult result = target_.Run({"restore", file});

  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("line 2: set dmcode failed: refused by the scanner (SetSetting -3)"));
  EXPECT_THAT(result.err, HasSubstr("line 4: set deviceno failed"));
  EXPECT_EQ(result.out, "restored 2 settings, 2 failed, committed, verified\n");
  // Only what the scanner took is read back.
  EXPECT_EQ(target_.Commands(),
            (std::vector<std::string>{"HANDSHAKE", "SET qrcode=1", "SET dmcode=0",
                                      "SET codeprefix=X", "SET deviceno=7", "COMMIT",
                                      "GET qrcode", "GET codeprefix"}));
}

TEST_F(ZrctlProfileTest, RestoreExitsOneWhenTheCommitFails) {
  const std::string file = folder_.File("p");
  TempFolder::Write(file, "qrcode=1\n");
  target_.scanner.Faults().refusedCommands = {0x09};

  const ZrctlResult result = target_.Run({"restore", file});

  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("commit failed"));
  EXPECT_EQ(result.out, "restored 1 settings, commit failed\n");
}

TEST_F(ZrctlProfileTest, DryRunPrintsWhatWouldBeSentAndOpensNothing) {
  const std::string file = folder_.File("p");
  TempFolder::Write(file, "# a profile\nqrcode=1\nmasterver=V9\ncodeprefix=a\\x01\n");
  sim::SimPlatform nothing;

  const ZrctlResult result = RunZrctl({"restore", "--dry-run", file}, &nothing);

  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "SET qrcode=1\n"
            "# line 3: masterver is the firmware version, not sent\n"
            "SET codeprefix=a\\x01\n"
            "COMMIT\n");
}

TEST_F(ZrctlProfileTest, DiffOfAnIdenticalScannerIsEmpty) {
  const std::string file = folder_.File("p");
  ASSERT_EQ(source_.Run({"dump", file}).status, 0);
  source_.scanner.ClearReceived();

  const ZrctlResult result = source_.Run({"diff", file});

  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(source_.Commands(), KnownKeyGets());  // reads only
}

TEST_F(ZrctlProfileTest, DiffNamesEachDifferingKeyWithBothValues) {
  const std::string file = folder_.File("p");
  ASSERT_EQ(source_.Run({"dump", file}).status, 0);
  source_.scanner.Set("qrcode", "0");
  source_.scanner.Set("bluetooth0_name", "new\tname");

  const ZrctlResult result = source_.Run({"diff", file});

  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out,
            "qrcode: scanner=0 file=1\n"
            "bluetooth0_name: scanner=new\\x09name file=ZR-BT-0417\n");
}

TEST_F(ZrctlProfileTest, DiffExitsOneWhenAGetFails) {
  const std::string file = folder_.File("p");
  TempFolder::Write(file, "qrcode=1\nfancykey=2\n");
  source_.scanner.Faults().refusedKeys = {"qrcode"};
  source_.scanner.Set("fancykey", "2");

  const ZrctlResult result = source_.Run({"diff", file});

  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_THAT(result.err, HasSubstr("get qrcode failed"));
  EXPECT_THAT(result.err, HasSubstr(":2: note: fancykey is not a key zrctl knows"));
}

// The Wi-Fi password: a dump holding it is its owner's alone and says so;
// --no-secrets leaves it out, and restoring that file sends nothing for it,
// so the scanner keeps its own and nothing differs.
TEST_F(ZrctlProfileTest, ADumpWithTheWiFiPasswordIsPrivateOrLeavesItOut) {
  source_.scanner.Set("wifi0_stawskeykey", "hunter2");
  target_.scanner.Set("wifi0_stawskeykey", "theirs");
  const auto mode = [](const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
  };
  const mode_t umaskWas = umask(022);
  const std::string whole = folder_.File("whole.profile");
  const ZrctlResult dump = source_.Run({"dump", whole});
  EXPECT_EQ(dump.status, 0) << dump.err;
  EXPECT_THAT(dump.err, HasSubstr("whole.profile holds the Wi-Fi password (wifi0_stawskeykey)"));
  EXPECT_EQ(mode(whole), 0600u);
  EXPECT_THAT(TempFolder::Read(whole), HasSubstr("\nwifi0_stawskeykey=hunter2\n"));

  const std::string shared = folder_.File("shared.profile");
  const ZrctlResult sharing = source_.Run({"dump", "--no-secrets", shared});
  umask(umaskWas);
  EXPECT_EQ(sharing.status, 0) << sharing.err;
  EXPECT_EQ(sharing.err, "");
  EXPECT_EQ(mode(shared), 0644u);
  const std::string text = TempFolder::Read(shared);
  EXPECT_THAT(text, Not(HasSubstr("hunter2")));
  EXPECT_THAT(text, Not(HasSubstr("\nwifi0_stawskeykey=")));
  EXPECT_THAT(source_.Run({"--json", "dump", "--no-secrets"}).out, Not(HasSubstr("hunter2")));
  EXPECT_EQ(source_.Run({"restore", "--no-secrets", shared}).status, 2);

  const ZrctlResult restore = target_.Run({"restore", shared});
  EXPECT_EQ(restore.status, 0) << restore.err;
  EXPECT_THAT(restore.out, HasSubstr("verified"));
  for (const std::string& command : target_.Commands()) {
    EXPECT_THAT(command, Not(HasSubstr("wifi0_stawskeykey")));
  }
  EXPECT_EQ(target_.scanner.Value("wifi0_stawskeykey"), "theirs");
  EXPECT_EQ(target_.Run({"diff", shared}).status, 0);
}

TEST(ZrctlProfileParse, SetFitsDecidesAtTheLinkLimit) {
  std::vector<profile::ProfileEntry> entries;
  profile::ProfileProblem problem;
  const std::string fits = "codeprefix=" + std::string(243, 'x') + "\n";  // 10 + 243 + 3
  const std::string over = "codeprefix=" + std::string(244, 'x') + "\n";
  EXPECT_TRUE(profile::ParseProfile(fits, profile::ProfileUse::kSend, &entries, &problem));
  EXPECT_FALSE(profile::ParseProfile(over, profile::ProfileUse::kSend, &entries, &problem));
  EXPECT_EQ(problem.line, 1);
  // diff only reads, so a long value in its file is fine.
  EXPECT_TRUE(profile::ParseProfile(over, profile::ProfileUse::kCompare, &entries, &problem));
}

TEST(ZrctlProfileParse, LinesKeepTheirNumbersPastCommentsAndBlankLines) {
  std::vector<profile::ProfileEntry> entries;
  profile::ProfileProblem problem;
  ASSERT_TRUE(profile::ParseProfile("# head\r\n\r\nqrcode=1\r\n# x\ndmcode=\\x0D\r\n",
                                  profile::ProfileUse::kSend, &entries, &problem));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].line, 3);
  EXPECT_EQ(entries[0].value, "1");
  EXPECT_EQ(entries[1].line, 5);
  EXPECT_EQ(entries[1].value, "\r");
}

}  // namespace
}  // namespace lumiq::test
