// The Qt windows in English, the chooser's included: every text the
// operator sees comes from the catalogue, every English caption fits its
// control in the dialog's font at 96 DPI, the .qm the windows use says what the toolkit-free table says, and
// Qt's own texts follow the language.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTabBar>

#include "res/dialog_template.h"
#include "res/i18n/catalogue.h"
#include "sim/demo_configuration.h"
#include "sim/scanner_setup.h"
#include "sim/sim_platform.h"
#include "tests/ui/ui_test_support.h"
#include "ui/qt/about_dialog.h"
#include "ui/qt/chooser_dialog.h"
#include "ui/qt/connect_dialog.h"
#include "ui/qt/settings_window.h"
#include "ui/qt/tab_control.h"
#include "ui/qt/translations.h"

namespace lumiq::ui::qt {
namespace {

bool HasChinese(const QString& text) {
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if ((u >= 0x3000 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF)) return true;
  }
  return false;
}

QString CaptionOf(QWidget* widget) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* box = qobject_cast<QGroupBox*>(widget)) return box->title();
  return {};
}

// What a caption needs beyond its text: the box and gap of a check box or
// radio button (the builder's style gives them 13 and 3 pixels), the edges
// of a push button, the indent of a group box's title on either side.
int CaptionExtra(res::ControlKind kind) {
  switch (kind) {
    case res::ControlKind::kCheckBox:
    case res::ControlKind::kRadioButton: return 13 + 3;
    case res::ControlKind::kPushButton: return 2 * 3;
    case res::ControlKind::kGroupBox: return 2 * 8;
    default: return 0;
  }
}

class EnglishWindows : public ::testing::Test {
 protected:
  EnglishWindows() {
    EXPECT_TRUE(UseLanguage(i18n::Language::kEnglish));
    dialog_ = std::make_unique<ConnectDialog>(messages_);
    dialog_->SetRunSettingsModally(false);
  }
  ~EnglishWindows() override {
    dialog_.reset();
    ForgetLanguage();
  }

  // Every caption of a built dialog: Chinese ones go to `chinese`, English
  // ones that do not fit their control to `clipped`.
  static void Look(const BuiltDialog& built, std::vector<std::string>* chinese,
                   std::vector<std::string>* clipped) {
    for (size_t i = 0; i < built.widgets.size(); ++i) {
      const res::ControlTemplate& control = built.dialog->controls[i];
      QWidget* widget = built.widgets[i];
      const QString caption = CaptionOf(widget);
      const std::string where = std::to_string(built.dialog->id) + " " + control.caption;
      if (HasChinese(caption)) chinese->push_back(where);
      if (caption.isEmpty() || caption == QString::fromUtf8(control.caption)) continue;
      const int needed = QFontMetrics(widget->font()).horizontalAdvance(caption) +
                         CaptionExtra(control.kind);
      if (needed > widget->width()) {
        clipped->push_back(where + " \"" + caption.toStdString() + "\" needs " +
                           std::to_string(needed) + " px, has " + std::to_string(widget->width()));
      }
    }
  }

  test::UiScanner rig_;
  test::CapturingSink messages_;
  std::unique_ptr<ConnectDialog> dialog_;
};

TEST_F(EnglishWindows, EveryTextIsEnglishAndEveryCaptionFits) {
  ASSERT_EQ(qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY()), 96);
  ASSERT_EQ(dialog_->Connect(), ConnectDialog::Outcome::kConnected);
  SettingsWindow* settings = dialog_->Settings();
  ASSERT_NE(settings, nullptr);
  AboutDialog about(dialog_.get());

  std::vector<std::string> chinese, clipped;
  Look(dialog_->Controls(), &chinese, &clipped);
  Look(about.Controls(), &chinese, &clipped);
  Look(settings->Controls(), &chinese, &clipped);
  for (int tab = 0; tab < SettingsWindow::kPageCount; ++tab) {
    Look(settings->PageControlsAt(tab).Built(), &chinese, &clipped);
    if (HasChinese(settings->Tabs()->tabText(tab))) chinese.push_back("tab " + std::to_string(tab));
  }
  for (const QWidget* window : {static_cast<QWidget*>(dialog_.get()),
                                static_cast<QWidget*>(&about), static_cast<QWidget*>(settings)}) {
    if (HasChinese(window->windowTitle())) chinese.push_back(window->windowTitle().toStdString());
  }
  if (HasChinese(dialog_->AboutAction()->text())) chinese.push_back("the About entry");
  for (const QString& text : messages_.Texts()) {
    if (HasChinese(text)) chinese.push_back(text.toStdString());
  }
  EXPECT_EQ(chinese, std::vector<std::string>{});
  EXPECT_EQ(clipped, std::vector<std::string>{});

  // The headers sit in one row inside the tab control.
  EXPECT_LE(settings->Tabs()->tabBar()->sizeHint().width(), settings->Tabs()->width());
  EXPECT_EQ(messages_.Texts(), QStringList{QStringLiteral("Connected.")});
}

TEST_F(EnglishWindows, TheChooserIsEnglishAndItsCaptionsFit) {
  sim::SimulatedScanner scanners[2];
  sim::SimPlatform platform;
  for (sim::SimulatedScanner& scanner : scanners) {
    sim::SeedDemoScanner(scanner);
    platform.AddScanner(&scanner);
  }
  sim::PluggedPlatform plugged(&platform);
  ASSERT_EQ(dialog_->Connect(), ConnectDialog::Outcome::kChoosing);
  ChooserDialog* chooser = dialog_->Chooser();
  ASSERT_NE(chooser, nullptr);

  std::vector<std::string> chinese, clipped;
  Look(chooser->Controls(), &chinese, &clipped);
  EXPECT_EQ(chooser->windowTitle(), QStringLiteral("Choose a scanner"));
  ASSERT_EQ(chooser->List()->count(), 2);
  for (int row = 0; row < chooser->List()->count(); ++row) {
    const QString text = chooser->List()->item(row)->text();
    if (HasChinese(text)) chinese.push_back(text.toStdString());
  }
  EXPECT_EQ(chinese, std::vector<std::string>{});
  EXPECT_EQ(clipped, std::vector<std::string>{});
  dialog_.reset();  // its windows go before the scanners they were reading
}

TEST_F(EnglishWindows, TheCompiledCatalogueSaysWhatTheTableSays) {
  size_t count = 0;
  const i18n::CatalogueEntry* entries = i18n::EnglishEntries(&count);
  ASSERT_GT(count, 0u);
  std::vector<std::string> differing;
  for (size_t i = 0; i < count; ++i) {
    const QString fromQm = Translated(entries[i].source);
    if (fromQm != QString::fromUtf8(entries[i].translation)) {
      differing.push_back(std::string(entries[i].source) + " -> " + fromQm.toStdString());
    }
  }
  EXPECT_EQ(differing, std::vector<std::string>{});
}

TEST_F(EnglishWindows, QtsOwnTextsFollowTheLanguage) {
  // The standard buttons of every message box and file dialog.
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("OK"));
  ASSERT_TRUE(UseLanguage(i18n::Language::kChinese));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("确定"));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
  // The windows' own texts are their sources again.
  EXPECT_EQ(Translated("连接设备"), QStringLiteral("连接设备"));
  EXPECT_EQ(std::string(i18n::Tr("连接设备")), "连接设备");
}

}  // namespace
}  // namespace lumiq::ui::qt
