#include "ui/qt/settings_window.h"

#include <QMetaObject>
#include <QPushButton>
#include <QTabWidget>

#include "res/ids/app_ids.h"
#include "ui/qt/message_sink.h"
#include "ui/qt/program_icon.h"

namespace lumiq::ui::qt {

namespace {

struct TabEntry {
  int templateId;
  const char* caption;
};

// Page order: the order of the tabs, and of creating, loading, showing and
// hiding the pages.
constexpr TabEntry kTabs[SettingsWindow::kPageCount] = {
    {130, "码制设置"}, {133, "输出方式"}, {132, "输出格式"}, {131, "控制设置"}, {137, "关于"},
};

}  // namespace

int SettingsWindow::TemplateOfTab(int tab) {
  return tab >= 0 && tab < kPageCount ? kTabs[tab].templateId : 0;
}

SettingsWindow::SettingsWindow(MessageSink& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
  const res::DialogTemplate& dialog = *res::FindDialogTemplate(res::kSettingsTemplateId);
  controls_ = BuildDialog(dialog, this);
  setWindowTitle(QString::fromUtf8(dialog.caption));
  setWindowIcon(ProgramIcon());
  setFixedSize(DialogClientSize(controls_));

  tabs_ = qobject_cast<QTabWidget*>(controls_.Find(res::kSettingsTabControl));
  save_ = qobject_cast<QPushButton*>(controls_.Find(res::kSettingsSaveButton));
  exit_ = qobject_cast<QPushButton*>(controls_.Find(res::kSettingsExitButton));

  for (int tab = 0; tab < kPageCount; ++tab) {
    Page& page = pages_[static_cast<size_t>(tab)];
    page.widget = new QWidget;
    page.controls = std::make_unique<QtPageControls>(
        BuildDialog(*res::FindDialogTemplate(kTabs[tab].templateId), page.widget));
    // The tab widget keeps the pages under its row of headers, one visible.
    tabs_->addTab(page.widget, QString::fromUtf8(kTabs[tab].caption));
  }
  tabs_->setCurrentIndex(0);

  PageSet pages = Pages();
  loadFailed_ = LoadPages(pages);

  // No button may act on Enter: Enter inside a page must never save.
  for (QPushButton* button : findChildren<QPushButton*>()) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }
  connect(save_, &QPushButton::clicked, this, [this] { Save(); });
  connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
  exit_->setFocus();  // the first tab stop of the template
}

SettingsWindow::~SettingsWindow() = default;

QtPageControls* SettingsWindow::PageByTemplate(int templateId) {
  const int tab = TabOfTemplate(templateId);
  return tab < 0 ? nullptr : pages_[static_cast<size_t>(tab)].controls.get();
}

int SettingsWindow::TabOfTemplate(int templateId) const {
  for (int tab = 0; tab < kPageCount; ++tab) {
    if (kTabs[tab].templateId == templateId) return tab;
  }
  return -1;
}

PageSet SettingsWindow::Pages() {
  return PageSet{*pages_[0].controls, *pages_[1].controls, *pages_[2].controls,
                 *pages_[3].controls, *pages_[4].controls};
}

SaveOutcome SettingsWindow::Save() {
  const SaveOutcome outcome = SavePages(Pages());
  messages_.Show(this, QString::fromStdString(SaveMessage(outcome)));
  return outcome;
}

void SettingsWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (loadFailed_.empty() || loadFailureReported_) return;
  loadFailureReported_ = true;
  // After the window is up, so the operator sees which page the message is
  // about; queued, so the window paints first.
  QMetaObject::invokeMethod(this, [this] { ShowLoadFailure(); }, Qt::QueuedConnection);
}

void SettingsWindow::ShowLoadFailure() {
  messages_.Show(this, QString::fromStdString(LoadFailureMessage(loadFailed_)));
}

}  // namespace lumiq::ui::qt
