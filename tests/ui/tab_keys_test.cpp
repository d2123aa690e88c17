// The operator without a mouse on the Qt binding: the same keys and the
// same outcome as the Win32 window test.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "res/ids/version_ids.h"
#include "tests/ui/ui_test_support.h"
#include "ui/qt/connect_dialog.h"
#include "ui/qt/message_sink.h"
#include "ui/qt/settings_window.h"

namespace lumiq::ui::qt {
namespace {

struct Press {
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  int expectedTab;
};

TEST(QtTabKeys, TabsTurnByThePropertySheetKeysFromAnywhereInTheWindow) {
  test::UiScanner rig;
  test::CapturingSink messages;
  ConnectDialog dialog(messages);
  dialog.SetRunSettingsModally(false);
  ASSERT_EQ(dialog.Connect(), ConnectDialog::Outcome::kConnected);
  SettingsWindow& window = *dialog.Settings();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  rig.ClearTrace();
  EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(window.Tabs()->tabBar()));

  const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
  const Press presses[] = {
      {Qt::Key_Tab, ctrl, 1},
      {Qt::Key_PageDown, ctrl, 2},
      // Shift+Tab as a keyboard sends it, and as it is written.
      {Qt::Key_Backtab, ctrl | Qt::ShiftModifier, 1},
      {Qt::Key_Tab, ctrl | Qt::ShiftModifier, 0},
      {Qt::Key_PageUp, ctrl, 4},
      {Qt::Key_PageDown, Qt::NoModifier, 4},
  };
  for (const Press& press : presses) {
    QTest::keyClick(QApplication::focusWidget(), press.key, press.modifiers);
    SCOPED_TRACE(press.expectedTab);
    EXPECT_EQ(window.Tabs()->currentIndex(), press.expectedTab);
    for (int tab = 0; tab < SettingsWindow::kPageCount; ++tab) {
      EXPECT_EQ(window.PageAt(tab)->isVisible(), tab == press.expectedTab);
    }
  }
  EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(window.Tabs()->tabBar()));

  // From inside the version page: the focus follows into the new page.
  window.PageControlsAt(4).Widget(res::version::kDeviceNumber)->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, ctrl);
  EXPECT_EQ(window.Tabs()->currentIndex(), 0);
  QWidget* focus = QApplication::focusWidget();
  ASSERT_NE(focus, nullptr);
  EXPECT_TRUE(window.PageAt(0)->isAncestorOf(focus));
  EXPECT_TRUE(focus->isVisible());
  EXPECT_TRUE(rig.Sets().empty());
}

// The boxes the operator meets on the way, as the Win32 test sees them.
TEST(QtTabKeys, AMessageBoxIsTitledWithTheProgramsNameAndHasNoIcon) {
  const std::unique_ptr<QMessageBox> box =
      MessageBoxSink::Build(nullptr, QString::fromUtf8("保存成功!"));
  EXPECT_EQ(box->windowTitle(), QString::fromUtf8("LumiqConfigTool"));
  EXPECT_EQ(box->text(), QString::fromUtf8("保存成功!"));
  EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
  EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
}

}  // namespace
}  // namespace lumiq::ui::qt
