// The settings window's Load and Save against a scanner that goes wrong
// part-way: pulled out, slow, chatty, or sending reports the link cannot use,
// and values at the exact limits of a set. Everything below the pages runs
// for real; the simulated scanner reports a time-out at once, so nothing here
// waits, and a platform in between counts the reads that would have waited.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "link/device_commands.h"
#include "link/frame_codec.h"
#include "res/ids/control_ids.h"
#include "res/ids/output_format_ids.h"
#include "res/ids/output_method_ids.h"
#include "res/ids/symbology_ids.h"
#include "res/ids/version_ids.h"
#include "sim/demo_configuration.h"
#include "tests/support/fake_page_controls.h"
#include "tests/support/forwarding_platform.h"
#include "tests/support/sim_fixture.h"
#include "ui/pages/settings_sequence.h"

namespace lumiq {
namespace {

using Lines = std::vector<std::string>;
namespace output_method = res::output_method;
namespace version = res::version;

// Passes everything on to the simulated scanner's platform and watches: how
// many reads waited for a reply (a real scanner makes each of them cost up
// to the whole time-out), and every report written.
class WatchingPlatform final : public test::ForwardingPlatform {
 public:
  using ForwardingPlatform::ForwardingPlatform;

  int WriteReport(HidHandle handle, const uint8_t* report, int timeoutMs) override {
    const int result = ForwardingPlatform::WriteReport(handle, report, timeoutMs);
    ++writes;
    if (afterWrite) afterWrite(report, result);
    return result;
  }
  int ReadReport(HidHandle handle, uint8_t* buffer, int timeoutMs) override {
    // Reads without a time-out only empty the queue before a request.
    if (timeoutMs > 0) ++waitingReads;
    return ForwardingPlatform::ReadReport(handle, buffer, timeoutMs);
  }

  int writes = 0;
  int waitingReads = 0;
  std::function<void(const uint8_t* report, int result)> afterWrite;
};

Lines KeysOf(const Lines& traceLines) {
  Lines keys;
  for (const std::string& line : traceLines) {
    const size_t start = line.find(' ') + 1;
    keys.push_back(line.substr(start, line.find('=') == std::string::npos
                                          ? std::string::npos
                                          : line.find('=') - start));
  }
  return keys;
}

Lines From(const Lines& lines, size_t first) {
  return Lines(lines.begin() + static_cast<long>(std::min(first, lines.size())), lines.end());
}

size_t IndexOf(const Lines& keys, const std::string& key) {
  return static_cast<size_t>(std::find(keys.begin(), keys.end(), key) - keys.begin());
}

// A failure message as {its first line, then each key it names, in order}:
// keys are joined by ", " and wrapped, a line that goes on below ending in
// ",".
Lines Parsed(const std::string& message) {
  Lines parts;
  size_t start = 0;
  while (start <= message.size()) {
    size_t end = message.find('\n', start);
    if (end == std::string::npos) end = message.size();
    std::string line = message.substr(start, end - start);
    if (parts.empty()) {
      parts.push_back(line);
    } else {
      if (end < message.size() && !line.empty() && line.back() == ',') line.pop_back();
      for (size_t at = 0; at <= line.size();) {
        const size_t comma = std::min(line.find(", ", at), line.size());
        parts.push_back(line.substr(at, comma - at));
        at = comma + 2;
      }
    }
    start = end + 1;
  }
  return parts;
}

// The message names each failed key once, in the order it first failed.
Lines Listing(const char* text, const Lines& keys) {
  Lines parts = {text};
  for (const std::string& key : keys) {
    if (std::find(parts.begin() + 1, parts.end(), key) == parts.end()) parts.push_back(key);
  }
  return parts;
}

class FaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // First, while no link is held: the reference scanner's fixture takes
    // the connection over for its run and gives it up when it goes.
    Reference(&gets_, &sets_);
    sim::SeedDemoScanner(sim_.scanner());
    UseHidPlatform(&watch_);
    ASSERT_EQ(sim_.Connect(), kOpened);
    handshakes_ = sim_.scanner().CommandCount();
  }
  // The link holds the watching platform, which goes before the fixture.
  void TearDown() override { CloseDevice(); }

  // What a fault-free Load and Save of the demo scanner send, from a scanner
  // of its own; keys in order.
  static void Reference(Lines* gets, Lines* sets) {
    test::SimScannerFixture clean;
    sim::SeedDemoScanner(clean.scanner());
    ASSERT_EQ(clean.Connect(), kOpened);
    test::FakeSettingsWindow window;
    auto pages = window.Pages();
    ASSERT_TRUE(ui::LoadPages(pages).empty());
    *gets = KeysOf(clean.Gets());
    clean.scanner().ClearReceived();
    ASSERT_TRUE(ui::SavePages(pages).Succeeded());
    *sets = KeysOf(clean.Sets());
  }

  // The number the scanner gives the n-th command after the handshake
  // (1-based), for its fault settings.
  int Command(size_t n) const { return handshakes_ + static_cast<int>(n); }

  test::SimScannerFixture sim_;
  WatchingPlatform watch_{sim_.platform()};
  test::FakeSettingsWindow window_;
  int handshakes_ = 0;
  Lines gets_;  // keys of a fault-free Load, in order
  Lines sets_;  // keys of a fault-free Save, in order
};

// --- the scanner pulled out ----------------------------------------------------

TEST_F(FaultTest, UnpluggedDuringLoadFailsEveryLaterReadAtOnceAndNamesThem) {
  const Lines& gets = gets_;
  // Out when the output format page asks its first key: the first two pages
  // have their values, the rest show their templates.
  const size_t cut = IndexOf(gets, "contentorder");
  ASSERT_LT(cut, gets.size());
  sim_.scanner().Faults().unplugFrom = Command(cut + 1);

  auto pages = window_.Pages();
  int waitsBefore = 0;
  watch_.afterWrite = [&](const uint8_t*, int result) {
    if (result < 0 && waitsBefore == 0) waitsBefore = watch_.waitingReads;
  };
  const Lines failed = ui::LoadPages(pages);

  // The gets before the cut arrived; nothing after it did.
  EXPECT_EQ(KeysOf(sim_.Gets()), Lines(gets.begin(), gets.begin() + static_cast<long>(cut)));
  // Every key from the cut on failed, in order; with the NFC switch unread,
  // its format is not asked for.
  Lines expected = From(gets, cut);
  expected.erase(std::remove(expected.begin(), expected.end(), "nfccontentformat"), expected.end());
  EXPECT_EQ(failed, expected);
  EXPECT_EQ(Parsed(ui::LoadFailureMessage(failed)), Listing(ui::kLoadFailedText, expected));
  // Each later get failed on its write: not one of them waited for a reply.
  EXPECT_EQ(watch_.waitingReads, waitsBefore);

  EXPECT_TRUE(window_.symbology.IsChecked(res::symbology::kQr));
  EXPECT_TRUE(window_.outputMethod.IsChecked(output_method::kWifiOutput));
  EXPECT_EQ(window_.outputMethod.Text(output_method::kServerPortEdit), "9100");
  EXPECT_FALSE(window_.outputFormat.IsChecked(res::output_format::kEnter));
  EXPECT_EQ(window_.version.Text(version::kDeviceNumber), "");

  // A Save afterwards: every set and the commit fail, each at once.
  const int waitsBeforeSave = watch_.waitingReads;
  const ui::SaveOutcome outcome = ui::SavePages(pages);
  EXPECT_TRUE(outcome.commitFailed);
  EXPECT_FALSE(outcome.failedKeys.empty());
  EXPECT_TRUE(sim_.Sets().empty());
  EXPECT_EQ(watch_.waitingReads, waitsBeforeSave);
  EXPECT_EQ(Parsed(ui::SaveMessage(outcome)), Listing(ui::kSaveFailedText, outcome.failedKeys));
}

TEST_F(FaultTest, UnpluggedDuringSaveKeepsWhatArrivedAndNamesEverySetAfter) {
  const Lines& sets = sets_;
  auto pages = window_.Pages();
  ASSERT_TRUE(ui::LoadPages(pages).empty());
  // The user changes one setting that goes out before the cut and one after.
  window_.symbology.Click(res::symbology::kPdf417);
  window_.version.Type(version::kDeviceNumber, "ZR-NEW");
  const size_t cut = IndexOf(sets, "intervaltime");  // first set of the control page
  ASSERT_LT(cut, sets.size());
  ASSERT_LT(cut, IndexOf(sets, "deviceno"));
  sim_.scanner().ClearReceived();
  sim_.scanner().Faults().unplugFrom = sim_.scanner().CommandCount() + static_cast<int>(cut) + 1;
  const int waitsBefore = watch_.waitingReads;

  const ui::SaveOutcome outcome = ui::SavePages(pages);

  EXPECT_EQ(KeysOf(sim_.Sets()), Lines(sets.begin(), sets.begin() + static_cast<long>(cut)));
  EXPECT_EQ(outcome.failedKeys, From(sets, cut));
  EXPECT_TRUE(outcome.commitFailed);
  EXPECT_EQ(Parsed(ui::SaveMessage(outcome)), Listing(ui::kSaveFailedText, From(sets, cut)));
  // Only the sets before the cut waited for their replies.
  EXPECT_EQ(watch_.waitingReads - waitsBefore, static_cast<int>(cut));
  EXPECT_EQ(sim_.scanner().Value("pdf417code"), "1");
  EXPECT_EQ(sim_.scanner().Value("deviceno"), "ZR2404170032");

  // Still gone on a second press: the same, without a single wait.
  const int waitsAgain = watch_.waitingReads;
  const ui::SaveOutcome again = ui::SavePages(pages);
  EXPECT_EQ(again.failedKeys, sets);
  // wifi0_apimothed goes out twice in one Save; the message names it once.
  // Every key of the Save is named, several to a line, so that the box fits
  // a 768-pixel screen (one a line it took 47 lines).
  const std::string message = ui::SaveMessage(again);
  const Lines named = Parsed(message);
  EXPECT_EQ(named, Listing(ui::kSaveFailedText, sets));
  EXPECT_EQ(std::count(named.begin(), named.end(), "wifi0_apimothed"), 1);
  const size_t lineCount = static_cast<size_t>(std::count(message.begin(), message.end(), '\n')) + 1;
  EXPECT_LE(lineCount, 16u);
  std::istringstream lines(message);
  std::string line;
  std::getline(lines, line);  // the failure text
  while (std::getline(lines, line)) EXPECT_LE(line.size(), ui::kMessageLineColumns) << line;
  EXPECT_TRUE(again.commitFailed);
  EXPECT_EQ(watch_.waitingReads, waitsAgain);
}

TEST_F(FaultTest, UnpluggedBetweenTheReportsOfOneSetFailsThatSetAndEveryLaterOne) {
  const Lines& sets = sets_;
  auto pages = window_.Pages();
  ASSERT_TRUE(ui::LoadPages(pages).empty());
  // A prefix long enough for its set to span three reports.
  window_.outputFormat.Type(res::output_format::kCodePrefixEdit, std::string(150, 'p'));
  watch_.afterWrite = [&](const uint8_t* report, int result) {
    const std::string key = "codeprefix";
    const bool startsItsSet = result == kHidReportSize && report[1] == 0x66 &&
                              report[4] == CommandFrame::kCommandSet &&
                              std::string(reinterpret_cast<const char*>(report) + 9, key.size()) == key;
    if (startsItsSet) sim_.scanner().Unplug();
  };
  sim_.scanner().ClearReceived();

  const ui::SaveOutcome outcome = ui::SavePages(pages);

  const size_t cut = IndexOf(sets, "codeprefix");
  EXPECT_EQ(KeysOf(sim_.Sets()), Lines(sets.begin(), sets.begin() + static_cast<long>(cut)));
  EXPECT_EQ(outcome.failedKeys, From(sets, cut));
  EXPECT_TRUE(outcome.commitFailed);
  EXPECT_EQ(sim_.scanner().Value("codeprefix"), "SN:");
}

TEST_F(FaultTest, UnpluggedAtTheCommitAfterEverySetStillReportsAFailedSave) {
  const Lines& sets = sets_;
  auto pages = window_.Pages();
  ASSERT_TRUE(ui::LoadPages(pages).empty());
  sim_.scanner().ClearReceived();
  sim_.scanner().Faults().unplugFrom = sim_.scanner().CommandCount() + static_cast<int>(sets.size()) + 1;

  const ui::SaveOutcome outcome = ui::SavePages(pages);

  EXPECT_EQ(KeysOf(sim_.Sets()), sets);
  EXPECT_TRUE(outcome.failedKeys.empty());
  EXPECT_TRUE(outcome.commitFailed);
  // Nothing was committed: the message must not be the success text.
  EXPECT_EQ(ui::SaveMessage(outcome), ui::kSaveFailedText);
}

TEST_F(FaultTest, SilentScannerCostsEachCommandOneTimeOutAndNoMore) {
  auto pages = window_.Pages();
  ASSERT_TRUE(ui::LoadPages(pages).empty());
  sim_.scanner().ClearReceived();
  sim_.scanner().Faults().silentFrom = sim_.scanner().CommandCount() + 1;
  const int waitsBefore = watch_.waitingReads;

  const ui::SaveOutcome outcome = ui::SavePages(pages);

  // The scanner heard every set and the commit, answered none; each command
  // waited once for its reply and was given up.
  const Lines heard = KeysOf(sim_.Sets());
  EXPECT_EQ(outcome.failedKeys, heard);
  EXPECT_TRUE(outcome.commitFailed);
  EXPECT_EQ(watch_.waitingReads - waitsBefore, static_cast<int>(heard.size()) + 1);
  EXPECT_EQ(Parsed(ui::SaveMessage(outcome)), Listing(ui::kSaveFailedText, heard));
}

// --- replies that come late, stray or malformed --------------------------------

TEST_F(FaultTest, LateReplyDuringLoadIsDroppedNeverShownAsTheNextValue) {
  const Lines& gets = gets_;
  // The Wi-Fi texts are read one after another; the first answers late.
  const size_t late = IndexOf(gets, "wifi0_wapssid");
  ASSERT_EQ(gets.at(late + 1), "wifi0_stassid");
  sim_.scanner().Faults().lateReplyAt = Command(late + 1);
  auto pages = window_.Pages();

  EXPECT_EQ(ui::LoadPages(pages), Lines{"wifi0_wapssid"});

  EXPECT_EQ(window_.outputMethod.Text(output_method::kDeviceSsidEdit), "");
  EXPECT_EQ(window_.outputMethod.Text(output_method::kJoinSsidEdit), "Warehouse-2F");
  EXPECT_EQ(window_.outputMethod.Text(output_method::kKeyEdit), "scan#2024=ok");
  EXPECT_EQ(window_.version.Text(version::kFirmwareVersion), "V2.0.7");
  EXPECT_EQ(window_.version.Text(version::kDeviceNumber), "ZR2404170032");
}

TEST_F(FaultTest, LateReplyToOneSetFailsOnlyThatSetAndLeavesTheRestInStep) {
  const Lines& sets = sets_;
  auto pages = window_.Pages();
  ASSERT_TRUE(ui::LoadPages(pages).empty());
  const size_t late = IndexOf(sets, "codeprefix");
  const std::string next = sets.at(late + 1);
  sim_.scanner().ClearReceived();
  sim_.scanner().Faults().lateReplyAt = sim_.scanner().CommandCount() + static_cast<int>(late) + 1;
  // The set after it is refused: were the late reply taken as its answer,
  // the refusal would be pinned on the set after that one.
  sim_.scanner().Faults().refusedKeys = {next};

  const ui::SaveOutcome outcome = ui::SavePages(pages);

  EXPECT_EQ(outcome.failedKeys, (Lines{"codeprefix", next}));
  EXPECT_FALSE(outcome.commitFailed);
  EXPECT_EQ(KeysOf(sim_.Sets()), sets);
  EXPECT_EQ(Parsed(ui::SaveMessage(outcome)), Listing(ui::kSaveFailedText, {"codeprefix", next}));
}

TEST_F(FaultTest, StrayReportBeforeASaveIsDroppedSoEachSetGetsItsOwnReply) {
  // An unasked copy follows the last reply of the Load. The scanner then
  // refuses one set: if the replies were out of step by one, the refusal
  // would be pinned on the set after it.
  sim_.scanner().Faults().strayReportAfter = Command(gets_.size());
  auto pages = window_.Pages();
  ASSERT_TRUE(ui::LoadPages(pages).empty());
  sim_.scanner().Faults().refusedKeys = {"onecode"};
  sim_.scanner().ClearReceived();

  const ui::SaveOutcome outcome = ui::SavePages(pages);

  EXPECT_EQ(outcome.failedKeys, Lines{"onecode"});
  EXPECT_FALSE(outcome.commitFailed);
  EXPECT_EQ(Parsed(ui::SaveMessage(outcome)), Listing(ui::kSaveFailedText, {"onecode"}));
}

TEST_F(FaultTest, LateHandshakeReplyFailsTheConnectAndIsNotTakenByTheNextOne) {
  CloseDevice();
  sim_.scanner().ClearReceived();
  sim_.scanner().Faults().lateReplyAt = sim_.scanner().CommandCount() + 1;
  EXPECT_EQ(OpenDevice(), kOpenNoAnswer);
  EXPECT_FALSE(IsDeviceOpen());

  // Connect again: the late answer to the first handshake is still waiting
  // and must not stand in for the second one, nor for the first get.
  sim_.scanner().Faults().lateReplyAt = 0;
  ASSERT_EQ(OpenDevice(), kOpened);
  auto pages = window_.Pages();
  EXPECT_TRUE(ui::LoadPages(pages).empty());
  EXPECT_TRUE(window_.symbology.IsChecked(res::symbology::kQr));
  EXPECT_EQ(window_.version.Text(version::kDeviceNumber), "ZR2404170032");
}

struct BadTransfer {
  const char* name;
  int size;  // of the transfer before the reply; 0 for a report id 1 instead
};

void PrintTo(const BadTransfer& transfer, std::ostream* out) { *out << transfer.name; }

class BadTransferTest : public FaultTest, public ::testing::WithParamInterface<BadTransfer> {};

TEST_P(BadTransferTest, FailsOnlyTheGetItPrecedesAndItsReplyIsNotTakenForTheNext) {
  const Lines& gets = gets_;
  const size_t bad = IndexOf(gets, "wifi0_serveraddr");
  ASSERT_EQ(gets.at(bad + 1), "wifi0_serverport");
  if (GetParam().size > 0) {
    sim_.scanner().Faults().wrongSizeReportAt = Command(bad + 1);
    sim_.scanner().Faults().wrongReportSize = GetParam().size;
  } else {
    sim_.scanner().Faults().nonZeroReportIdAt = Command(bad + 1);
  }
  auto pages = window_.Pages();

  EXPECT_EQ(ui::LoadPages(pages), Lines{"wifi0_serveraddr"});
  EXPECT_EQ(window_.outputMethod.Text(output_method::kServerAddressEdit), "");
  EXPECT_EQ(window_.outputMethod.Text(output_method::kServerPortEdit), "9100");
  EXPECT_EQ(KeysOf(sim_.Gets()), gets);

  // The Save that follows is in step: every set answered by its own reply.
  sim_.scanner().ClearReceived();
  const ui::SaveOutcome outcome = ui::SavePages(pages);
  EXPECT_TRUE(outcome.Succeeded());
  EXPECT_EQ(ui::SaveMessage(outcome), ui::kSaveSucceededText);
}

INSTANTIATE_TEST_SUITE_P(
    Transfers, BadTransferTest,
    ::testing::Values(BadTransfer{"Unnumbered64Bytes", 64}, BadTransfer{"Short1Byte", 1},
                      BadTransfer{"Overlong200Bytes", 200}, BadTransfer{"ReportIdOne", 0}),
    [](const ::testing::TestParamInfo<BadTransfer>& info) { return info.param.name; });

TEST_F(FaultTest, RefusedCommitTurnsTheMessageIntoAFailure) {
  auto pages = window_.Pages();
  ASSERT_TRUE(ui::LoadPages(pages).empty());
  sim_.scanner().Faults().refusedCommands = {CommandFrame::kCommandCommit};

  const ui::SaveOutcome outcome = ui::SavePages(pages);

  EXPECT_TRUE(outcome.failedKeys.empty());
  EXPECT_TRUE(outcome.commitFailed);
  EXPECT_NE(ui::SaveMessage(outcome), ui::kSaveSucceededText);
  EXPECT_EQ(ui::SaveMessage(outcome).rfind(ui::kSaveFailedText, 0), 0u);
}

// --- values at the exact limits --------------------------------------------------

TEST_F(FaultTest, SetOfExactly256PayloadBytesGoesOutAnd257IsRefusedAndNamed) {
  auto pages = window_.Pages();
  ASSERT_TRUE(ui::LoadPages(pages).empty());
  const std::string key = "deviceno";  // K = 8

  // K + V + 3 = 256.
  const std::string fits(256 - 3 - key.size(), 'n');
  window_.version.Type(version::kDeviceNumber, fits);
  sim_.scanner().ClearReceived();
  const ui::SaveOutcome first = ui::SavePages(pages);
  EXPECT_TRUE(first.Succeeded());
  EXPECT_EQ(sim_.scanner().Value(key), fits);
  const Lines allSets = KeysOf(sim_.Sets());

  // One byte more.
  const std::string over = fits + "n";
  window_.version.Type(version::kDeviceNumber, over);
  sim_.scanner().ClearReceived();
  const ui::SaveOutcome second = ui::SavePages(pages);
  EXPECT_EQ(second.failedKeys, Lines{key});
  EXPECT_FALSE(second.commitFailed);
  EXPECT_EQ(Parsed(ui::SaveMessage(second)), Listing(ui::kSaveFailedText, {key}));
  // Not cut to fit: nothing of it was sent, everything else was.
  Lines without = allSets;
  without.erase(std::remove(without.begin(), without.end(), key), without.end());
  EXPECT_EQ(KeysOf(sim_.Sets()), without);
  EXPECT_EQ(sim_.scanner().Value(key), fits);
  EXPECT_EQ(sim_.Trace().back(), "COMMIT");

  // The same limits straight at the link, for the longest key too.
  EXPECT_EQ(SetSetting(std::string(253, 'k'), ""), 0);
  EXPECT_EQ(SetSetting(std::string(254, 'k'), ""), -1);
  EXPECT_EQ(SetSetting(std::string(255, 'k'), std::string(1, 'v')), -1);
  EXPECT_EQ(SetSetting("", "v"), -1);
}

TEST_F(FaultTest, ValuesLongerThanTheirBufferFailToLoadAndAreNamed) {
  // 255 bytes and the terminator fill a 256-byte buffer; 256 do not. The
  // server path has 1024 bytes.
  sim_.scanner().Set("deviceno", std::string(255, 'd'));
  sim_.scanner().Set("wifi0_serveraddr", std::string(256, 'a'));
  sim_.scanner().Set("wifi0_httpph", std::string(1023, 'h'));
  auto pages = window_.Pages();

  const Lines failed = ui::LoadPages(pages);

  EXPECT_EQ(failed, Lines{"wifi0_serveraddr"});
  EXPECT_EQ(Parsed(ui::LoadFailureMessage(failed)), Listing(ui::kLoadFailedText, {"wifi0_serveraddr"}));
  EXPECT_EQ(window_.version.Text(version::kDeviceNumber), std::string(255, 'd'));
  EXPECT_EQ(window_.outputMethod.Text(output_method::kServerAddressEdit), "");
  EXPECT_EQ(window_.outputMethod.Text(output_method::kServerPathEdit), std::string(1023, 'h'));

  // What loaded but cannot go back in one set is refused and named, and
  // the scanner keeps its value.
  sim_.scanner().ClearReceived();
  const ui::SaveOutcome outcome = ui::SavePages(pages);
  EXPECT_EQ(outcome.failedKeys, (Lines{"wifi0_httpph", "deviceno"}));
  EXPECT_EQ(sim_.scanner().Value("wifi0_httpph"), std::string(1023, 'h'));
  EXPECT_EQ(sim_.scanner().Value("deviceno"), std::string(255, 'd'));
}

}  // namespace
}  // namespace lumiq
