// The test-scan window's logic without a window: what the settings make the
// scanner put around a scan, how scans are gathered, shown and judged.

#include "ui/app/test_scan.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "res/ids/control_ids.h"
#include "res/ids/output_format_ids.h"
#include "res/ids/output_method_ids.h"
#include "ui/app/scan_text.h"
#include "tests/support/fake_page_controls.h"

namespace lumiq::ui::app {
namespace {

namespace format = res::output_format;
namespace method = res::output_method;

TEST(ScanText, ControlCharactersByNameOtherBytesByCodeGbkAsCharacters) {
  EXPECT_EQ(VisibleText("A1\r\n\t\x1b\x1d\x1e\x04"), "A1<CR><LF><TAB><ESC><GS><RS><EOT>");
  EXPECT_EQ(VisibleText(std::string("\x00\x7f\x80", 3)), "<x00><x7F><x80>");
  EXPECT_EQ(VisibleText("\xB2\xD6\xBF\xE2-7"), "仓库-7");
  EXPECT_EQ(VisibleText("\xB2"), "<xB2>");  // a lead byte with nothing after it
  EXPECT_EQ(HexText("A\r\n\xff"), "41 0D 0A FF");
  EXPECT_EQ(HexText(""), "");
}

TEST(ScanText, HexNotationAndRunnerEscapes) {
  EXPECT_EQ(BytesOfHexNotation("0d0A"), std::string("\r\n"));
  EXPECT_EQ(BytesOfHexNotation("1D 41"), std::string("\x1d" "A"));
  EXPECT_EQ(BytesOfHexNotation(""), std::string());
  EXPECT_FALSE(BytesOfHexNotation("1D4"));
  EXPECT_FALSE(BytesOfHexNotation("SN:"));
  EXPECT_FALSE(BytesOfHexNotation("1 D"));

  EXPECT_EQ(UnescapeScanText("SN:12\\r\\n\\t\\x1D\\\\"), std::string("SN:12\r\n\t\x1d\\"));
  EXPECT_FALSE(UnescapeScanText("a\\"));
  EXPECT_FALSE(UnescapeScanText("\\x1"));
  EXPECT_FALSE(UnescapeScanText("\\q"));
}

// The output format page as a user leaves it.
struct FormatRow {
  bool enter, wrap;
  bool prefixBox;
  const char* prefixText;
  bool suffixBox;
  const char* suffixText;
  int notation;  // 0 none, or the radio id
  std::string prefix, suffix, ending;
  bool problem;
};

TEST(ScanFraming, EveryCombinationOfTheFormatPage) {
  const FormatRow rows[] = {
      {false, false, false, "", false, "", 0, "", "", "", false},
      {true, false, false, "", false, "", 0, "", "", "\r", false},
      {false, true, false, "", false, "", 0, "", "", "\n", false},
      {true, true, false, "", false, "", 0, "", "", "\r\n", false},
      // Text in the edit of an unchecked box counts for nothing.
      {true, false, false, "SN:", false, ";", format::kCodeNotationChar, "", "", "\r", false},
      {true, false, true, "SN:", true, ";", format::kCodeNotationChar, "SN:", ";", "\r", false},
      // No notation chosen: the characters themselves.
      {false, false, true, "SN:", false, "", 0, "SN:", "", "", false},
      {true, true, true, "1D41", true, "03", format::kCodeNotationHex, "\x1d" "A", "\x03", "\r\n",
       false},
      {false, false, true, "02", false, "03", format::kCodeNotationChar, "02", "", "", false},
      {true, false, true, "SN:", false, "", format::kCodeNotationHex, "", "", "\r", true},
  };
  for (const FormatRow& row : rows) {
    test::FakePageControls page(format::kTemplateId);
    page.SetChecked(format::kEnter, row.enter);
    page.SetChecked(format::kWrap, row.wrap);
    page.SetChecked(format::kCodePrefixBox, row.prefixBox);
    page.SetText(format::kCodePrefixEdit, row.prefixText);
    page.SetChecked(format::kCodeSuffixBox, row.suffixBox);
    page.SetText(format::kCodeSuffixEdit, row.suffixText);
    if (row.notation) page.SetChecked(row.notation, true);
    const Framing code = FramingShown(page, false).code;
    SCOPED_TRACE(std::string(row.prefixText) + " " + row.suffixText);
    EXPECT_EQ(code.prefix, row.prefix);
    EXPECT_EQ(code.suffix, row.suffix);
    EXPECT_EQ(code.ending, row.ending);
    EXPECT_EQ(!code.problem.empty(), row.problem) << code.problem;
  }
}

TEST(ScanFraming, CardsHaveTheirOwnAffixesAndNotationAndTheSameEnding) {
  test::FakePageControls page(format::kTemplateId);
  page.SetChecked(format::kEnter, true);
  page.SetChecked(format::kCodeNotationHex, true);
  page.SetChecked(format::kNfcPrefixBox, true);
  page.SetText(format::kNfcPrefixEdit, "02");
  page.SetChecked(format::kNfcNotationChar, true);
  const ExpectedFraming expected = FramingShown(page, true);
  EXPECT_EQ(expected.card.prefix, "02");
  EXPECT_EQ(expected.card.ending, "\r");
  EXPECT_EQ(expected.code.prefix, "");
}

ExpectedFraming CodeFraming(std::string prefix, std::string suffix, std::string ending) {
  ExpectedFraming expected;
  expected.code = {std::move(prefix), std::move(suffix), std::move(ending), std::string()};
  expected.card = expected.code;
  return expected;
}

TEST(ScanCompare, SaysWhereAScanDiffers) {
  const ExpectedFraming sn = CodeFraming("SN:", "", "\r");
  EXPECT_TRUE(CompareScan("SN:123\r", sn).matches);
  EXPECT_EQ(CompareScan("SN:123\r\n", sn).where, "结尾应为 <CR>，实际为 <CR><LF>");
  EXPECT_EQ(CompareScan("SN:123", sn).where, "结尾应为 <CR>，实际为 无");
  EXPECT_EQ(CompareScan("123\r", sn).where, "开头应为 SN:，实际为 123");
  EXPECT_EQ(CompareScan("", sn).where, "开头应为 SN:，实际为 无; 结尾应为 <CR>，实际为 无");

  const ExpectedFraming gs = CodeFraming("\x1d" "A", ";", "\r\n");
  EXPECT_TRUE(CompareScan("\x1d" "A42;\r\n", gs).matches);
  EXPECT_EQ(CompareScan("1D42;\r\n", gs).where, "开头应为 <GS>A，实际为 1D");
  EXPECT_EQ(CompareScan("\x1d" "A42\r\n", gs).where, "后缀应为 ;，实际为 2");

  // A suffix that is itself a line end belongs to the line end.
  const ExpectedFraming cr = CodeFraming("", "\r", "\n");
  EXPECT_TRUE(CompareScan("42\r\n", cr).matches);
  EXPECT_EQ(CompareScan("42\n", cr).where, "结尾应为 <CR><LF>，实际为 <LF>");
}

TEST(ScanCompare, ACardMatchesByItsOwnFramingAndTheCloserOneIsReported) {
  ExpectedFraming expected = CodeFraming("SN:", ";", "\r");
  expected.card = {"\x02", "\x03", "\r", std::string()};
  EXPECT_FALSE(CompareScan("\x02" "04A1B2\x03\r", expected).matches);  // the reader is off
  expected.cards = true;
  EXPECT_TRUE(CompareScan("\x02" "04A1B2\x03\r", expected).matches);
  EXPECT_EQ(CompareScan("\x02" "04A1B2\r", expected).where, "后缀应为 <x03>，实际为 2");

  expected.code.problem = "前缀“SN:”不是十六进制写法";
  EXPECT_FALSE(CompareScan("SN:1;\r", expected).matches);
}

TEST(ScanGatherer, APauseEndsAScanAndKeyGapsAreKept) {
  ScanGatherer gatherer(150);
  EXPECT_FALSE(gatherer.Add("A", 1000, true));
  EXPECT_FALSE(gatherer.Add("B", 1030, true));
  EXPECT_FALSE(gatherer.Idle(1179));
  EXPECT_FALSE(gatherer.Add("\r", 1061, true));
  const auto ended = gatherer.Add("C", 1300, true);  // after a pause: a new scan
  ASSERT_TRUE(ended);
  EXPECT_EQ(ended->bytes, "AB\r");
  EXPECT_EQ(ended->keyGaps, (std::vector<uint32_t>{30, 31}));
  const auto last = gatherer.Idle(1450);
  ASSERT_TRUE(last);
  EXPECT_EQ(last->bytes, "C");
  EXPECT_FALSE(gatherer.End());

  // Right across the wrap of a 32-bit millisecond clock.
  EXPECT_FALSE(gatherer.Add("x", 0xFFFFFFF0u, false));
  EXPECT_FALSE(gatherer.Add("y", 0x10u, false));
  EXPECT_EQ(gatherer.End()->bytes, "xy");
}

TEST(KeyTiming, ReadFromThePageAndComparedByTheMeanGap) {
  test::FakePageControls page(format::kTemplateId);
  page.SetText(format::kKeyDownTime, "20");
  page.SetText(format::kKeyUpTime, "10");
  const KeyTiming timing = KeyTimingShown(page);
  EXPECT_EQ(timing.IntervalMs(), 30u);
  EXPECT_EQ(KeyboardPauseMs(timing), 150u);
  EXPECT_EQ(DescribeKeyTiming(timing), "键盘按键：按下 20 毫秒 + 抬起 10 毫秒 = 每键 30 毫秒");
  EXPECT_EQ(CompareKeyTiming({28, 35, 30}, timing), "按键间隔平均 31 毫秒（28 至 35）, 与设置相符");
  EXPECT_EQ(CompareKeyTiming({2, 3, 1}, timing), "按键间隔平均 2 毫秒（1 至 3）, 比设置的 30 毫秒快");
  EXPECT_EQ(CompareKeyTiming({80, 90}, timing), "按键间隔平均 85 毫秒（80 至 90）, 比设置的 30 毫秒慢");
  EXPECT_EQ(CompareKeyTiming({}, timing), "只有一个按键");

  page.SetText(format::kKeyUpTime, "1x");  // as read from a scanner
  EXPECT_FALSE(KeyTimingShown(page).IntervalMs());
  EXPECT_EQ(KeyboardPauseMs(KeyTimingShown(page)), kMinimumPauseMs);
  page.SetText(format::kKeyDownTime, "100");
  page.SetText(format::kKeyUpTime, "100");
  EXPECT_EQ(KeyboardPauseMs(KeyTimingShown(page)), 1000u);
}

class TestScanSessionTest : public ::testing::Test {
 protected:
  TestScanSessionTest() {
    window_.outputFormat.SetChecked(format::kEnter, true);
    window_.outputFormat.SetChecked(format::kCodePrefixBox, true);
    window_.outputFormat.SetText(format::kCodePrefixEdit, "SN:");
    window_.outputFormat.SetText(format::kKeyDownTime, "20");
    window_.outputFormat.SetText(format::kKeyUpTime, "10");
    window_.outputMethod.SetText(method::kBaudRateCombo, "115200");
    window_.outputMethod.SetText(method::kDataBitsCombo, "7");
    window_.outputMethod.SetText(method::kStopBitsCombo, "2");
    window_.outputMethod.SetText(method::kParityCombo, "EVEN");
  }
  test::FakeSettingsWindow window_;
};

TEST_F(TestScanSessionTest, KeyboardKeysBecomeScansWithTheirTiming) {
  window_.outputMethod.SetChecked(method::kHidOutput, true);
  window_.control.SetChecked(res::control::kNfcSwitch, true);
  window_.outputFormat.SetChecked(format::kNfcSuffixBox, true);
  window_.outputFormat.SetText(format::kNfcSuffixEdit, "#");
  TestScanSession session(window_.Pages());
  EXPECT_EQ(session.Channel(), ScanChannel::kKeyboard);
  uint32_t time = 5000;
  for (const char* key : {"S", "N", ":", "4", "2", "\r"}) {
    EXPECT_FALSE(session.Key(key, time));
    time += 30;
  }
  EXPECT_FALSE(session.Idle(time + 50));
  const auto report = session.Idle(time + 150);
  ASSERT_TRUE(report);
  EXPECT_EQ(report->RunnerLine(), "SCAN SN:42<CR> MATCH");
  EXPECT_EQ(report->hex, "53 4E 3A 34 32 0D");
  EXPECT_EQ(report->timing, "按键间隔平均 30 毫秒（30 至 30）, 与设置相符");

  EXPECT_FALSE(session.Key("4", time + 1000));
  EXPECT_FALSE(session.Key("\r", time + 1030));
  EXPECT_FALSE(session.Key("\n", time + 1060));
  const auto differs = session.EndScan();
  ASSERT_TRUE(differs);
  EXPECT_EQ(differs->RunnerLine(),
            "SCAN 4<CR><LF> DIFFERS 开头应为 SN:，实际为 4; 结尾应为 <CR>，实际为 <CR><LF>");
  EXPECT_EQ(differs->Row(), "不符  4<CR><LF>  开头应为 SN:，实际为 4; 结尾应为 <CR>，实际为 <CR><LF>");

  // Serial ports are none of its business.
  FedSerialPorts ports;
  EXPECT_TRUE(session.Ports(ports).empty());
}

TEST_F(TestScanSessionTest, SerialBytesAreReadFromThePortOpenedWithThePageSettings) {
  window_.outputMethod.SetChecked(method::kComOutput, true);
  TestScanSession session(window_.Pages());
  EXPECT_EQ(session.ChannelText(), "COM输出：扫描数据从所选串口读取（115200 7E2）。");
  EXPECT_FALSE(session.Key("A", 0));  // the keyboard is not the scanner's channel

  FedSerialPorts ports;
  ASSERT_EQ(session.Ports(ports), (std::vector<std::string>{"SIM1"}));
  EXPECT_EQ(session.OpenPort(ports, "SIM1"), "已打开 SIM1");
  ASSERT_TRUE(ports.Opened());
  EXPECT_EQ(ports.Opened()->baudRate, 115200u);
  EXPECT_EQ(ports.Opened()->dataBits, 7);
  EXPECT_EQ(ports.Opened()->stopBits, 2);
  EXPECT_EQ(ports.Opened()->parity, SerialSettings::Parity::kEven);

  ports.Feed("SN:7");
  EXPECT_TRUE(session.Poll(100).empty());
  ports.Feed("7\r");
  EXPECT_TRUE(session.Poll(140).empty());
  const std::vector<ScanReport> reports = session.Poll(300);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].RunnerLine(), "SCAN SN:77<CR> MATCH");
  EXPECT_TRUE(reports[0].timing.empty());

  EXPECT_EQ(session.OpenPort(ports, "COM7").rfind("无法打开 COM7：", 0), 0u);
  EXPECT_FALSE(session.PortOpen());
}

TEST_F(TestScanSessionTest, SettingsAPortCannotTakeAreSaidInsteadOfOpening) {
  window_.outputMethod.SetChecked(method::kComOutput, true);
  window_.outputMethod.SetText(method::kParityCombo, "odd");
  TestScanSession session(window_.Pages());
  EXPECT_EQ(session.ChannelText(), "COM输出：无法打开串口，校验位“odd”无效。");
  FedSerialPorts ports;
  session.OpenPort(ports, "SIM1");
  EXPECT_FALSE(session.PortOpen());
  EXPECT_FALSE(ports.Opened());
}

TEST_F(TestScanSessionTest, WifiAndBluetoothScansCannotBeSeenHere) {
  window_.outputMethod.SetChecked(method::kWifiOutput, true);
  EXPECT_EQ(TestScanSession(window_.Pages()).ChannelText(),
            "WIFI输出：扫描数据发送到服务器，在此无法查看。");
  window_.outputMethod.SetChecked(method::kWifiOutput, false);
  window_.outputMethod.SetChecked(method::kBluetoothOutput, true);
  TestScanSession bluetooth(window_.Pages());
  EXPECT_EQ(bluetooth.Channel(), ScanChannel::kBluetooth);
  EXPECT_FALSE(bluetooth.Key("A", 0));
  EXPECT_FALSE(bluetooth.EndScan());
}

}  // namespace
}  // namespace lumiq::ui::app
