// The Qt windows as a screen reader (QAccessible) and an operator without a
// mouse meet them, in both languages: controls named, fields related to
// the label or check box naming them, radio buttons as radio buttons, and Tab reaching every
// control of every page in the order of the screen.

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

#include "res/i18n/catalogue.h"
#include "res/ids/control_ids.h"
#include "res/ids/output_format_ids.h"
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

// Unnamed controls, radio buttons, and fields without a label relation,
// over the shown part of an accessibility tree.
struct Walk {
  QStringList unnamed;
  int radios = 0;
  QStringList unlabelled;
  void Visit(QAccessibleInterface* node) {
    if (!node || node->state().invisible) return;
    const QAccessible::Role role = node->role();
    const bool field = role == QAccessible::EditableText || role == QAccessible::ComboBox;
    if ((field || role == QAccessible::PushButton || role == QAccessible::CheckBox ||
         role == QAccessible::RadioButton) && node->text(QAccessible::Name).isEmpty()) {
      unnamed << node->object()->metaObject()->className();
    }
    radios += role == QAccessible::RadioButton ? 1 : 0;
    if (field && node->relations(QAccessible::Label).isEmpty()) {
      unlabelled << node->text(QAccessible::Name);
    }
    if (role == QAccessible::ComboBox) return;  // its own edit and list
    for (int i = 0; i < node->childCount(); ++i) Visit(node->child(i));
  }
};

class QtAccess : public ::testing::TestWithParam<i18n::Language> {
 protected:
  QtAccess() : dialog_(messages_) {
    EXPECT_TRUE(UseLanguage(GetParam()));
    dialog_.SetRunSettingsModally(false);
    dialog_.show();
  }
  ~QtAccess() override { ForgetLanguage(); }
  SettingsWindow& Open() {
    Walk connect;
    connect.Visit(QAccessible::queryAccessibleInterface(&dialog_));
    EXPECT_TRUE(connect.unnamed.isEmpty());
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
  SettingsWindow& window = Open();
  // Not a second window of the same name beside the settings.
  EXPECT_FALSE(dialog_.isVisible());
  Walk walk;
  for (int tab = 0; tab < SettingsWindow::kPageCount; ++tab) {
    window.Tabs()->setCurrentIndex(tab);
    QAccessibleInterface* page = QAccessible::queryAccessibleInterface(window.PageAt(tab));
    EXPECT_EQ(page->text(QAccessible::Name), Tr(app::kPageTabs[tab].caption));
    walk.Visit(QAccessible::queryAccessibleInterface(&window));
  }
  EXPECT_TRUE(walk.unnamed.isEmpty()) << walk.unnamed.join(", ").toStdString();
  EXPECT_EQ(walk.radios, window.findChildren<QRadioButton*>().size());
  EXPECT_TRUE(walk.unlabelled.isEmpty()) << walk.unlabelled.join(", ").toStdString();
  EXPECT_EQ(QAccessible::queryAccessibleInterface(window.Tabs())->text(QAccessible::Name),
            Tr("设置页"));

  // A field named by the check box beside it is related to that box both
  // ways, as a label and its field are, and stays readable and editable.
  QtPageControls& format =
      window.PageControlsAt(app::TabOfTemplate(res::output_format::kTemplateId));
  auto* prefix = qobject_cast<QLineEdit*>(format.Widget(res::output_format::kNfcPrefixEdit));
  QWidget* prefixBox = format.Widget(res::output_format::kNfcPrefixBox);
  QAccessibleInterface* field = QAccessible::queryAccessibleInterface(prefix);
  const auto labels = field->relations(QAccessible::Label);
  ASSERT_EQ(labels.size(), 1);
  EXPECT_EQ(labels[0].first->object(), prefixBox);
  EXPECT_EQ(labels[0].first->role(), QAccessible::CheckBox);
  const auto labelled = labels[0].first->relations(QAccessible::Labelled);
  ASSERT_EQ(labelled.size(), 1);
  EXPECT_EQ(labelled[0].first->object(), prefix);
  EXPECT_EQ(field->text(QAccessible::Name), Tr("NFC前缀"));
  prefix->setText("AB");
  ASSERT_NE(field->editableTextInterface(), nullptr);
  field->editableTextInterface()->insertText(1, "x");
  EXPECT_EQ(prefix->text(), "AxB");
  EXPECT_EQ(field->text(QAccessible::Value), "AxB");
  EXPECT_EQ(field->textInterface()->text(1, 3), "xB");
  field->textInterface()->setSelection(0, 0, 2);
  int start = -1;
  int end = -1;
  field->textInterface()->selection(0, &start, &end);
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(0, 2));
  field->editableTextInterface()->replaceText(0, 2, "y");
  EXPECT_EQ(prefix->text(), "yB");
  EXPECT_EQ(field->textInterface()->cursorPosition(), 1);
  // A password tells only its length.
  auto* key =
      qobject_cast<QLineEdit*>(window.PageControlsAt(1).Widget(res::output_method::kKeyEdit));
  key->setText("secret");
  QAccessibleInterface* keyField = QAccessible::queryAccessibleInterface(key);
  EXPECT_EQ(keyField->text(QAccessible::Value), "******");
  EXPECT_TRUE(keyField->textInterface()->text(0, 6).isEmpty());

  QAccessibleInterface* hex =
      QAccessible::queryAccessibleInterface(window.PageControlsAt(3).Widget(res::control::kNfcHex));
  EXPECT_EQ(hex->role(), QAccessible::RadioButton);
  EXPECT_EQ(hex->text(QAccessible::Name), Tr("NFC输出格式") + ": hex");
  // A combo box by its label, whatever its value.
  auto* auth = qobject_cast<QComboBox*>(
      window.PageControlsAt(1).Widget(res::output_method::kAuthModeCombo));
  auth->setEditText("WPA2PSK");
  EXPECT_EQ(QAccessible::queryAccessibleInterface(auth)->text(QAccessible::Name), Tr("认证模式"));
}

TEST_P(QtAccess, TabReachesEveryControlOfEveryPageInScreenOrder) {
  SettingsWindow& window = Open();
  QTabBar* bar = window.Tabs()->tabBar();
  ASSERT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(bar));
  for (int tab = 0; tab < SettingsWindow::kPageCount; ++tab) {
    SCOPED_TRACE(tab);
    window.Tabs()->setCurrentIndex(tab);
    bar->setFocus(Qt::TabFocusReason);
    std::vector<QWidget*> reached;
    do {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      reached.push_back(QApplication::focusWidget());
    } while (reached.back() != bar && reached.size() < 200);
    ASSERT_GE(reached.size(), 6u);
    QStringList buttons;
    for (auto it = reached.end() - 6; it != reached.end() - 1; ++it) {
      buttons << qobject_cast<QAbstractButton*>(*it)->text();
    }
    EXPECT_EQ(buttons, (QStringList{Tr("保存"), Tr("导入配置..."), Tr("导出配置..."), Tr("退出"),
                                    Tr("扫描测试...")}));

    // Every shown, enabled control of the page once; a radio group once.
    std::set<QObject*> expected;
    for (QWidget* widget : window.PageAt(tab)->findChildren<QWidget*>()) {
      if (!widget->isVisible() || !widget->isEnabled() || widget->focusPolicy() == Qt::NoFocus ||
          qobject_cast<QComboBox*>(widget->parentWidget())) {
        continue;
      }
      auto* radio = qobject_cast<QRadioButton*>(widget);
      expected.insert(radio ? static_cast<QObject*>(radio->group()) : widget);
    }
    std::set<QObject*> got;
    for (QWidget* widget : reached) {
      if (!window.PageAt(tab)->isAncestorOf(widget)) continue;
      auto* radio = qobject_cast<QRadioButton*>(widget);
      EXPECT_TRUE(got.insert(radio ? static_cast<QObject*>(radio->group()) : widget).second);
    }
    EXPECT_EQ(got, expected);
  }

  // Arrows move and check within a group, as in Windows dialogs; the
  // group's one tab stop follows the check.
  window.Tabs()->setCurrentIndex(3);
  auto* dec = qobject_cast<QRadioButton*>(window.PageControlsAt(3).Widget(res::control::kNfcDec));
  auto* dec1 = qobject_cast<QRadioButton*>(window.PageControlsAt(3).Widget(res::control::kNfcDec1));
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
