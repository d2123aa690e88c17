// zrctl serve: the station as a system service, on simulated scanners whose
// cable the simulated watcher works; reloads asked for by a real SIGHUP.
// The profile must belong to root, so most of it needs the tests run as root.

#ifndef _WIN32

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/demo_configuration.h"
#include "sim/sim_device_watcher.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"
#include "tests/zrctl/zrctl_test_support.h"
#include "tools/zrctl/profile_safety.h"

namespace lumiq::test {
namespace {

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

constexpr char kGolden[] = "masterver=V2.0.7\ndeviceno=GOLD-0\nqrcode=0\ncodeprefix=SN\n";

class ZrctlServeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "a served profile must belong to root";
    const char* numbers[] = {"A-1", "B-2", "C-3"};
    for (int i = 0; i < 3; ++i) {
      sim::SeedDemoScanner(scanners_[i]);
      scanners_[i].Set("deviceno", numbers[i]);
      scanners_[i].Set("masterver", "V2.0.7");
      platform_.AddScanner(&scanners_[i]);
      if (i > 0) scanners_[i].Unplug();
    }
    TempFolder::Write(profile_, kGolden);
    chmod(profile_.c_str(), 0644);
  }

  ZrctlResult Serve() {
    return RunZrctl({"serve", profile_, "--log", log_, "--jobs", "1"}, &platform_, &watcher_);
  }

  void AwaitRows(size_t rows) {
    for (int i = 0; i < 10000 && Lines(TempFolder::Read(log_)).size() < rows + 1; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  // The profile replaced on disk, then the service manager's reload.
  void Reload(const std::string& text, mode_t mode = 0644) {
    const std::string next = profile_ + ".new";
    TempFolder::Write(next, text);
    chmod(next.c_str(), mode);
    std::filesystem::rename(next, profile_);
    std::raise(SIGHUP);
  }

  sim::SimulatedScanner scanners_[3];
  sim::SimPlatform platform_;
  sim::SimDeviceWatcher watcher_{platform_};
  TempFolder folder_;
  const std::string profile_ = folder_.File("site.profile");
  const std::string log_ = folder_.File("station.csv");
};

// A scanner that holds the profile is only read; one that differs gets what
// differs. A broken profile, then one others may write, are refused on
// reload and the last good one stays in force; a good one is applied from
// then on, to the scanners present too. SIGTERM ends it cleanly.
TEST_F(ZrctlServeTest, ReadsFirstAndKeepsTheLastGoodProfileOverBadReloads) {
  scanners_[0].Set("qrcode", "0");
  scanners_[0].Set("codeprefix", "SN");
  watcher_.AddStep([this] {
    AwaitRows(1);
    Reload("qrcode\n");  // no value: not a profile
    watcher_.Plug(1);
  });
  watcher_.AddStep([this] {
    AwaitRows(2);
    Reload("masterver=V2.0.7\ncodeprefix=XX\n", 0666);
    watcher_.Plug(2);
  });
  watcher_.AddStep([this] {
    AwaitRows(3);
    Reload("masterver=V2.0.7\nqrcode=0\ncodeprefix=NEW\n");
  });
  watcher_.AddStep([this] {
    AwaitRows(6);
    std::raise(SIGTERM);
  });

  const ZrctlResult result = Serve();

  EXPECT_EQ(result.status, 0) << result.err;
  const auto line = [](int i, const std::string& number, const std::string& how) {
    return sim::SimPlatform::PathOf(i, 1) + " (port 1-" + std::to_string(i + 1) + ", deviceno " +
           number + ", firmware V2.0.7): " + how;
  };
  EXPECT_THAT(Lines(result.out),
              ElementsAre(AllOf(StartsWith("serving " + profile_), HasSubstr("SIGHUP")),
                          line(0, "A-1", "compliant: nothing sent"),
                          AllOf(StartsWith("reload refused: " + profile_ + ":1: "),
                                HasSubstr("the profile read before stays in force")),
                          line(1, "B-2", "ok: changed qrcode, codeprefix"),
                          AllOf(StartsWith("reload refused: " + profile_ + " is not safe to serve"),
                                HasSubstr("can be written by others than root")),
                          line(2, "C-3", "ok: changed qrcode, codeprefix"),
                          "reloaded " + profile_ + ": the scanners present are checked again",
                          line(0, "A-1", "ok: changed codeprefix"),
                          line(1, "B-2", "ok: changed codeprefix"),
                          line(2, "C-3", "ok: changed codeprefix"),
                          "served 6 scanners: 5 ok, 1 compliant, 0 failed, 0 not applied "
                          "(firmware)"));
  // The compliant scanner was asked, never told, until the profile changed.
  EXPECT_THAT(Record(scanners_[0]),
              ElementsAre("HANDSHAKE", "GET masterver", "GET qrcode", "GET codeprefix",
                          "GET deviceno", "HANDSHAKE", "GET masterver", "GET qrcode",
                          "GET codeprefix", "GET deviceno", "SET qrcode=0",
                          "SET codeprefix=NEW", "COMMIT", "GET qrcode", "GET codeprefix"));
  EXPECT_THAT(Record(scanners_[2]), Not(Contains(HasSubstr("XX"))));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(scanners_[i].Value("codeprefix"), "NEW");
  EXPECT_THAT(TempFolder::Read(log_), HasSubstr(",1-1,A-1,V2.0.7,compliant,\r\n"));
}

// A profile that others than root could change is refused before the log
// is opened or any scanner touched, with a status of its own: the file's
// mode, its owner, a folder above it, a link someone else owns in a shared
// folder. A root-owned folder in the sticky /tmp is no such way in.
TEST_F(ZrctlServeTest, AnUnsafeProfileIsRefusedBeforeAnyScannerIsTouched) {
  std::string why;
  ASSERT_TRUE(zrctl::ProfileWritableOnlyByAdministrators(profile_, why)) << why;

  const std::string inner = folder_.File("open");
  std::filesystem::create_directory(inner);
  const std::string deep = inner + "/site.profile";
  TempFolder::Write(deep, kGolden);
  chmod(deep.c_str(), 0644);
  const std::string link = std::filesystem::temp_directory_path() /
                           ("zrctl-serve-link-" + std::to_string(getpid()));
  std::filesystem::create_symlink(profile_, link);
  lchown(link.c_str(), 65534, 65534);
  // Root's own link, in root's folder, to a file in a folder anyone may
  // write to: where it leads is judged too.
  const std::string through = folder_.File("through.profile");
  std::filesystem::create_symlink("open/./site.profile", through);
  struct Case {
    std::string path;
    std::function<void()> make;
    std::string why;
  };
  const std::vector<Case> cases = {
      {profile_, [this] { chmod(profile_.c_str(), 0664); }, "can be written by others than root"},
      {profile_, [this] { chown(profile_.c_str(), 65534, 0); }, "belongs to user id 65534"},
      {deep, [&] { chmod(inner.c_str(), 0777); }, "the folder " + inner + " can be written"},
      {link, [] {}, "in the shared folder"},
      {through, [] {}, "the folder " + inner + " can be written"},
  };
  for (const Case& unsafe : cases) {
    SCOPED_TRACE(unsafe.path);
    unsafe.make();
    const ZrctlResult result =
        RunZrctl({"serve", unsafe.path, "--log", log_}, &platform_, &watcher_);
    EXPECT_EQ(result.status, 4);
    EXPECT_THAT(result.err, AllOf(HasSubstr(unsafe.path + " is not safe to serve"),
                                  HasSubstr(unsafe.why), HasSubstr("nothing sent")));
    EXPECT_THAT(Record(scanners_[0]), IsEmpty());
    EXPECT_FALSE(std::filesystem::exists(log_));
    chmod(profile_.c_str(), 0644);
    chown(profile_.c_str(), 0, 0);
  }
  std::filesystem::remove(link);
}

TEST(ZrctlServe, TheServiceNeedsALogAndTakesNoCount) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"serve", "p"},
           {"serve", "p", "--log", "x.csv", "--count", "1"},
           {"serve", "p", "--log", "x.csv", "--device", "d"},
           {"serve", "--log", "x.csv"}}) {
    EXPECT_EQ(RunZrctl(args).status, 2) << args.size();
  }
}

}  // namespace
}  // namespace lumiq::test

#endif  // _WIN32
