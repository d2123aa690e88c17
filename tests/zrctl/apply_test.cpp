// check and apply: a scanner that holds the profile gets nothing at all, one
// that differs gets the whole profile, a commit and a read-back; the exit
// status and the closing line tell a configuration manager which happened.

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "link/frame_codec.h"
#include "sim/demo_configuration.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"
#include "tests/zrctl/json_reader.h"
#include "tests/zrctl/zrctl_test_support.h"
#include "tools/zrctl/salt_line.h"

namespace lumiq::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

bool Writes(const std::vector<std::string>& record) {
  return std::any_of(record.begin(), record.end(), [](const std::string& line) {
    return line.rfind("SET", 0) == 0 || line == "COMMIT";
  });
}

class ZrctlApplyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (sim::SimulatedScanner* scanner : {&first_, &second_}) {
      sim::SeedDemoScanner(*scanner);
      scanner->Set("qrcode", "1");
      scanner->Set("codeprefix", "");
      platform_.AddScanner(scanner);
    }
    first_.Set("deviceno", "A-1");
    second_.Set("deviceno", "B-2");
    profile_ = folder_.File("golden.profile");
    TempFolder::Write(profile_, "masterver=V0\nqrcode=0\ncodeprefix=SN\n");
  }
  ZrctlResult Run(std::vector<std::string> args) {
    first_.ClearReceived();
    second_.ClearReceived();
    args.push_back(profile_);
    return RunZrctl(args, &platform_);
  }
  std::string Path(int scanner) const { return sim::SimPlatform::PathOf(scanner, 1); }

  sim::SimulatedScanner first_;
  sim::SimulatedScanner second_;
  sim::SimPlatform platform_;
  TempFolder folder_;
  std::string profile_;
};

TEST_F(ZrctlApplyTest, CheckReadsOnceAndSendsNothing) {
  const ZrctlResult differs = Run({"--device", Path(0), "check"});
  EXPECT_EQ(differs.status, 1) << differs.err;
  // The firmware version is never sent, so never compared.
  EXPECT_EQ(Record(first_), (std::vector<std::string>{"HANDSHAKE", "GET qrcode",
                                                      "GET codeprefix", "GET deviceno"}));
  EXPECT_THAT(Lines(differs.out),
              ElementsAre("qrcode: scanner=1 profile=0", "codeprefix: scanner= profile=SN",
                          "differs: 2 of 2 settings",
                          "changed=no comment=\"1 scanner: 1 differs (qrcode, codeprefix)\""));

  second_.Set("qrcode", "0");
  second_.Set("codeprefix", "SN");
  const ZrctlResult compliant = Run({"--device", Path(1), "check", "--summary"});
  EXPECT_EQ(compliant.status, 0) << compliant.err;
  EXPECT_EQ(compliant.out, "changed=no comment=\"1 scanner compliant\"\n");

  // One scanner not read and one differing: 3 wins, and neither is written.
  second_.Faults().refusedKeys = {"codeprefix"};
  second_.Set("qrcode", "1");
  const ZrctlResult broken = Run({"--all", "check"});
  EXPECT_EQ(broken.status, 3);
  EXPECT_FALSE(Writes(Record(first_)));
  EXPECT_FALSE(Writes(Record(second_)));
  EXPECT_THAT(broken.err, HasSubstr("get codeprefix failed"));
  EXPECT_THAT(broken.out, HasSubstr(Path(1) + " (port 1-2, deviceno not read): not read: get codeprefix failed"));

  const Json document = Parse(Run({"--json", "--all", "check"}).out);
  EXPECT_EQ(document["status"].text, "3");
  EXPECT_EQ(document["compliant"].text, "false");
  EXPECT_EQ(document["scanners"][0]["compliant"].text, "false");
  EXPECT_EQ(document["scanners"][0]["deviceno"].text, "A-1");
  EXPECT_EQ(document["scanners"][1]["compliant"].kind, Json::kNull);  // not known
  EXPECT_EQ(document["scanners"][1]["failed_keys"][0].text, "codeprefix");

  sim::SimPlatform nothing;
  const ZrctlResult none = RunZrctl({"--all", "check", profile_}, &nothing);
  EXPECT_EQ(none.status, 3);
  EXPECT_THAT(none.out, HasSubstr("changed=no comment=\"no scanner found"));

  EXPECT_EQ(Run({"apply", "--summary", "--json"}).status, 2);
  EXPECT_EQ(Run({"check", "--check"}).status, 2);
}

TEST_F(ZrctlApplyTest, ApplyWritesOnlyWhereSomethingDiffers) {
  second_.Set("qrcode", "0");  // one key differs: the whole profile goes out
  const ZrctlResult plan = Run({"--device", Path(1), "apply", "--check"});
  EXPECT_EQ(plan.status, 1);
  EXPECT_FALSE(Writes(Record(second_)));
  EXPECT_EQ(Lines(plan.out).back(),
            "changed=yes comment=\"1 scanner: 1 would change (codeprefix)\"");

  const ZrctlResult applied = Run({"--device", Path(1), "apply"});
  EXPECT_EQ(applied.status, 0) << applied.err;
  EXPECT_EQ(Record(second_),
            (std::vector<std::string>{"HANDSHAKE", "GET qrcode", "GET codeprefix", "GET deviceno",
                                      "SET qrcode=0", "SET codeprefix=SN", "COMMIT",
                                      "GET qrcode", "GET codeprefix"}));
  EXPECT_THAT(Lines(applied.out),
              ElementsAre("codeprefix: scanner= profile=SN",
                          "1 of 2 settings differed: sent 2 settings, committed, verified",
                          "changed=yes comment=\"1 scanner: 1 changed (codeprefix)\""));

  const ZrctlResult again = Run({"--device", Path(1), "apply"});
  EXPECT_EQ(again.status, 0);
  EXPECT_FALSE(Writes(Record(second_)));
  EXPECT_EQ(Lines(again.out).back(), "changed=no comment=\"1 scanner compliant\"");
}

TEST_F(ZrctlApplyTest, AFailingScannerIsNamedAndHoldsUpNoOther) {
  second_.Faults().refusedCommands = {CommandFrame::kCommandCommit};
  const ZrctlResult result = Run({"--all", "apply"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(first_.Value("qrcode"), "0");
  EXPECT_THAT(result.err, HasSubstr("zrctl: commit failed"));
  EXPECT_THAT(result.out, HasSubstr(Path(0) + " (port 1-1, deviceno A-1): changed: qrcode, codeprefix\n"));
  EXPECT_THAT(result.out, HasSubstr(Path(1) + " (port 1-2, deviceno B-2): failed: commit failed\n"));
  EXPECT_EQ(Lines(result.out).back(),
            "changed=yes comment=\"2 scanners: 1 changed (qrcode, codeprefix), 1 failed "
            "(commit failed)\"");

  // A scanner that keeps another value is caught by the read-back, and
  // outweighs one left alone: 1, not 3.
  second_.Faults().refusedCommands.clear();
  second_.Faults().keptValues = {{"codeprefix", "X"}};
  second_.Set("codeprefix", "");
  first_.Faults().silentFrom = 1;
  const ZrctlResult mixed = Run({"--all", "apply", "--summary"});
  EXPECT_EQ(mixed.status, 1);
  EXPECT_EQ(Lines(mixed.out).size(), 1u);
  EXPECT_THAT(mixed.out, HasSubstr("1 failed (codeprefix not stored as sent), 1 not read (the scanner at"));
}

// A fleet of simulated scanners from seed files, as a configuration manager
// would run zrctl: each keeps its device number, and the document tells
// what was found and done on each.
TEST(ZrctlApplyFleet, EachScannerKeepsItsDeviceNumber) {
  TempFolder folder;
  const std::string a = folder.File("a.seed");
  const std::string b = folder.File("b.seed");
  const std::string golden = folder.File("golden.profile");
  TempFolder::Write(a, "deviceno=A-1\nqrcode=1\nio_outputs=com1\n");
  TempFolder::Write(b, "deviceno=B-2\nqrcode=0\nio_outputs=hid0\n");
  TempFolder::Write(golden, "deviceno=GOLD\nqrcode=0\nio_outputs=hid0\nio_inits=com0,hid0,hid1,com2\n");
  const std::vector<std::string> fleet = {"--simulate=" + a, "--simulate=" + b, "--all"};
  auto run = [&](std::vector<std::string> args) {
    args.insert(args.begin(), fleet.begin(), fleet.end());
    args.push_back(golden);
    return RunZrctl(args);
  };

  const ZrctlResult applied = run({"--json", "apply"});
  EXPECT_EQ(applied.status, 0) << applied.err;
  const Json document = Parse(applied.out);
  EXPECT_EQ(document["compliant"].text, "false");
  EXPECT_EQ(document["changed"].text, "true");
  const Json& first = document["scanners"][0];
  EXPECT_EQ(first["deviceno"].text, "A-1");
  EXPECT_EQ(first["compliant"].text, "false");
  ASSERT_EQ(first["differences"].items.size(), 3u);
  EXPECT_EQ(first["differences"][1]["key"].text, "io_outputs");
  EXPECT_EQ(first["differences"][1]["before"].text, "com1");
  EXPECT_EQ(first["differences"][1]["after"].text, "hid0");
  EXPECT_EQ(first["changed"].text, "true");
  EXPECT_EQ(first["committed"].text, "true");
  EXPECT_EQ(first["verified"].text, "true");
  const Json& second = document["scanners"][1];
  EXPECT_EQ(second["deviceno"].text, "B-2");
  EXPECT_EQ(second["differences"].items.size(), 1u);  // io_inits, never read before
  EXPECT_EQ(TempFolder::Read(a), "deviceno=A-1\nqrcode=0\nio_outputs=hid0\nio_inits=com0,hid0,hid1,com2\n");
  EXPECT_EQ(TempFolder::Read(b), "deviceno=B-2\nqrcode=0\nio_outputs=hid0\nio_inits=com0,hid0,hid1,com2\n");

  const ZrctlResult compliant = run({"check", "--summary"});
  EXPECT_EQ(compliant.status, 0);
  EXPECT_EQ(compliant.out, "changed=no comment=\"2 scanners compliant\"\n");

  const ZrctlResult numbered = run({"apply", "--with-deviceno", "--summary"});
  EXPECT_EQ(numbered.status, 0) << numbered.err;
  EXPECT_EQ(numbered.out,
            "changed=yes comment=\"2 scanners: 2 changed (deviceno)\"\n");
  EXPECT_THAT(TempFolder::Read(b), HasSubstr("deviceno=GOLD\n"));
}

// Whatever the keys and messages hold, the line parses as Salt parses it
// (blanks outside quotes part the pairs, each pair at its one `=`) and stays
// within what a detection script's output keeps.
TEST(ZrctlSaltLine, StaysOneParsableLineWithinTheLimit) {
  std::vector<zrctl::ApplyOutcome> scanners(40);
  for (size_t i = 0; i < scanners.size(); ++i) {
    zrctl::ApplyOutcome& scanner = scanners[i];
    scanner.read = i % 3 != 0;
    scanner.message = std::string(300, '=') + "\"\\ $`\n" + std::to_string(i);
    for (int k = 0; k < 12; ++k) {
      scanner.differences.push_back({"k=\"" + std::to_string(i * 100 + k), "", ""});
    }
  }
  const std::regex salt("changed=(yes|no) comment=\"([^\"\\\\=$`]|\\\\x[0-9A-F]{2})*\"");
  for (zrctl::ApplyMode mode :
       {zrctl::ApplyMode::kCheck, zrctl::ApplyMode::kPlan, zrctl::ApplyMode::kApply}) {
    const std::string line = zrctl::SaltLine(mode, scanners, "");
    EXPECT_LE(line.size(), zrctl::kSaltLineLimit);
    EXPECT_TRUE(std::regex_match(line, salt)) << line;
    if (mode != zrctl::ApplyMode::kApply) {
      EXPECT_THAT(line, HasSubstr("and 304 more"));
    }
  }
  // Keys that fill the line on their own: cut, never in an escape.
  for (zrctl::ApplyOutcome& scanner : scanners) {
    for (zrctl::SettingDifference& difference : scanner.differences) {
      difference.key += std::string(60, '=');
    }
  }
  const std::string cut = zrctl::SaltLine(zrctl::ApplyMode::kApply, scanners, "");
  EXPECT_LE(cut.size(), zrctl::kSaltLineLimit);
  EXPECT_TRUE(std::regex_match(cut, salt)) << cut;
  EXPECT_EQ(zrctl::SaltLine(zrctl::ApplyMode::kApply, {}, "x.profile:2: bad=line"),
            "changed=no comment=\"x.profile:2: bad\\x3Dline\"");
}

}  // namespace
}  // namespace lumiq::test
