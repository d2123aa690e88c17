#include "ui/qt/settings_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTabBar>
#include <QTest>

#include "link/device_commands.h"
#include "res/ids/version_ids.h"
#include "tests/support/fake_page_controls.h"
#include "tests/ui/ui_test_support.h"
#include "ui/pages/settings_sequence.h"
#include "ui/qt/connect_dialog.h"
#include "ui/qt/message_sink.h"
#include "ui/qt/user_actions.h"

namespace lumiq::ui::qt {
namespace {

using Lines = std::vector<std::string>;

const QString kSaved = QString::fromUtf8("保存成功!");
const QString kSaveFailed = QString::fromUtf8("保存失败，请检查设备是否插入或重试!");

Lines Concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() : dialog_(messages_) {
    dialog_.SetRunSettingsModally(false);
    reference_ = test::RunPagesWithoutWindows(rig_);
  }

  // Connects as the button does; the record then starts after the version.
  SettingsWindow& Open() {
    EXPECT_EQ(dialog_.Connect(), ConnectDialog::Outcome::kConnected);
    QCoreApplication::processEvents();
    opening_ = rig_.Trace();
    rig_.ClearTrace();
    messages_.Clear();
    return *dialog_.Settings();
  }
  int VisiblePages(SettingsWindow& window) {
    int visible = 0;
    for (int tab = 0; tab < SettingsWindow::kPageCount; ++tab) {
      visible += window.PageAt(tab)->isVisible() ? 1 : 0;
    }
    return visible;
  }

  test::UiScanner rig_;
  test::CapturingSink messages_;
  ConnectDialog dialog_;
  test::PageReference reference_;
  Lines opening_;
};

TEST_F(SettingsTest, PagesLoadInPageOrderBeforeTheWindowShows) {
  SettingsWindow& window = Open();
  EXPECT_EQ(opening_, Concat({"HANDSHAKE", "GET masterver"}, reference_.loadTrace));

  // Each tab's page shows exactly what the page logic loads for its template.
  const int templates[] = {130, 133, 132, 131, 137};
  for (int tab = 0; tab < SettingsWindow::kPageCount; ++tab) {
    ASSERT_EQ(SettingsWindow::TemplateOfTab(tab), templates[tab]);
    EXPECT_EQ(window.PageControlsAt(tab).TemplateId(), templates[tab]);
  }
  test::FakePageControls fakes[] = {test::FakePageControls(130), test::FakePageControls(133),
                                    test::FakePageControls(132), test::FakePageControls(131),
                                    test::FakePageControls(137)};
  rig_.ClearTrace();
  PageSet pages{fakes[0], fakes[1], fakes[2], fakes[3], fakes[4]};
  LoadPages(pages);
  for (int tab = 0; tab < SettingsWindow::kPageCount; ++tab) {
    QtPageControls& shown = window.PageControlsAt(tab);
    for (const res::ControlTemplate& control : res::FindDialogTemplate(templates[tab])->controls) {
      if (control.id == res::kNoId) continue;
      SCOPED_TRACE(testing::Message() << templates[tab] << ":" << control.id);
      EXPECT_EQ(shown.IsChecked(control.id), fakes[tab].IsChecked(control.id));
      EXPECT_EQ(shown.IsShown(control.id), fakes[tab].IsShown(control.id));
      EXPECT_EQ(shown.IsEnabled(control.id), fakes[tab].IsEnabled(control.id));
      if (control.kind == res::ControlKind::kEdit || control.kind == res::ControlKind::kComboBox) {
        EXPECT_EQ(shown.Text(control.id), fakes[tab].Text(control.id));
      }
    }
  }
}

TEST_F(SettingsTest, OneVisiblePageAtATime) {
  SettingsWindow& window = Open();
  // The caption, then the scanner by port and device number.
  EXPECT_EQ(window.windowTitle(),
            QString::fromUtf8("Lumiq配置工具U口(ZR系列)v2.0.7 - 端口 1-1 设备号 ZR2404170032"));
  EXPECT_EQ(window.size(), ToPixels(368, 279, window.Controls().units));
  const QStringList captions = {"码制设置", "输出方式", "输出格式", "控制设置", "关于"};
  ASSERT_EQ(window.Tabs()->count(), 5);
  for (int tab = 0; tab < 5; ++tab) EXPECT_EQ(window.Tabs()->tabText(tab), captions[tab]);

  EXPECT_EQ(window.Tabs()->currentIndex(), 0);
  EXPECT_TRUE(window.PageAt(0)->isVisible());
  EXPECT_EQ(VisiblePages(window), 1);

  for (int tab : {3, 4, 1, 2, 0}) {
    QTabBar* bar = window.Tabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
    SCOPED_TRACE(tab);
    EXPECT_EQ(window.Tabs()->currentIndex(), tab);
    EXPECT_TRUE(window.PageAt(tab)->isVisible());
    EXPECT_EQ(VisiblePages(window), 1);
  }
  EXPECT_TRUE(rig_.Trace().empty());
}

TEST_F(SettingsTest, EachSaveRunsEveryStoreStepThenOneCommit) {
  ASSERT_FALSE(reference_.saveTrace.empty());
  ASSERT_EQ(reference_.saveTrace.back(), "COMMIT");
  SettingsWindow& window = Open();
  window.SaveButton()->click();
  window.SaveButton()->click();
  EXPECT_EQ(rig_.Trace(), Concat(reference_.saveTrace, reference_.saveTrace));
  EXPECT_EQ(messages_.Texts(), QStringList({kSaved, kSaved}));
  EXPECT_EQ(messages_.shown[0].owner, &window);
  EXPECT_TRUE(window.isVisible());  // Save does not end the window
}

TEST_F(SettingsTest, AChangedSettingMarksItsTabAndTheTitleAndSaveSendsTheSame) {
  SettingsWindow& window = Open();
  const QString title = window.windowTitle();
  QtPageControls& symbology = window.PageControlsAt(0);
  qobject_cast<QAbstractButton*>(symbology.Widget(1033))->click();
  EXPECT_EQ(window.windowTitle(), title + " *");
  EXPECT_EQ(window.Tabs()->tabText(0), QString::fromUtf8("码制设置 *"));
  EXPECT_EQ(window.Tabs()->tabText(3), QString::fromUtf8("控制设置"));
  // Undone, the mark goes.
  qobject_cast<QAbstractButton*>(symbology.Widget(1033))->click();
  EXPECT_EQ(window.windowTitle(), title);
  EXPECT_EQ(window.Tabs()->tabText(0), QString::fromUtf8("码制设置"));

  // The marks change nothing Save sends, and it keeps them: this window
  // changed the scanner.
  qobject_cast<QAbstractButton*>(symbology.Widget(1033))->click();
  rig_.ClearTrace();
  window.SaveButton()->click();
  EXPECT_EQ(rig_.Trace().size(), reference_.saveTrace.size());
  EXPECT_EQ(window.Tabs()->tabText(0), QString::fromUtf8("码制设置 *"));
}

TEST_F(SettingsTest, ExitTheCloseBoxAndEscapeWriteNothing) {
  Open().ExitButton()->click();
  EXPECT_FALSE(dialog_.Settings()->isVisible());
  EXPECT_EQ(dialog_.Settings()->result(), QDialog::Accepted);
  EXPECT_TRUE(rig_.Trace().empty());

  Open().close();
  EXPECT_FALSE(dialog_.Settings()->isVisible());
  EXPECT_TRUE(rig_.Trace().empty());

  SettingsWindow& window = Open();
  QTest::keyClick(window.PageControlsAt(4).Widget(res::version::kDeviceNumber), Qt::Key_Escape);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.result(), QDialog::Rejected);
  EXPECT_TRUE(rig_.Trace().empty());
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(SettingsTest, EnterInsideAPageWritesNothing) {
  SettingsWindow& window = Open();
  window.Tabs()->setCurrentIndex(4);
  auto* edit = qobject_cast<QLineEdit*>(window.PageControlsAt(4).Widget(res::version::kDeviceNumber));
  ASSERT_NE(edit, nullptr);
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_Return);
  QTest::keyClick(edit, Qt::Key_Enter);
  QTest::keyClick(window.Tabs()->tabBar(), Qt::Key_Return);
  EXPECT_FALSE(window.SaveButton()->isDefault());
  EXPECT_FALSE(window.SaveButton()->autoDefault());
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(rig_.Trace().empty());
}

TEST_F(SettingsTest, NoKeyRightAfterOpeningEndsOrSavesAndTheFocusIsShown) {
  SettingsWindow* window = &Open();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  QTabBar* bar = window->Tabs()->tabBar();
  ASSERT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(bar));
  // The focus mark is drawn on the current tab's header from the start.
  const QImage marked = bar->grab().toImage();
  window->SaveButton()->setFocus(Qt::MouseFocusReason);
  const QImage unmarked = bar->grab().toImage();
  EXPECT_NE(marked, unmarked);
  bar->setFocus(Qt::TabFocusReason);

  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
    QTest::keyClick(QApplication::focusWidget(), key);
  }
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->Tabs()->currentIndex(), 0);
  EXPECT_TRUE(rig_.Trace().empty());
  EXPECT_TRUE(messages_.shown.empty());

  // Enter clicks the push button the operator moved the focus to, in the
  // screen's order (the buttons last, left to right): "保存" saves and the
  // window stays, "退出" ends it.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  ASSERT_EQ(QApplication::focusWidget(), window->TestScanButton());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  ASSERT_EQ(QApplication::focusWidget(), window->ExitButton());
  for (int press = 0; press < 3; ++press) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  }
  ASSERT_EQ(QApplication::focusWidget(), window->SaveButton());
  QTest::keyClick(window->SaveButton(), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(rig_.Trace(), reference_.saveTrace);
  EXPECT_EQ(messages_.Texts(), QStringList{kSaved});
  EXPECT_TRUE(window->isVisible());
  rig_.ClearTrace();
  for (int press = 0; press < 3; ++press) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  ASSERT_EQ(QApplication::focusWidget(), window->ExitButton());
  QTest::keyClick(window->ExitButton(), Qt::Key_Return);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->result(), QDialog::Accepted);
  EXPECT_TRUE(rig_.Trace().empty());
}

TEST_F(SettingsTest, PagesSitBelowTheHeadersOverTheWholeClientWidth) {
  SettingsWindow& window = Open();
  TabControl* tabs = window.Tabs();
  ASSERT_EQ(tabs->geometry(), ToPixels(res::Rect{7, 11, 354, 247}, window.Controls().units));
  // Client area: inside the control's one-pixel border.
  const QRect client(1, 1, tabs->width() - 2, tabs->height() - 2);
  EXPECT_EQ(tabs->ClientRect(), client);
  const QRect expected(client.x(), client.y() + 25, client.width(), client.height() - 25);
  for (int tab = 0; tab < SettingsWindow::kPageCount; ++tab) {
    SCOPED_TRACE(tab);
    tabs->setCurrentIndex(tab);  // as the headless runner switches
    EXPECT_EQ(window.PageAt(tab)->parentWidget(), tabs);
    EXPECT_EQ(window.PageAt(tab)->geometry(), expected);
    EXPECT_TRUE(window.PageAt(tab)->isVisible());
    EXPECT_EQ(VisiblePages(window), 1);
  }
  // The headers stay uncovered, and whole.
  EXPECT_LT(tabs->tabBar()->geometry().bottom(), expected.top());
  for (int tab = 0; tab < SettingsWindow::kPageCount; ++tab) {
    EXPECT_LE(tabs->tabBar()->tabRect(tab).bottom(), tabs->tabBar()->height() - 1);
  }
}

TEST_F(SettingsTest, ASaveWithTheScannerGoneNamesEveryKeyInABoxThatFitsTheScreen) {
  SettingsWindow& window = Open();
  rig_.scanner().Unplug();
  const SaveOutcome outcome = window.Save();
  // The Wi-Fi block is shown, so this is the longest list a Save can fail.
  ASSERT_GE(outcome.failedKeys.size(), 45u);
  ASSERT_EQ(messages_.shown.size(), 1u);
  const QString text = messages_.shown[0].text;
  EXPECT_TRUE(text.startsWith(kSaveFailed + "\n"));
  for (const std::string& key : outcome.failedKeys) {
    const QString name = QString::fromStdString(key);
    const QRegularExpression whole("[\n ]" + QRegularExpression::escape(name) + "(,|\n|$)");
    EXPECT_TRUE(text.contains(whole)) << key;
  }

  // The box as the application shows it, with its font, at 96 DPI, on a
  // 1024x768 screen: room is left for the caption and a task bar.
  ASSERT_EQ(qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY()), 96);
  std::unique_ptr<QMessageBox> box = MessageBoxSink::Build(&window, text);
  box->show();
  QCoreApplication::processEvents();
  EXPECT_EQ(box->font(), QApplication::font(box.get()));
  EXPECT_LE(box->width(), 1024 - 16);
  EXPECT_LE(box->height(), 768 - 40 - 32);
  box->hide();
}

TEST_F(SettingsTest, ARefusedKeyIsNamedInTheSaveMessage) {
  SettingsWindow& window = Open();
  rig_.scanner().Faults().refusedKeys = {"deviceno"};
  const SaveOutcome outcome = window.Save();
  EXPECT_EQ(outcome.failedKeys, Lines{"deviceno"});
  EXPECT_EQ(messages_.Texts(), QStringList{kSaveFailed + "\ndeviceno"});
  // The sets after it and the commit still went out.
  EXPECT_EQ(rig_.Trace(), reference_.saveTrace);
}

TEST_F(SettingsTest, AFailedCommitAloneFailsTheSave) {
  SettingsWindow& window = Open();
  rig_.scanner().Faults().refusedCommands = {0x09};
  window.SaveButton()->click();
  EXPECT_EQ(messages_.Texts(), QStringList{kSaveFailed});
  EXPECT_EQ(rig_.Trace(), reference_.saveTrace);
}

TEST_F(SettingsTest, AFailedReadIsReportedOnceAfterTheWindowOpens) {
  ASSERT_FALSE(reference_.loadTrace.empty());
  rig_.scanner().Faults().refusedKeys = {"qrcode", "deviceno"};
  ASSERT_EQ(dialog_.Connect(), ConnectDialog::Outcome::kConnected);
  SettingsWindow& window = *dialog_.Settings();
  EXPECT_EQ(window.LoadFailedKeys(), (Lines{"qrcode", "deviceno"}));
  // Not before the window is up: the message is queued behind its showing.
  EXPECT_EQ(messages_.Texts(), QStringList{QString::fromUtf8("连接设备成功!")});
  QCoreApplication::processEvents();
  ASSERT_EQ(messages_.shown.size(), 2u);
  EXPECT_EQ(messages_.shown[1].text,
            QString::fromUtf8("读取设备设置失败，请检查设备是否插入或重试!\nqrcode, deviceno"));
  EXPECT_EQ(messages_.shown[1].owner, &window);

  window.hide();
  window.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(messages_.shown.size(), 2u);
}

TEST_F(SettingsTest, AScannerThatFallsSilentFailsEveryRead) {
  rig_.scanner().Faults().silentFrom = rig_.scanner().CommandCount() + 3;
  ASSERT_EQ(dialog_.Connect(), ConnectDialog::Outcome::kConnected);
  QCoreApplication::processEvents();
  // Every get the pages sent failed (which keys they ask for depends on
  // what they read before, so take them from the scanner's record).
  const Lines trace = rig_.Trace();
  ASSERT_GT(trace.size(), 2u);
  Lines keys;
  for (size_t i = 2; i < trace.size(); ++i) {
    ASSERT_EQ(trace[i].rfind("GET ", 0), 0u) << trace[i];
    keys.push_back(trace[i].substr(4));
  }
  EXPECT_EQ(dialog_.Settings()->LoadFailedKeys(), keys);
  ASSERT_EQ(messages_.shown.size(), 2u);
  EXPECT_EQ(messages_.shown[1].text.toStdString(), LoadFailureMessage(keys));
}

TEST_F(SettingsTest, DeviceNumbersRoundTripInGbk) {
  using namespace std::string_literals;
  auto deviceNumberSet = [this] {
    for (const std::string& line : rig_.Sets()) {
      if (line.rfind("SET deviceno=", 0) == 0) return line;
    }
    return std::string("none");
  };

  // Chinese text: shown as such, written back in the same bytes.
  rig_.scanner().Set("deviceno", "\xB2\xD6\xBF\xE2-7");  // "仓库-7"
  SettingsWindow* window = &Open();
  auto* edit = qobject_cast<QLineEdit*>(window->PageControlsAt(4).Widget(res::version::kDeviceNumber));
  EXPECT_EQ(edit->text(), QString::fromUtf8("仓库-7"));
  window->Save();
  EXPECT_EQ(deviceNumberSet(), "SET deviceno=\\xB2\\xD6\\xBF\\xE2-7");

  // Bytes that are not GBK, untouched by the user, go back as they came.
  rig_.scanner().Set("deviceno", "\xFF\x81\x30\xD6"s);
  window = &Open();
  window->Save();
  EXPECT_EQ(deviceNumberSet(), "SET deviceno=\\xFF\\x810\\xD6");

  // Typed text that GBK cannot hold fails its key and is not sent.
  window = &Open();
  TypeText(window->PageControlsAt(4).Widget(res::version::kDeviceNumber),
           QString::fromUtf8("No.\xF0\x9F\x98\x80"));
  const SaveOutcome outcome = window->Save();
  EXPECT_EQ(outcome.failedKeys, Lines{"deviceno"});
  EXPECT_EQ(deviceNumberSet(), "none");
  EXPECT_EQ(messages_.Texts().last(), kSaveFailed + "\ndeviceno");

  // So does a leading U+FEFF (a byte order mark pasted along): refused as
  // zrctl refuses it, never dropped from what is sent.
  window = &Open();
  TypeText(window->PageControlsAt(4).Widget(res::version::kDeviceNumber),
           QString(QChar(0xFEFF)) + "7");
  window->SaveButton()->click();
  EXPECT_EQ(deviceNumberSet(), "none");
  EXPECT_EQ(messages_.Texts().last(), kSaveFailed + "\ndeviceno");
}

}  // namespace
}  // namespace lumiq::ui::qt
