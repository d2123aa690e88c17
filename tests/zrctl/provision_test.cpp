// zrctl provision: a station at a desk where scanners are plugged in and
// out, played on simulated scanners whose cable the simulated watcher
// works, and ended by a real SIGINT.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <regex>
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
#include "tools/zrctl/provision_log.h"

#ifdef __linux__
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace lumiq::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr char kGolden[] =
    "# zrctl profile: firmware V2.0.7, device number GOLD-0\n"
    "masterver=V2.0.7\n"
    "deviceno=GOLD-0\n"
    "qrcode=0\n"
    "codeprefix=SN\n";

class ZrctlProvisionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* numbers[] = {"A-1", "B-2", "C-3", "D-4"};
    for (int i = 0; i < 4; ++i) {
      sim::SeedDemoScanner(scanners_[i]);
      scanners_[i].Set("deviceno", numbers[i]);
      scanners_[i].Set("masterver", "V2.0.7");
      platform_.AddScanner(&scanners_[i]);
    }
    scanners_[2].Set("masterver", "V1.9.0");
    TempFolder::Write(profile_, kGolden);
  }

  // The scanners at the desk when the station starts.
  void PluggedAtStart(std::vector<int> plugged) {
    for (int i = 0; i < 4; ++i) {
      if (std::find(plugged.begin(), plugged.end(), i) == plugged.end()) scanners_[i].Unplug();
    }
  }

  ZrctlResult Run(std::vector<std::string> args) {
    return RunZrctl(args, &platform_, &watcher_);
  }

  // The log's rows, each split at its commas, the time checked and left out.
  std::vector<std::vector<std::string>> LogRows() {
    std::vector<std::vector<std::string>> rows;
    const std::regex iso("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ");
    for (std::string line : Lines(TempFolder::Read(log_))) {
      EXPECT_FALSE(line.empty() || line.back() != '\r') << "row without CR LF: " << line;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::vector<std::string> fields;
      size_t start = 0;
      for (size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1) {
        fields.push_back(line.substr(start, comma - start));
      }
      fields.push_back(line.substr(start));
      if (!rows.empty()) {
        EXPECT_TRUE(std::regex_match(fields[0], iso)) << fields[0];
        fields.erase(fields.begin());
      }
      rows.push_back(fields);
    }
    return rows;
  }

  // Waits until the station has logged `rows` scanners: the workers serve
  // them while the station listens on.
  void AwaitRows(size_t rows) {
    for (int i = 0; i < 10000 && Lines(TempFolder::Read(log_)).size() < rows + 1; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  sim::SimulatedScanner scanners_[4];
  sim::SimPlatform platform_;
  sim::SimDeviceWatcher watcher_{platform_};
  TempFolder folder_;
  const std::string profile_ = folder_.File("golden.profile");
  const std::string log_ = folder_.File("station.csv");
};

// One scanner at the start, a second plugged in, the first pulled out and
// plugged in again at once, one of another firmware, then Ctrl+C.
TEST_F(ZrctlProvisionTest, EachScannerPluggedInGetsTheProfileOnceAndKeepsItsNumber) {
  PluggedAtStart({0});
  // Each step once the scanners before it are done, as at a desk.
  watcher_.AddStep([this] {
    AwaitRows(1);
    watcher_.Plug(1);
  });
  // Out and in again between two looks: only the notifications tell.
  watcher_.AddStep([this] {
    AwaitRows(2);
    watcher_.Unplug(0);
    scanners_[0].ClearReceived();
    scanners_[0].Set("qrcode", "1");  // changed meanwhile, so the replug shows
    watcher_.Plug(0);
  });
  watcher_.AddStep([this] {
    AwaitRows(3);
    watcher_.Plug(2);
  });
  watcher_.AddStep([this] {
    AwaitRows(4);
    std::raise(SIGINT);
  });

  const ZrctlResult result = Run({"provision", profile_, "--log", log_});

  EXPECT_EQ(result.status, 0) << result.err;
  const std::string first = sim::SimPlatform::PathOf(0, 1);
  const std::string second = sim::SimPlatform::PathOf(1, 1);
  const std::string other = sim::SimPlatform::PathOf(2, 1);
  EXPECT_THAT(Lines(result.out),
              ElementsAre(HasSubstr("deviceno not sent: each scanner keeps its own"),
                          first + " (port 1-1, deviceno A-1, firmware V2.0.7): ok: changed "
                                  "qrcode, codeprefix",
                          second + " (port 1-2, deviceno B-2, firmware V2.0.7): ok: changed "
                                   "qrcode, codeprefix",
                          first + " (port 1-1, deviceno A-1, firmware V2.0.7): ok: changed qrcode",
                          other + " (port 1-3, deviceno C-3, firmware V1.9.0): not applied: "
                                  "the profile is for firmware V2.0.7 (--any-firmware applies it)",
                          "provisioned 4 scanners: 3 ok, 0 compliant, 0 failed, 1 not applied "
                          "(firmware)"));
  EXPECT_EQ(LogRows(), (std::vector<std::vector<std::string>>{
                           {"time", "port", "deviceno", "firmware", "result", "failed_keys"},
                           {"1-1", "A-1", "V2.0.7", "ok", ""},
                           {"1-2", "B-2", "V2.0.7", "ok", ""},
                           {"1-1", "A-1", "V2.0.7", "ok", ""},
                           {"1-3", "C-3", "V1.9.0", "firmware differs", ""}}));
  // What each scanner stores: the profile, its own number; the firmware
  // version is never written.
  for (int i : {0, 1}) {
    EXPECT_EQ(scanners_[i].Value("qrcode"), "0");
    EXPECT_EQ(scanners_[i].Value("codeprefix"), "SN");
    EXPECT_THAT(Record(scanners_[i]), Not(Contains(HasSubstr("SET deviceno"))));
    EXPECT_THAT(Record(scanners_[i]), Not(Contains(HasSubstr("SET masterver"))));
  }
  EXPECT_EQ(scanners_[0].Value("deviceno"), "A-1");
  EXPECT_EQ(scanners_[1].Value("deviceno"), "B-2");
  // The replugged one was read, and having lost a setting got the whole
  // profile again, read back after the commit.
  EXPECT_THAT(Record(scanners_[0]),
              ElementsAre("HANDSHAKE", "GET masterver", "GET qrcode", "GET codeprefix",
                          "GET deviceno", "SET qrcode=0", "SET codeprefix=SN", "COMMIT",
                          "GET qrcode", "GET codeprefix"));
  // The other firmware was asked who it is and left as it was.
  EXPECT_THAT(Record(scanners_[2]), ElementsAre("HANDSHAKE", "GET masterver", "GET deviceno"));
  EXPECT_EQ(scanners_[2].Value("qrcode"), "1");
}

// --any-firmware applies to another firmware too; a scanner that keeps a
// value other than the one sent is a failure naming the key; a second run
// adds to the same log under the one header; --count ends the station and
// its status says a scanner needs another go.
TEST_F(ZrctlProvisionTest, FailuresAndOtherFirmwareAreLoggedAndCountEndsTheRun) {
  PluggedAtStart({2});
  const ZrctlResult refused = Run({"provision", profile_, "--log=" + log_, "--count", "1"});
  EXPECT_EQ(refused.status, 1);

  // The one refused is still there when the next station starts.
  scanners_[3].Faults().keptValues["codeprefix"] = "XX";
  watcher_.AddStep([this] {
    AwaitRows(2);
    watcher_.Plug(3);
  });
  const ZrctlResult applied =
      Run({"provision", "--any-firmware", profile_, "--log", log_, "--count=2"});

  EXPECT_EQ(applied.status, 1);
  EXPECT_THAT(Lines(applied.out),
              ElementsAre(HasSubstr("ends after 2 scanners"),
                          sim::SimPlatform::PathOf(2, 1) +
                              " (port 1-3, deviceno C-3, firmware V1.9.0): ok: changed qrcode, "
                              "codeprefix",
                          sim::SimPlatform::PathOf(3, 1) +
                              " (port 1-4, deviceno D-4, firmware V2.0.7): failed: codeprefix",
                          "provisioned 2 scanners: 1 ok, 0 compliant, 1 failed, 0 not applied "
                          "(firmware)"));
  EXPECT_THAT(applied.err, HasSubstr("codeprefix: sent=SN stored=XX"));
  EXPECT_EQ(LogRows(), (std::vector<std::vector<std::string>>{
                           {"time", "port", "deviceno", "firmware", "result", "failed_keys"},
                           {"1-3", "C-3", "V1.9.0", "firmware differs", ""},
                           {"1-3", "C-3", "V1.9.0", "ok", ""},
                           {"1-4", "D-4", "V2.0.7", "failed", "codeprefix"}}));
  EXPECT_EQ(scanners_[2].Value("qrcode"), "0");
  EXPECT_EQ(scanners_[2].Value("masterver"), "V1.9.0");
}

// Ctrl+C, a polite kill or a closed terminal while a scanner is being
// written: that one is finished and logged, the next one present is left
// alone.
TEST_F(ZrctlProvisionTest, ASignalFinishesTheScannerBeingWrittenAndEndsCleanly) {
  PluggedAtStart({0, 1});
  std::vector<int> signals = {SIGINT, SIGTERM};
#ifdef SIGHUP
  signals.push_back(SIGHUP);
#endif
  for (size_t i = 0; i < signals.size(); ++i) {
    const int signal = signals[i];
    SCOPED_TRACE(signal);
    scanners_[0].ClearReceived();
    scanners_[0].Set("qrcode", "1");  // so that the run before leaves it something to write
    scanners_[0].onCommit = [signal] { std::raise(signal); };

    const ZrctlResult result = Run({"provision", profile_, "--log", log_, "--jobs", "1"});

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_THAT(Lines(result.out),
                ElementsAre(HasSubstr("Ctrl+C ends"),
                            HasSubstr("deviceno A-1, firmware V2.0.7): ok"),
                            "provisioned 1 scanner: 1 ok, 0 compliant, 0 failed, 0 not applied "
                            "(firmware)"));
    EXPECT_EQ(LogRows().size(), i + 2);
    EXPECT_THAT(Record(scanners_[0]), Contains("GET codeprefix"));
    EXPECT_THAT(Record(scanners_[1]), ElementsAre());
  }
}

// A scanner whose firmware version cannot be read and one whose commit is
// refused each have a result of their own; the commit's names every key it
// left uncommitted. A key holding a blank stays one key in the log.
TEST_F(ZrctlProvisionTest, FirmwareNotReadAndAFailedCommitAreTheirOwnResults) {
  PluggedAtStart({0, 1});
  scanners_[0].Faults().refusedKeys = {"masterver"};
  scanners_[1].Faults().refusedCommands = {0x09};

  const ZrctlResult result =
      Run({"provision", profile_, "--log", log_, "--count", "2", "--jobs", "1"});

  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(Lines(result.out),
              ElementsAre(HasSubstr("ends after 2"),
                          sim::SimPlatform::PathOf(0, 1) +
                              " (port 1-1, deviceno A-1): not applied: firmware not read",
                          sim::SimPlatform::PathOf(1, 1) +
                              " (port 1-2, deviceno B-2, firmware V2.0.7): commit failed: "
                              "qrcode, codeprefix not committed",
                          "provisioned 2 scanners: 0 ok, 0 compliant, 2 failed, 0 not applied "
                          "(firmware)"));
  EXPECT_EQ(LogRows(), (std::vector<std::vector<std::string>>{
                           {"time", "port", "deviceno", "firmware", "result", "failed_keys"},
                           {"1-1", "A-1", "", "firmware not read", ""},
                           {"1-2", "B-2", "V2.0.7", "commit failed", "qrcode codeprefix"}}));
  EXPECT_THAT(Record(scanners_[0]), ElementsAre("HANDSHAKE", "GET masterver", "GET deviceno"));

  zrctl::ProvisionRecord record;
  record.failedKeys = {"two words", "b"};
  EXPECT_THAT(zrctl::ProvisionLogRow(record), HasSubstr(",two\\x20words b\r\n"));
}

// The log is opened before any scanner is touched: one that cannot be, or
// that is a file the station reads (by any name), is refused with nothing
// sent to any scanner.
TEST_F(ZrctlProvisionTest, ALogThatCannotBeKeptIsRefusedBeforeAnyScanner) {
  PluggedAtStart({0});
  const std::string alias = folder_.File("alias.csv");
  std::filesystem::create_hard_link(profile_, alias);
  std::vector<std::string> logs = {folder_.File("nodir/station.csv"), profile_, alias};
#ifdef __linux__
  logs.push_back("/proc/self/status");
#endif
  for (const std::string& log : logs) {
    const ZrctlResult result = Run({"provision", profile_, "--log", log});
    EXPECT_EQ(result.status, 2) << log;
    EXPECT_THAT(result.err, HasSubstr("; nothing sent")) << log;
    EXPECT_THAT(Record(scanners_[0]), ElementsAre()) << log;
  }
  EXPECT_EQ(TempFolder::Read(profile_), kGolden);

  // A seed file of the simulation is read and written by the station too.
  const std::string seed = folder_.File("a.seed");
  TempFolder::Write(seed, "masterver=V2.0.7\nqrcode=1\n");
  std::filesystem::create_hard_link(seed, folder_.File("seed.csv"));
  const ZrctlResult seeded = RunZrctl(
      {"--simulate=" + seed, "provision", profile_, "--log", folder_.File("seed.csv")});
  EXPECT_EQ(seeded.status, 2);
  EXPECT_THAT(seeded.err, HasSubstr("is the seed file " + seed));
  EXPECT_EQ(TempFolder::Read(seed), "masterver=V2.0.7\nqrcode=1\n");
}

#ifdef __linux__
// A log on a file system with 6 bytes left: the row that does not fit is
// taken back whole, the scanner's line and count stay, and the station
// stops before the next scanner. Needs a small tmpfs, so root.
TEST_F(ZrctlProvisionTest, ARowThatDoesNotFitIsTakenBackAndTheStationStops) {
  const std::string small = folder_.File("small");
  std::filesystem::create_directory(small);
  if (geteuid() != 0 || mount("tmpfs", small.c_str(), "tmpfs", 0, "size=16k") != 0) {
    GTEST_SKIP() << "mounting a small tmpfs needs root";
  }
  struct Unmount {
    std::string at;
    ~Unmount() { umount2(at.c_str(), MNT_DETACH); }
  } unmount{small};
  const std::string log = small + "/station.csv";
  const std::string header = "time,port,deviceno,firmware,result,failed_keys\r\n";
  // One page, 6 bytes short; the other pages taken.
  const std::string before = header + std::string(4096 - 6 - header.size() - 2, 'x') + "\r\n";
  TempFolder::Write(log, before);
  TempFolder::Write(small + "/filler", std::string(3 * 4096, 'f'));
  PluggedAtStart({0, 1});

  const ZrctlResult result = Run({"provision", profile_, "--log", log, "--jobs=1"});

  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(Lines(result.out),
              ElementsAre(HasSubstr("Ctrl+C ends"), HasSubstr("deviceno A-1, firmware V2.0.7): ok"),
                          "provisioned 1 scanner: 1 ok, 0 compliant, 0 failed, 0 not applied "
                          "(firmware)"));
  EXPECT_THAT(result.err, HasSubstr("cannot write " + log + ": " + std::strerror(ENOSPC) +
                                    "; provisioning stopped"));
  EXPECT_EQ(TempFolder::Read(log), before);
  EXPECT_THAT(Record(scanners_[1]), ElementsAre());
}
#endif

// With --simulate the scanners of the seed files are all at the desk from
// the start, and what each one committed is in its file afterwards. A log
// field that is no plain text is quoted.
TEST_F(ZrctlProvisionTest, SimulatedScannersAreAllPluggedInAtTheStart) {
  const std::string a = folder_.File("a.seed");
  const std::string b = folder_.File("b.seed");
  TempFolder::Write(a, "masterver=V2.0.7\ndeviceno=A-1\nqrcode=1\n");
  // A device number a spreadsheet would take for a formula, with a comma.
  TempFolder::Write(b, "masterver=V2.0.7\ndeviceno==B,2\nqrcode=1\n");

  const ZrctlResult result = RunZrctl({"--simulate=" + a, "--simulate=" + b, "provision", profile_,
                                       "--log", log_, "--count", "2"});

  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(TempFolder::Read(a), "masterver=V2.0.7\ndeviceno=A-1\nqrcode=0\ncodeprefix=SN\n");
  EXPECT_EQ(TempFolder::Read(b), "masterver=V2.0.7\ndeviceno==B,2\nqrcode=0\ncodeprefix=SN\n");
  EXPECT_EQ(LogRows().size(), 3u);
  EXPECT_THAT(TempFolder::Read(log_), HasSubstr(",1-2,\"'=B,2\",V2.0.7,ok,\r\n"));
}

TEST(ZrctlProvision, OptionsOfTheStationAreRefusedElsewhereAndItsOwnChecked) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"restore", "p", "--log", "x.csv"},
           {"--any-firmware", "diff", "p"},
           {"list", "--count", "2"},
           {"provision", "p", "--count", "0"},
           {"provision", "p", "--count", "2x"},
           {"provision", "p", "--json"},
           {"provision", "p", "--all"},
           {"provision", "p", "--log"},
           {"provision"}}) {
    const ZrctlResult result = RunZrctl(args);
    EXPECT_EQ(result.status, 2) << args[0] << " " << args[1];
  }
  TempFolder folder;
  const std::string profile = folder.File("p");
  TempFolder::Write(profile, "qrcode=0\n");
  const ZrctlResult folderLog = RunZrctl({"--simulate", "provision", profile, "--log",
                                          folder.File("")});
  EXPECT_EQ(folderLog.status, 2);
  EXPECT_THAT(folderLog.err, HasSubstr("a folder, not a file"));
}

}  // namespace
}  // namespace lumiq::test
