// Command lines zrctl refuses: exit 2 with the usage text, and not a single
// frame sent.

#include <algorithm>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/demo_configuration.h"
#include "tests/support/sim_fixture.h"
#include "tests/zrctl/zrctl_test_support.h"
#include "tools/zrctl/arguments.h"

namespace lumiq::test {
namespace {

using ::testing::HasSubstr;

TEST(ZrctlUsage, UnusableCommandLinesExitTwoAndSendNothing) {
  SimScannerFixture sim;
  sim::SeedDemoScanner(sim.scanner());
  const std::vector<std::vector<std::string>> refused = {
      {},
      {"frobnicate"},
      {"--bogus", "version"},
      {"get"},
      {"set"},
      {"version", "extra"},
      {"restore"},
      {"restore", "a", "b"},
      {"diff"},
      {"dump", "a", "b"},
      {"dump", "file", "--all"},
      {"get", "qrcode", "--commit"},
      {"dump", "--dry-run"},
      {"--all", "--device", "x", "version"},
      {"--device"},
      {"--simulate=", "version"},
      {"--trace", "--trace", "version"},
      {"--all", "--all", "version"},
      {"set", "--commit", "--commit", "qrcode=0"},
      {"--simulate=s", "--simulate=s", "version"},
      {"--with-deviceno", "restore", "p"},
      {"--with-deviceno", "--all", "dump"},
  };
  for (const std::vector<std::string>& args : refused) {
    const ZrctlResult result = RunZrctl(args, &sim.platform());
    const std::string shown = args.empty() ? "(none)" : args.front();
    EXPECT_EQ(result.status, 2) << shown;
    EXPECT_EQ(result.out, "") << shown;
    EXPECT_EQ(result.err.rfind("zrctl: ", 0), 0u) << shown;
    EXPECT_THAT(result.err, HasSubstr("usage: zrctl")) << shown;
  }
  EXPECT_TRUE(sim.scanner().Received().empty());
}

TEST(ZrctlUsage, HelpGoesToStdout) {
  for (const char* help : {"--help", "-h", "help"}) {
    const ZrctlResult result = RunZrctl({help});
    EXPECT_EQ(result.status, 0);
    EXPECT_THAT(result.out, HasSubstr("usage: zrctl"));
    EXPECT_EQ(result.err, "");
  }
}

TEST(ZrctlUsage, OptionsMayStandAnywhere) {
  zrctl::Invocation invocation;
  std::string error;
  ASSERT_TRUE(zrctl::ParseArguments(
      {"set", "qrcode=1", "--commit", "--device=/dev/hidraw2", "--trace", "--", "--odd=x"},
      &invocation, &error))
      << error;
  EXPECT_EQ(invocation.command, zrctl::Command::kSet);
  EXPECT_EQ(invocation.operands, (std::vector<std::string>{"qrcode=1", "--odd=x"}));
  EXPECT_TRUE(invocation.commit);
  EXPECT_TRUE(invocation.trace);
  EXPECT_EQ(invocation.device, "/dev/hidraw2");

  ASSERT_TRUE(zrctl::ParseArguments({"--simulate", "--simulate=a.seed", "--all", "version"},
                                    &invocation, &error));
  EXPECT_EQ(invocation.simulated, (std::vector<std::string>{"", "a.seed"}));
  EXPECT_TRUE(invocation.all);
  EXPECT_EQ(invocation.simulatePaceMicros, -1);
}

// The simulated scanners' pace: a time with its unit, once, and only where
// there are simulated scanners to slow down.
TEST(ZrctlUsage, SimulatePaceNeedsATimeAndSimulatedScanners) {
  zrctl::Invocation invocation;
  std::string error;
  ASSERT_TRUE(zrctl::ParseArguments({"--simulate", "--simulate-pace=1ms", "version"}, &invocation,
                                    &error))
      << error;
  EXPECT_EQ(invocation.simulatePaceMicros, 1000);

  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--simulate-pace=1ms", "version"},
           {"--simulate", "--simulate-pace=fast", "version"},
           {"--simulate", "--simulate-pace=", "version"},
           {"--simulate", "--simulate-pace=1ms", "--simulate-pace=2ms", "version"}}) {
    const ZrctlResult result = RunZrctl(args);
    EXPECT_EQ(result.status, 2) << args[1];
    EXPECT_THAT(result.err, HasSubstr("--simulate-pace")) << args[1];
    EXPECT_EQ(result.out, "");
  }
}

// At a real scanner's pace a run says and sends the same as at full speed;
// the two scanners' frame lines may take turns, each line whole.
TEST(ZrctlUsage, APacedSimulationAnswersAsAnUnpacedOne) {
  const std::vector<std::string> args = {"--simulate", "--simulate", "--all", "--trace",
                                         "get", "qrcode", "masterver"};
  std::vector<std::string> paced = args;
  paced.insert(paced.begin(), "--simulate-pace=200us");
  const ZrctlResult quick = RunZrctl(args);
  const ZrctlResult slow = RunZrctl(paced);
  EXPECT_EQ(quick.status, 0) << quick.err;
  EXPECT_EQ(slow.status, quick.status);
  EXPECT_EQ(slow.out, quick.out);
  std::vector<std::string> slowErr = Lines(slow.err);
  std::vector<std::string> quickErr = Lines(quick.err);
  std::sort(slowErr.begin(), slowErr.end());
  std::sort(quickErr.begin(), quickErr.end());
  EXPECT_EQ(slowErr, quickErr);
}

}  // namespace
}  // namespace lumiq::test
