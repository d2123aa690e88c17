// The Qt test-scan window and channel switch on the real settings window:
// keys a keyboard scanner types reach the window and become scans, Escape
// and Tab among them; a channel chosen rebuilds the pages and sends nothing.

#include "ui/qt/test_scan_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "link/device_commands.h"
#include "res/ids/output_method_ids.h"
#include "tests/ui/ui_test_support.h"
#include "ui/qt/connect_dialog.h"
#include "ui/qt/settings_window.h"

namespace lumiq::ui::qt {
namespace {

class TestScanWindowTest : public ::testing::Test {
 protected:
  TestScanWindowTest() : dialog_(messages_) {
    dialog_.SetRunSettingsModally(false);
    rig_.scanner().Set("io_outputs", "hid0");
    rig_.scanner().Set("nfcable", "0");
    rig_.scanner().Set("contentorder", "PREFIX,CONTENT,POSTFIX,ENTER");
    rig_.scanner().Set("codeprefix", "SN:");
    rig_.scanner().Set("codepostfix", "");
  }
  SettingsWindow& Open() {
    EXPECT_EQ(dialog_.Connect(), ConnectDialog::Outcome::kConnected);
    QCoreApplication::processEvents();
    rig_.ClearTrace();
    messages_.Clear();
    SettingsWindow& window = *dialog_.Settings();
    window.UseSerialPorts(&serial_);
    window.SetScanListener([this](const app::ScanReport& report) {
      lines_.push_back(report.RunnerLine());
    });
    window.SetRunTestScanModally(false);
    return window;
  }

  test::UiScanner rig_;
  test::CapturingSink messages_;
  ConnectDialog dialog_;
  app::FedSerialPorts serial_;
  std::vector<std::string> lines_;
};

TEST_F(TestScanWindowTest, KeysReachingTheWindowAreScansEvenEscapeAndTab) {
  SettingsWindow& window = Open();
  window.TestScanButton()->click();
  TestScanWindow* scan = window.TestScan();
  ASSERT_NE(scan, nullptr);
  scan->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(scan));
  ASSERT_EQ(scan->Session().Channel(), app::ScanChannel::kKeyboard) << scan->Session().ChannelText();
  scan->UseClock([] { return 1000u; });

  QTest::keyClicks(scan->Scans(), "SN:42");
  QTest::keyClick(scan->Scans(), Qt::Key_Return);
  scan->EndScan();
  QTest::keyClicks(scan->Scans(), "SN:7");
  QTest::keyClick(scan->Scans(), Qt::Key_Tab);
  QTest::keyClick(scan->Scans(), Qt::Key_Escape);
  scan->EndScan();

  EXPECT_TRUE(scan->isVisible());  // Escape was the scanner's
  EXPECT_EQ(lines_, (std::vector<std::string>{
                        "SCAN SN:42<CR> MATCH",
                        "SCAN SN:7<TAB><ESC> DIFFERS 结尾应为 <CR>，实际为 无"}));
  ASSERT_EQ(scan->Scans()->count(), 2);
  EXPECT_EQ(scan->Scans()->currentRow(), 1);
  EXPECT_EQ(scan->Details()->item(1)->text(), QString::fromUtf8("十六进制：53 4E 3A 37 09 1B"));
  EXPECT_TRUE(rig_.Trace().empty());
}

TEST_F(TestScanWindowTest, TheChannelButtonRebuildsThePagesAndSendsNothingUntilSave) {
  SettingsWindow& window = Open();
  app::GivenChannelChooser chooser("com1");
  window.UseChannelChooser(&chooser);
  auto* button = qobject_cast<QPushButton*>(
      window.PageByTemplate(133)->Widget(res::output_method::kChangeChannelButton));
  ASSERT_NE(button, nullptr);
  button->click();
  QCoreApplication::processEvents();
  // The pages are new ones; the new page's button works as well.
  QtPageControls& method = *window.PageByTemplate(133);
  EXPECT_TRUE(method.IsChecked(res::output_method::kComOutput));
  ASSERT_EQ(messages_.Texts().size(), 1);
  EXPECT_TRUE(messages_.Texts()[0].contains(QString::fromUtf8("io_outputs: hid0 → com1")));
  EXPECT_TRUE(rig_.Sets().empty());

  window.TestScanButton()->click();
  ASSERT_NE(window.TestScan(), nullptr);
  EXPECT_TRUE(window.TestScan()->Session().PortOpen());
  serial_.Feed("SN:5\r\n");
  window.TestScan()->EndScan();
  EXPECT_EQ(lines_, (std::vector<std::string>{
                        "SCAN SN:5<CR><LF> DIFFERS 结尾应为 <CR>，实际为 <CR><LF>"}));

  chooser = app::GivenChannelChooser("bluetooth0");
  qobject_cast<QPushButton*>(method.Widget(res::output_method::kChangeChannelButton))->click();
  QCoreApplication::processEvents();
  EXPECT_TRUE(window.PageByTemplate(133)->IsChecked(res::output_method::kBluetoothOutput));
  window.SaveButton()->click();
  EXPECT_EQ(rig_.scanner().Value("io_outputs"), "bluetooth0");
}

}  // namespace
}  // namespace lumiq::ui::qt
