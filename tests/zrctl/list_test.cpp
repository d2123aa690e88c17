// zrctl list at a desk with several scanners: each one's port, device number
// and firmware, or why it cannot be read, in the same order on every run.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/demo_configuration.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"
#include "tests/zrctl/zrctl_test_support.h"

namespace lumiq::test {
namespace {

TEST(ZrctlList, EveryScannerByPortWithWhoItIsOrWhyNot) {
  // Enumerated in another order than their ports: the kernel numbers nodes
  // as the devices appear, not by socket.
  sim::SimulatedScanner tenth;
  sim::SimulatedScanner second;
  sim::SimulatedScanner ninth;
  for (sim::SimulatedScanner* scanner : {&tenth, &second, &ninth}) sim::SeedDemoScanner(*scanner);
  tenth.Set("deviceno", "T-10");
  second.Set("deviceno", "S 2");
  second.Set("masterver", "V2.1");
  ninth.Set("deviceno", "N-9");
  sim::SimPlatform platform;
  platform.AddScanner(&tenth, "1-10");
  platform.AddScanner(&second, "1-2");
  platform.AddScanner(&ninth, "1-9");
  // Another program (the window) holds the ninth.
  sim::SimPlatform window;
  window.AddScanner(&ninth);
  const HidHandle held = window.Open(sim::SimPlatform::PathOf(0, 1), HidAccess::kRead).handle;
  ASSERT_NE(held, kInvalidHidHandle);

  const ZrctlResult list = RunZrctl({"list"}, &platform);
  EXPECT_EQ(list.status, 0) << list.err;
  const std::string ids = "  0525:A4AC  interface ";
  const std::string firmware = tenth.Value("masterver");
  EXPECT_EQ(Lines(list.out),
            (std::vector<std::string>{
                sim::SimPlatform::PathOf(1, 0) + ids + "0  not used  port 1-2",
                sim::SimPlatform::PathOf(1, 1) + ids +
                    "1  not used  port 1-2  deviceno 'S 2'  firmware V2.1",
                sim::SimPlatform::PathOf(2, 0) + ids + "0  not used  port 1-9",
                sim::SimPlatform::PathOf(2, 1) + ids +
                    "1  not used  port 1-9  in use by another program",
                sim::SimPlatform::PathOf(0, 0) + ids + "0  not used  port 1-10",
                // The marker stays on the one the other commands take.
                sim::SimPlatform::PathOf(0, 1) + ids + "1  used by zrctl  port 1-10  deviceno T-10"
                    "  firmware " + firmware}));
  // A handshake and two gets, then let go; the held one is not reached.
  const std::vector<std::string> asked = {"HANDSHAKE", "GET deviceno", "GET masterver"};
  EXPECT_EQ(Record(tenth), asked);
  EXPECT_EQ(Record(second), asked);
  EXPECT_TRUE(Record(ninth).empty());
  EXPECT_FALSE(tenth.IsHeld());
  EXPECT_FALSE(second.IsHeld());
  EXPECT_EQ(RunZrctl({"list"}, &platform).out, list.out);

  // Where the user may not open the nodes, the list still shows them.
  window.Close(held);
  platform.SetAccessDenied(true);
  const ZrctlResult denied =
      RunZrctl({"list", "--device", sim::SimPlatform::PathOf(2, 1)}, &platform);
  EXPECT_EQ(denied.status, 0);
  EXPECT_EQ(denied.out, sim::SimPlatform::PathOf(2, 1) + ids + "1  not used  port 1-9  no permission\n");
}

}  // namespace
}  // namespace lumiq::test
