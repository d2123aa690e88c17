// Two programs on one scanner: the settings window's whole Load and Save in
// one, while another program tries to open the same scanner after every
// report the first writes. The second must be refused each time, with its
// cause, and the first must reach the scanner exactly as if it were alone.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "link/device_commands.h"
#include "link/hid_transport.h"
#include "sim/demo_configuration.h"
#include "sim/sim_platform.h"
#include "tests/support/fake_page_controls.h"
#include "tests/support/forwarding_platform.h"
#include "tests/support/sim_fixture.h"
#include "ui/pages/settings_sequence.h"

namespace lumiq {
namespace {

using Lines = std::vector<std::string>;

// The first program's platform, with a hook after each report written.
class HookedPlatform final : public test::ForwardingPlatform {
 public:
  using ForwardingPlatform::ForwardingPlatform;
  int WriteReport(HidHandle handle, const uint8_t* report, int timeoutMs) override {
    const int result = ForwardingPlatform::WriteReport(handle, report, timeoutMs);
    if (afterWrite) afterWrite();
    return result;
  }

  std::function<void()> afterWrite;
};

// The second program opens as OpenDevice does: discovery, then a link.
OpenFailure SecondProgramOpens(sim::SimPlatform& platform, bool* opened) {
  char path[kDevicePathSize] = {};
  if (FindScannerPath(platform, path, sizeof path) != kScannerFound) return OpenFailure::kNotFound;
  HidLink link(platform);
  HidOpenResult failed;
  *opened = link.OpenHandles(path, &failed) == 0;
  return *opened ? OpenFailure::kNone : failed.failure;
}

// Load and Save of the demo scanner through the pages; the scanner's record.
Lines LoadAndSave(test::SimScannerFixture& sim) {
  test::FakeSettingsWindow window;
  auto pages = window.Pages();
  EXPECT_EQ(OpenDevice(), kOpened);
  EXPECT_TRUE(ui::LoadPages(pages).empty());
  EXPECT_TRUE(ui::SavePages(pages).Succeeded());
  CloseDevice();
  return sim.Trace();
}

TEST(TwoPrograms, TheSecondIsRefusedWhileTheFirstSavesWholeAndUnharmed) {
  Lines alone;
  std::map<std::string, std::string> savedAlone;
  {
    test::SimScannerFixture reference;
    sim::SeedDemoScanner(reference.scanner());
    alone = LoadAndSave(reference);
    savedAlone = reference.scanner().Settings();
  }

  test::SimScannerFixture first;
  sim::SeedDemoScanner(first.scanner());
  HookedPlatform hooked(first.platform());
  sim::SimPlatform second;  // the other program, on the same scanner
  second.AddScanner(&first.scanner());
  int attempts = 0;
  int refusedInUse = 0;
  hooked.afterWrite = [&] {
    bool opened = false;
    ++attempts;
    if (SecondProgramOpens(second, &opened) == OpenFailure::kInUse && !opened) ++refusedInUse;
  };
  UseHidPlatform(&hooked);

  EXPECT_EQ(LoadAndSave(first), alone);
  EXPECT_EQ(first.scanner().Settings(), savedAlone);
  ASSERT_GE(attempts, static_cast<int>(alone.size()));  // after every command at least
  EXPECT_EQ(refusedInUse, attempts);

  // The first program has let go: now the second gets the scanner.
  hooked.afterWrite = nullptr;
  bool opened = false;
  EXPECT_EQ(SecondProgramOpens(second, &opened), OpenFailure::kNone);
  EXPECT_TRUE(opened);
  UseHidPlatform(&first.platform());
}

}  // namespace
}  // namespace lumiq
