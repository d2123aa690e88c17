#include "ui/qt/connect_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "link/device_commands.h"
#include "res/strings.h"
#include "tests/ui/ui_test_support.h"
#include "ui/qt/about_dialog.h"
#include "ui/qt/settings_window.h"

namespace lumiq::ui::qt {
namespace {

using Outcome = ConnectDialog::Outcome;
using Lines = std::vector<std::string>;

const QString kConnectFailed = QString::fromUtf8("连接设备失败，请检查设备是否插入或重试!");
const QString kNotFoundLine = QString::fromUtf8("\n原因：未找到设备。");
const QString kConnected = QString::fromUtf8("连接设备成功!");

class ConnectTest : public ::testing::Test {
 protected:
  ConnectTest() : dialog_(messages_) {
    dialog_.SetRunSettingsModally(false);
    dialog_.show();
  }
  QPushButton* Button(int id) { return qobject_cast<QPushButton*>(dialog_.Controls().Find(id)); }

  test::UiScanner rig_;
  test::CapturingSink messages_;
  ConnectDialog dialog_;
};

TEST_F(ConnectTest, TheDialogIsTemplate102) {
  EXPECT_EQ(dialog_.windowTitle(), QString::fromUtf8("Lumiq配置工具U口(ZR系列)v2.0.7"));
  EXPECT_EQ(Button(1)->text(), QString::fromUtf8("连接设备"));
  EXPECT_EQ(Button(1004)->text(), QString::fromUtf8("退出"));
  EXPECT_TRUE(Button(1)->isDefault());
  EXPECT_EQ(dialog_.size(), ToPixels(320, 200, dialog_.Controls().units));
  EXPECT_FALSE(dialog_.windowIcon().isNull());
}

TEST_F(ConnectTest, NoScannerFailsAndTheDialogStaysUsable) {
  rig_.platform().noDevices = true;
  EXPECT_EQ(dialog_.Connect(), Outcome::kNoDevice);
  EXPECT_EQ(messages_.Texts(), QStringList{kConnectFailed + kNotFoundLine});
  EXPECT_EQ(messages_.shown[0].owner, &dialog_);
  EXPECT_TRUE(rig_.Trace().empty());
  EXPECT_FALSE(IsDeviceOpen());
  EXPECT_EQ(dialog_.Settings(), nullptr);
  EXPECT_TRUE(dialog_.isVisible());
}

TEST_F(ConnectTest, SuccessSaysSoAndOpensTheSettingsWindow) {
  EXPECT_EQ(dialog_.Connect(), Outcome::kConnected);
  ASSERT_GE(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text, kConnected);
  EXPECT_EQ(messages_.shown[0].owner, &dialog_);
  ASSERT_NE(dialog_.Settings(), nullptr);
  EXPECT_TRUE(dialog_.Settings()->isVisible());
  const Lines trace = rig_.Trace();
  ASSERT_GE(trace.size(), 2u);
  EXPECT_EQ(trace[0], "HANDSHAKE");
  EXPECT_EQ(trace[1], "GET masterver");
  EXPECT_EQ(rig_.platform().discoveries, 1);
  EXPECT_TRUE(IsDeviceOpen());
}

TEST_F(ConnectTest, EveryConnectStartsOverFromDiscovery) {
  rig_.scanner().Faults().silentFrom = 2;
  ASSERT_EQ(dialog_.Connect(), Outcome::kNoVersion);
  rig_.scanner().Faults().silentFrom = 0;
  rig_.ClearTrace();
  ASSERT_EQ(dialog_.Connect(), Outcome::kConnected);
  EXPECT_EQ(rig_.platform().discoveries, 2);
  EXPECT_EQ(rig_.Trace().front(), "HANDSHAKE");

  // A connect after a successful one builds a new window, which reads
  // every setting afresh.
  QPointer<SettingsWindow> first = dialog_.Settings();
  const Lines firstOpening = rig_.Trace();
  rig_.ClearTrace();
  ASSERT_EQ(dialog_.Connect(), Outcome::kConnected);
  EXPECT_EQ(rig_.platform().discoveries, 3);
  EXPECT_TRUE(first.isNull());
  EXPECT_NE(dialog_.Settings(), nullptr);
  EXPECT_EQ(rig_.Trace(), firstOpening);
}

TEST_F(ConnectTest, EnterConnects) {
  QTest::keyClick(&dialog_, Qt::Key_Return);
  EXPECT_EQ(messages_.Texts().value(0), kConnected);
  EXPECT_NE(dialog_.Settings(), nullptr);
}

TEST_F(ConnectTest, EnterOnTheFocusedExitButtonExits) {
  ASSERT_EQ(dialog_.focusWidget(), Button(1));
  QTest::keyClick(dialog_.focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(dialog_.focusWidget(), Button(1006));  // "打开配置文件..." between them
  QTest::keyClick(dialog_.focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(dialog_.focusWidget(), Button(1004));
  QTest::keyClick(dialog_.focusWidget(), Qt::Key_Return);
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_EQ(dialog_.result(), QDialog::Accepted);
  EXPECT_TRUE(rig_.Trace().empty());
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(ConnectTest, ExitEscapeAndTheCloseBoxEndTheDialogWithoutACommand) {
  Button(1004)->click();
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_EQ(dialog_.result(), QDialog::Accepted);

  dialog_.show();
  QTest::keyClick(&dialog_, Qt::Key_Escape);
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_EQ(dialog_.result(), QDialog::Rejected);

  dialog_.show();
  dialog_.close();
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_TRUE(rig_.Trace().empty());
  EXPECT_TRUE(messages_.shown.empty());
}

// Closes the modal window that opens next by clicking its button `id`,
// noting its title first.
void ClickInNextModal(int id, QString* title) {
  QTimer::singleShot(0, [id, title] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    *title = modal->windowTitle();
    if (auto* settings = qobject_cast<SettingsWindow*>(modal)) {
      settings->ExitButton()->click();
    } else if (auto* about = qobject_cast<AboutDialog*>(modal)) {
      qobject_cast<QPushButton*>(about->Controls().Find(id))->click();
    } else {
      modal->close();
    }
  });
}

TEST_F(ConnectTest, TheApplicationRunsTheSettingsWindowModallyAndDropsIt) {
  dialog_.SetRunSettingsModally(true);
  QString title;
  ClickInNextModal(1041, &title);
  EXPECT_EQ(dialog_.Connect(), Outcome::kConnected);
  EXPECT_TRUE(title.startsWith(QString::fromUtf8("Lumiq配置工具U口(ZR系列)v2.0.7 - 端口 ")))
      << title.toStdString();
  EXPECT_EQ(dialog_.Settings(), nullptr);
  EXPECT_TRUE(IsDeviceOpen());  // the link outlives the window
}

TEST_F(ConnectTest, TheAboutEntryOpensTheAboutBox) {
  QAction* about = dialog_.AboutAction();
  EXPECT_EQ(about->text(), QString::fromUtf8("关于 LumiqConfigTool(&A)..."));
  EXPECT_TRUE(dialog_.actions().contains(about));
  EXPECT_EQ(dialog_.contextMenuPolicy(), Qt::ActionsContextMenu);
  QString title;
  ClickInNextModal(1, &title);
  about->trigger();
  EXPECT_EQ(title, QString::fromUtf8("关于 LumiqConfigTool"));
}

TEST(AboutBox, ShowsTemplate100) {
  AboutDialog about;
  const BuiltDialog& built = about.Controls();
  EXPECT_EQ(about.windowTitle(), QString::fromUtf8("关于 LumiqConfigTool"));
  EXPECT_EQ(about.size(), ToPixels(235, 55, built.units));
  QStringList texts;
  for (QWidget* widget : built.widgets) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      if (label->pixmap().isNull()) {
        texts << label->text();
      } else {
        EXPECT_EQ(label->pixmap().size(), QSize(32, 32));
        EXPECT_EQ(label->pos(), ToPixels(res::Rect{11, 17, 0, 0}, built.units).topLeft());
      }
    }
  }
  ASSERT_EQ(texts.size(), 3);
  EXPECT_EQ(texts[0], QString::fromUtf8("LumiqConfigTool 1.0 版"));
  EXPECT_TRUE(texts[1].contains("2016"));
  auto* ok = qobject_cast<QPushButton*>(built.Find(1));
  EXPECT_EQ(ok->text(), QString::fromUtf8("确定"));
  EXPECT_TRUE(ok->isDefault());
  about.show();
  ok->click();
  EXPECT_FALSE(about.isVisible());
}

}  // namespace
}  // namespace lumiq::ui::qt
