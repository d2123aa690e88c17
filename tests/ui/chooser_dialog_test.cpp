// The Qt connect dialog with two scanners plugged in: the chooser it
// shows, and what the keyboard and the mouse do in it.

#include "ui/qt/chooser_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "link/device_commands.h"
#include "sim/demo_configuration.h"
#include "sim/scanner_setup.h"
#include "sim/sim_platform.h"
#include "tests/ui/ui_test_support.h"
#include "ui/qt/connect_dialog.h"
#include "ui/qt/settings_window.h"

namespace lumiq::ui::qt {
namespace {

using Lines = std::vector<std::string>;

const QString kConnected = QString::fromUtf8("连接设备成功!");

Lines TraceOf(const sim::SimulatedScanner& scanner) {
  Lines lines;
  for (const sim::ReceivedCommand& command : scanner.Received()) {
    lines.push_back(sim::FormatCommand(command));
  }
  return lines;
}

class QtChooserTest : public ::testing::Test {
 protected:
  QtChooserTest() : dialog_(messages_) {
    for (int i = 0; i < 2; ++i) {
      sim::SeedDemoScanner(scanners_[i]);
      scanners_[i].Set("deviceno", i == 0 ? "A-1" : "B-2");
      platform_.AddScanner(&scanners_[i]);
    }
    dialog_.SetRunSettingsModally(false);
    dialog_.show();
  }
  ChooserDialog* OpenChooser() {
    EXPECT_EQ(dialog_.Connect(), ConnectDialog::Outcome::kChoosing);
    for (sim::SimulatedScanner& scanner : scanners_) scanner.ClearReceived();
    return dialog_.Chooser();
  }
  QStringList Rows(ChooserDialog* chooser) {
    QStringList rows;
    for (int row = 0; row < chooser->List()->count(); ++row) {
      rows << chooser->List()->item(row)->text();
    }
    return rows;
  }
  // The settings window read the pages from this scanner, and only it.
  void ExpectConnectedTo(int index) {
    EXPECT_EQ(messages_.Texts(), QStringList{kConnected});
    ASSERT_NE(dialog_.Settings(), nullptr);
    EXPECT_TRUE(dialog_.Settings()->isVisible());
    const Lines trace = TraceOf(scanners_[index]);
    ASSERT_GE(trace.size(), 3u);
    EXPECT_EQ(trace[0], "HANDSHAKE");
    EXPECT_EQ(trace[1], "GET masterver");
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "HANDSHAKE"), 1);
    EXPECT_TRUE(TraceOf(scanners_[1 - index]).empty());
  }

  sim::SimulatedScanner scanners_[2];
  sim::SimPlatform platform_;
  sim::PluggedPlatform plugged_{&platform_};
  test::CapturingSink messages_;
  ConnectDialog dialog_;
};

TEST_F(QtChooserTest, ShowsTemplate103WithOneRowPerScannerAndTheFirstSelected) {
  ChooserDialog* chooser = OpenChooser();
  ASSERT_NE(chooser, nullptr);
  EXPECT_TRUE(chooser->isVisible());
  EXPECT_EQ(chooser->windowTitle(), QString::fromUtf8("选择设备"));
  EXPECT_EQ(chooser->size(), ToPixels(300, 140, chooser->Controls().units));
  auto* ok = qobject_cast<QPushButton*>(chooser->Controls().Find(1));
  EXPECT_EQ(ok->text(), QString::fromUtf8("确定"));
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(qobject_cast<QPushButton*>(chooser->Controls().Find(2))->text(),
            QString::fromUtf8("取消"));
  EXPECT_EQ(Rows(chooser), (QStringList{QString::fromUtf8("端口 1-1  设备号 A-1  固件版本 V2.0.7"),
                                        QString::fromUtf8("端口 1-2  设备号 B-2  固件版本 V2.0.7")}));
  EXPECT_EQ(chooser->List()->currentRow(), 0);
  EXPECT_EQ(chooser->focusWidget(), chooser->List());
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(dialog_.Settings(), nullptr);
  EXPECT_FALSE(IsDeviceOpen());
}

TEST_F(QtChooserTest, EnterConnectsTheSelectedScannerOnce) {
  ChooserDialog* chooser = OpenChooser();
  ASSERT_NE(chooser, nullptr);
  QTest::keyClick(chooser->List(), Qt::Key_Down);
  QTest::keyClick(chooser->List(), Qt::Key_Return);
  EXPECT_EQ(dialog_.Chooser(), nullptr);
  ExpectConnectedTo(1);
}

TEST_F(QtChooserTest, ADoubleClickConnectsTheScannerClicked) {
  ChooserDialog* chooser = OpenChooser();
  ASSERT_NE(chooser, nullptr);
  QListWidget* list = chooser->List();
  QApplication::processEvents();  // the rows laid out
  const QRect second = list->visualItemRect(list->item(1));
  // As the system delivers it: a click, then the double click.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
  ExpectConnectedTo(1);
}

TEST_F(QtChooserTest, EscapeAndCancelGoBackWithoutConnecting) {
  ChooserDialog* chooser = OpenChooser();
  ASSERT_NE(chooser, nullptr);
  QTest::keyClick(chooser->List(), Qt::Key_Escape);
  EXPECT_EQ(dialog_.Chooser(), nullptr);

  chooser = OpenChooser();
  ASSERT_NE(chooser, nullptr);
  qobject_cast<QPushButton*>(chooser->Controls().Find(2))->click();
  EXPECT_EQ(dialog_.Chooser(), nullptr);
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(dialog_.Settings(), nullptr);
  EXPECT_TRUE(TraceOf(scanners_[0]).empty() && TraceOf(scanners_[1]).empty());
  EXPECT_TRUE(dialog_.isVisible());
}

TEST_F(QtChooserTest, TheApplicationRunsTheChooserModally) {
  dialog_.SetRunSettingsModally(true);
  // The chooser first (OK on the first row), then the settings window.
  QTimer::singleShot(0, [] {
    auto* chooser = qobject_cast<ChooserDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(chooser, nullptr);
    QTimer::singleShot(0, [] {
      auto* settings = qobject_cast<SettingsWindow*>(QApplication::activeModalWidget());
      ASSERT_NE(settings, nullptr);
      settings->ExitButton()->click();
    });
    qobject_cast<QPushButton*>(chooser->Controls().Find(1))->click();
  });
  EXPECT_EQ(dialog_.Connect(), ConnectDialog::Outcome::kChoosing);
  EXPECT_EQ(messages_.Texts(), QStringList{kConnected});
  EXPECT_EQ(dialog_.Chooser(), nullptr);
  EXPECT_EQ(dialog_.Settings(), nullptr);
  EXPECT_TRUE(scanners_[0].IsHeld());
}

}  // namespace
}  // namespace lumiq::ui::qt
