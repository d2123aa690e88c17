// The Qt windows as a screen reader and a keyboard-only operator meet them,
// in both languages: every control named, fields related to their labels,
// radio buttons as radio buttons, and Tab reaching every control of every
// page in the order of the screen.

#include <gtest/gtest.h>

#include <set>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

#include "res/i18n/catalogue.h"
#include "res/ids/app_ids.h"
#include "res/ids/control_ids.h"
#include "res/ids/output_method_ids.h"
#include "tests/ui/ui_test_support.h"
#include "ui/app/page_tabs.h"
#include "ui/qt/connect_dialog.h"
#include "ui/qt/settings_window.h"
#include "ui/qt/tab_control.h"
#include "ui/qt/translations.h"

namespace lumiq::ui::qt {
namespace {

QString Tr(const char* source) { return QString::fromUtf8(i18n::Tr(source)); }

bool Interactive(QAccessible::Role role) {
  switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::List:
    case QAccessible::PageTab:
      return true;
    default:
      return false;
  }
}

struct Walk {
  int interactive = 0;
  int radios = 0;
  QStringList unnamed;
  QStringList unlabelled;  // fields without a label relation
};

void WalkTree(QAccessibleInterface* node, Walk& walk) {
  if (!node || node->state().invisible) return;
  const QAccessible::Role role = node->role();
  if (Interactive(role)) {
    ++walk.interactive;
    if (node->text(QAccessible::Name).isEmpty()) walk.unnamed << node->object()->objectName()
                                                              + node->object()->metaObject()->className();
  }
  if (role == QAccessible::RadioButton) ++walk.radios;
  if (role == QAccessible::EditableText || role == QAccessible::ComboBox) {
    if (node->relations(QAccessible::Label).isEmpty()) walk.unlabelled << node->text(QAccessible::Name);
  }
  // A combo box's own children are its list and line edit.
  if (role == QAccessible::ComboBox) return;
  for (int i = 0; i < node->childCount(); ++i) WalkTree(node->child(i), walk);
}

class QtAccess : public ::testing::TestWithParam<i18n::Language> {
 protected:
  QtAccess() : dialog_(messages_) {
    EXPECT_TRUE(UseLanguage(GetParam()));
    dialog_.SetRunSettingsModally(false);
  }
  ~QtAccess() override { ForgetLanguage(); }
  SettingsWindow& Open() {
    EXPECT_EQ(dialog_.Connect(), ConnectDialog::Outcome::kConnected);
    SettingsWindow& window = *dialog_.Settings();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    return window;
  }

  test::UiScanner rig_;
  test::CapturingSink messages_;
  ConnectDialog dialog_;
};

TEST_P(QtAccess, EveryPageNamesItsControlsAndRelatesItsFields) {
  dialog_.show();
  Walk connect;
  WalkTree(QAccessible::queryAccessibleInterface(&dialog_), connect);
  EXPECT_GE(connect.interactive, 2);
  EXPECT_TRUE(connect.unnamed.isEmpty()) << connect.unnamed.join(", ").toStdString();

  SettingsWindow& window = Open();
  Walk buttons;
  WalkTree(QAccessible::queryAccessibleInterface(&window), buttons);
  EXPECT_TRUE(buttons.unnamed.isEmpty()) << buttons.unnamed.join(", ").toStdString();
  int radios = 0;
  for (int tab = 0; tab < SettingsWindow::kPageCount; ++tab) {
    window.Tabs()->setCurrentIndex(tab);
    QAccessibleInterface* page = QAccessible::queryAccessibleInterface(window.PageAt(tab));
    EXPECT_EQ(page->text(QAccessible::Name), Tr(app::kPageTabs[tab].caption));
    Walk walk;
    WalkTree(page, walk);
    SCOPED_TRACE(tab);
    EXPECT_GT(walk.interactive, 0);
    EXPECT_TRUE(walk.unnamed.isEmpty()) << walk.unnamed.join(", ").toStdString();
    // The prefix and suffix fields are named by the check box beside them,
    // which Qt cannot relate; every other field has its label as buddy.
    for (const QString& name : walk.unlabelled) {
      EXPECT_TRUE(name.contains(Tr("前缀")) || name.contains(Tr("后缀")) ||
                  name.contains("prefix", Qt::CaseInsensitive) ||
                  name.contains("suffix", Qt::CaseInsensitive))
          << name.toStdString();
    }
    radios += walk.radios;
  }
  EXPECT_EQ(radios, window.findChildren<QRadioButton*>().size());

  const QtPageControls& control = window.PageControlsAt(3);
  QAccessibleInterface* hex =
      QAccessible::queryAccessibleInterface(control.Widget(res::control::kNfcHex));
  EXPECT_EQ(hex->role(), QAccessible::RadioButton);
  EXPECT_EQ(hex->text(QAccessible::Name), Tr("NFC输出格式") + ": hex");

  // A combo box by its label, whatever its value.
  window.Tabs()->setCurrentIndex(1);
  auto* auth = qobject_cast<QComboBox*>(
      window.PageControlsAt(1).Widget(res::output_method::kAuthModeCombo));
  auth->setEditText("WPA2PSK");
  QAccessibleInterface* combo = QAccessible::queryAccessibleInterface(auth);
  EXPECT_EQ(combo->text(QAccessible::Name), Tr("认证模式"));

  // The connect window does not stand beside it under the same name.
  EXPECT_FALSE(dialog_.isVisible() && dialog_.windowTitle() == window.windowTitle());
}

TEST_P(QtAccess, TabReachesEveryControlOfEveryPageInScreenOrder) {
  SettingsWindow& window = Open();
  QTabBar* bar = window.Tabs()->tabBar();
  ASSERT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(bar));
  for (int tab = 0; tab < SettingsWindow::kPageCount; ++tab) {
    window.Tabs()->setCurrentIndex(tab);
    bar->setFocus(Qt::TabFocusReason);
    std::vector<QWidget*> reached;
    for (int press = 0; press < 200; ++press) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QWidget* focus = QApplication::focusWidget();
      if (focus == bar) break;
      reached.push_back(focus);
    }
    SCOPED_TRACE(tab);
    ASSERT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(bar));
    // Every visible enabled control: a radio group once.
    std::set<QWidget*> expected;
    std::set<QButtonGroup*> groups;
    for (QWidget* widget : window.PageAt(tab)->findChildren<QWidget*>()) {
      if (!widget->isVisible() || !widget->isEnabled()) continue;
      if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        if (groups.insert(radio->group()).second) expected.insert(widget);
      } else if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                 qobject_cast<QComboBox*>(widget)) {
        if (!qobject_cast<QComboBox*>(widget->parentWidget())) expected.insert(widget);
      }
    }
    std::set<QButtonGroup*> groupsReached;
    int inPage = 0;
    for (QWidget* widget : reached) {
      if (!window.PageAt(tab)->isAncestorOf(widget)) continue;
      ++inPage;
      if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        EXPECT_TRUE(groupsReached.insert(radio->group()).second) << "a group twice";
      }
    }
    EXPECT_EQ(inPage, static_cast<int>(expected.size()));
    // Then the buttons, left to right.
    ASSERT_GE(reached.size(), 4u);
    const std::vector<QWidget*> buttons(reached.end() - 4, reached.end());
    QStringList texts;
    for (QWidget* button : buttons) {
      auto* push = qobject_cast<QPushButton*>(button);
      texts << (push ? push->text() : QString());
    }
    EXPECT_EQ(texts, (QStringList{Tr("保存"), Tr("导入配置..."), Tr("导出配置..."), Tr("退出")}));
  }

  // Arrows move within a group and check, as in Windows dialogs; Tab then
  // leaves the group from the checked button.
  window.Tabs()->setCurrentIndex(3);
  const QtPageControls& control = window.PageControlsAt(3);
  auto* dec = qobject_cast<QRadioButton*>(control.Widget(res::control::kNfcDec));
  auto* dec1 = qobject_cast<QRadioButton*>(control.Widget(res::control::kNfcDec1));
  dec->click();
  dec->setFocus(Qt::TabFocusReason);
  QTest::keyClick(dec, Qt::Key_Right);
  EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(dec1));
  EXPECT_TRUE(dec1->isChecked());
  EXPECT_FALSE(dec->isChecked());
  EXPECT_EQ(dec1->focusPolicy(), Qt::StrongFocus);
  EXPECT_EQ(dec->focusPolicy(), Qt::ClickFocus);
  EXPECT_TRUE(rig_.Sets().empty());
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, QtAccess,
                         ::testing::Values(i18n::Language::kChinese, i18n::Language::kEnglish));

}  // namespace
}  // namespace lumiq::ui::qt
