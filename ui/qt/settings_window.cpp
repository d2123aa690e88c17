#include "ui/qt/settings_window.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QTabBar>

#include "res/ids/app_ids.h"
#include "res/ids/output_method_ids.h"
#include "ui/app/page_tabs.h"
#include "ui/qt/access.h"
#include "ui/qt/message_sink.h"
#include "ui/qt/opening_focus.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/tab_keys.h"
#include "ui/qt/translations.h"

namespace lumiq::ui::qt {

int SettingsWindow::TemplateOfTab(int tab) {
  return tab >= 0 && tab < kPageCount ? app::kPageTabs[tab].templateId : 0;
}

SettingsWindow::SettingsWindow(MessageSink& messages, QWidget* parent,
                               std::unique_ptr<app::DocumentSource> source)
    : QDialog(parent),
      messages_(messages),
      session_(source ? std::move(source) : std::make_unique<app::ScannerSource>()) {
  const res::DialogTemplate& dialog = *res::FindDialogTemplate(res::kSettingsTemplateId);
  controls_ = BuildDialog(dialog, this);
  setWindowTitle(Translated(dialog.caption));
  setWindowIcon(ProgramIcon());
  setFixedSize(DialogClientSize(controls_));

  tabs_ = qobject_cast<TabControl*>(controls_.Find(res::kSettingsTabControl));
  // On the control, as Qt names the tab bar by its current tab.
  tabs_->setAccessibleName(Translated("设置页"));
  save_ = qobject_cast<QPushButton*>(controls_.Find(res::kSettingsSaveButton));
  exit_ = qobject_cast<QPushButton*>(controls_.Find(res::kSettingsExitButton));
  import_ = qobject_cast<QPushButton*>(controls_.Find(res::kSettingsImportButton));
  export_ = qobject_cast<QPushButton*>(controls_.Find(res::kSettingsExportButton));
  apply_ = qobject_cast<QPushButton*>(controls_.Find(res::kSettingsApplyButton));
  apply_->setVisible(session_.File() != nullptr);
  testScan_ = qobject_cast<QPushButton*>(controls_.Find(res::kSettingsTestScanButton));

  // Every page on one rectangle: the tab control's client area less the
  // header row, whatever the page's own template size.
  const QRect client = tabs_->ClientRect();
  const QRect pageRect(client.x(), client.y() + app::kPageTopOffset, client.width(),
                       client.height() - app::kPageTopOffset);
  for (int tab = 0; tab < kPageCount; ++tab) {
    Page& page = pages_[static_cast<size_t>(tab)];
    page.widget = new QWidget;
    page.controls = std::make_unique<QtPageControls>(
        BuildDialog(*res::FindDialogTemplate(app::kPageTabs[tab].templateId), page.widget));
    tabs_->addTab(page.widget, Translated(app::kPageTabs[tab].caption));
    page.widget->setAccessibleName(Translated(app::kPageTabs[tab].caption));
    page.widget->setGeometry(pageRect);
  }
  ChainKeyboardOrder();
  tabs_->setCurrentIndex(0);

  session_.Open(Pages());
  WatchChanges();
  RefreshMarks();

  // No button is a default button (the template has none): Enter inside a
  // page must never save or end the window. Enter on a focused button
  // clicks it, as a Windows dialog does.
  for (QPushButton* button : findChildren<QPushButton*>()) {
    button->setAutoDefault(false);
    button->setDefault(false);
    button->installEventFilter(this);
  }
  connect(save_, &QPushButton::clicked, this, [this] { Save(); });
  connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
  connect(import_, &QPushButton::clicked, this, [this] { Import(); });
  connect(export_, &QPushButton::clicked, this, [this] { Export(); });
  connect(apply_, &QPushButton::clicked, this, [this] {
    if (applyHandler_) applyHandler_();
  });
  connect(testScan_, &QPushButton::clicked, this, [this] { OpenTestScan(); });
  ConnectPageButtons();
  AddTabKeys(this, tabs_);
  FocusOnOpening(this, controls_);
}

SettingsWindow::~SettingsWindow() = default;

QtPageControls* SettingsWindow::PageByTemplate(int templateId) {
  const int tab = TabOfTemplate(templateId);
  return tab < 0 ? nullptr : pages_[static_cast<size_t>(tab)].controls.get();
}

int SettingsWindow::TabOfTemplate(int templateId) const { return app::TabOfTemplate(templateId); }

app::PagesByTab SettingsWindow::Pages() {
  app::PagesByTab pages{};
  for (int tab = 0; tab < kPageCount; ++tab) {
    pages[static_cast<size_t>(tab)] = pages_[static_cast<size_t>(tab)].controls.get();
  }
  return pages;
}

SaveOutcome SettingsWindow::Save() {
  const app::SettingsSession::Saved saved = session_.Save(Pages());
  RefreshMarks();
  messages_.Show(this, QString::fromStdString(saved.message));
  return saved.outcome;
}

void SettingsWindow::RebuildPages() {
  for (int tab = 0; tab < kPageCount; ++tab) {
    Page& page = pages_[static_cast<size_t>(tab)];
    auto* widget = new QWidget;
    auto controls = std::make_unique<QtPageControls>(
        BuildDialog(*res::FindDialogTemplate(app::kPageTabs[tab].templateId), widget));
    // The old controls go with their page; nothing may point at them after.
    tabs_->ReplacePage(tab, widget);
    widget->setAccessibleName(Translated(app::kPageTabs[tab].caption));
    page.widget = widget;
    page.controls = std::move(controls);
  }
  ChainKeyboardOrder();
  WatchChanges();
  ConnectPageButtons();
}

void SettingsWindow::WatchChanges() {
  for (const Page& page : pages_) {
    for (auto* button : page.widget->findChildren<QAbstractButton*>()) {
      connect(button, &QAbstractButton::toggled, this, [this] { RefreshMarks(); });
    }
    for (auto* edit : page.widget->findChildren<QLineEdit*>()) {
      connect(edit, &QLineEdit::textChanged, this, [this] { RefreshMarks(); });
    }
    for (auto* combo : page.widget->findChildren<QComboBox*>()) {
      connect(combo, &QComboBox::currentTextChanged, this, [this] { RefreshMarks(); });
    }
  }
}

void SettingsWindow::RefreshMarks() {
  const app::PagesByTab pages = Pages();
  setWindowTitle(QString::fromStdString(session_.Title(pages)));
  const std::array<bool, kPageCount> changed = session_.TabsChanged(pages);
  for (int tab = 0; tab < kPageCount; ++tab) {
    tabs_->setTabText(tab, QString::fromStdString(app::TabCaption(tab, changed[tab])));
  }
}

void SettingsWindow::ConnectPageButtons() {
  QtPageControls* method = PageByTemplate(res::output_method::kTemplateId);
  if (auto* button = qobject_cast<QPushButton*>(
          method->Widget(res::output_method::kChangeChannelButton))) {
    button->setAutoDefault(false);
    button->installEventFilter(this);
    // Queued: the switch replaces the page, button included, which must not
    // go while its own click is being delivered.
    connect(button, &QPushButton::clicked, this, [this] { SwitchChannel(); },
            Qt::QueuedConnection);
  }
}

std::optional<app::TransferResult> SettingsWindow::SwitchChannel() {
  QtChannelChooser dialog(this);
  app::ChannelChooser& chooser = channelChooser_ ? *channelChooser_ : dialog;
  const std::optional<app::TransferResult> result =
      session_.SwitchChannel(Pages(), chooser, [this] {
        RebuildPages();
        return Pages();
      });
  if (result) {
    RefreshMarks();
    messages_.Show(this, QString::fromStdString(result->message));
  }
  return result;
}

TestScanWindow* SettingsWindow::OpenTestScan() {
  testScanWindow_.reset();
  app::SerialPorts& ports = serialPorts_ ? *serialPorts_ : app::SystemSerialPorts();
  testScanWindow_ = std::make_unique<TestScanWindow>(app::PagesOf(Pages()), ports, this);
  testScanWindow_->SetScanListener(scanListener_);
  if (!testScanModal_) {
    testScanWindow_->show();
    return testScanWindow_.get();
  }
  testScanWindow_->exec();
  testScanWindow_.reset();
  return nullptr;
}

void SettingsWindow::ChainKeyboardOrder() {
  std::vector<QWidget*> order;
  for (QWidget* widget : controls_.keyboardOrder) {
    order.push_back(widget);
    if (widget != static_cast<QWidget*>(tabs_->tabBar())) continue;
    for (const Page& page : pages_) {
      const std::vector<QWidget*>& inPage = page.controls->Built().keyboardOrder;
      order.insert(order.end(), inPage.begin(), inPage.end());
    }
  }
  ChainTabOrder(order);
}

std::optional<app::TransferResult> SettingsWindow::Import() {
  const std::optional<app::TransferResult> result = session_.Import(Pages(), Chooser(), [this] {
    RebuildPages();
    return Pages();
  });
  if (result) {
    RefreshMarks();
    messages_.Show(this, QString::fromStdString(result->message));
  }
  return result;
}

std::optional<app::TransferResult> SettingsWindow::Export() {
  const std::optional<app::TransferResult> result = session_.Export(Pages(), Chooser());
  if (result) messages_.Show(this, QString::fromStdString(result->message));
  return result;
}

void SettingsWindow::AttachScanner() {
  const std::string message = session_.AttachScanner(Pages());
  apply_->hide();
  RefreshMarks();
  messages_.Show(this, QString::fromStdString(message));
}

void SettingsWindow::CloseWithoutAsking() {
  closing_ = true;
  reject();
}

void SettingsWindow::done(int result) {
  if (!closing_) {
    if (const std::optional<std::string> question = session_.CloseQuestion(Pages())) {
      const auto answer = messages_.Ask(this, QString::fromStdString(*question));
      std::string message;
      const bool closes = session_.AnswerClose(Pages(), answer, &message);
      if (!message.empty()) messages_.Show(this, QString::fromStdString(message));
      if (!closes) return;
    }
  }
  closing_ = false;
  QDialog::done(result);
}

void SettingsWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!session_.OpeningMessage() || loadFailureReported_) return;
  loadFailureReported_ = true;
  // After the window is up, so the operator sees which page the message is
  // about; queued, so the window paints first.
  QMetaObject::invokeMethod(this, [this] { ShowLoadFailure(); }, Qt::QueuedConnection);
}

bool SettingsWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    auto* button = qobject_cast<QPushButton*>(watched);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (button && modifiers == Qt::NoModifier &&
        (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
      if (button->isEnabled()) button->click();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void SettingsWindow::ShowLoadFailure() {
  if (const std::optional<std::string> message = session_.OpeningMessage()) {
    messages_.Show(this, QString::fromStdString(*message));
  }
}

}  // namespace lumiq::ui::qt
