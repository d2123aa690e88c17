#include "ui/qt/connect_dialog.h"

#include <QAction>
#include <QPushButton>

#include "res/ids/app_ids.h"
#include "res/strings.h"
#include "ui/qt/about_dialog.h"
#include "ui/qt/message_sink.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/translations.h"
#include "ui/qt/settings_window.h"

namespace lumiq::ui::qt {

ConnectDialog::ConnectDialog(MessageSink& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
  const res::DialogTemplate& dialog = *res::FindDialogTemplate(res::kConnectTemplateId);
  controls_ = BuildDialog(dialog, this);
  setWindowTitle(Translated(dialog.caption));
  setWindowIcon(ProgramIcon());
  setFixedSize(DialogClientSize(controls_));

  if (auto* connectButton = qobject_cast<QPushButton*>(controls_.Find(res::kConnectButton))) {
    connect(connectButton, &QPushButton::clicked, this, [this] { Connect(); });
  }
  if (auto* exitButton = qobject_cast<QPushButton*>(controls_.Find(res::kConnectExitButton))) {
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);
  }

  about_ = new QAction(Translated(res::StringResource(res::kAboutMenuStringId)), this);
  connect(about_, &QAction::triggered, this, &ConnectDialog::ShowAbout);
  // No system menu to extend here: the entry lives in the context menu.
  addAction(about_);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  if (QWidget* first = controls_.FirstTabStop()) first->setFocus();
}

ConnectDialog::~ConnectDialog() = default;

ConnectDialog::Outcome ConnectDialog::Connect() {
  struct Window final : app::ConnectWindow {
    explicit Window(ConnectDialog& dialog) : dialog(dialog) {}
    void DropSettings() override { dialog.settings_.reset(); }
    void ShowMessage(const std::string& utf8) override {
      dialog.messages_.Show(&dialog, QString::fromStdString(utf8));
    }
    void OpenSettings() override {
      dialog.settings_ = std::make_unique<SettingsWindow>(dialog.messages_, &dialog);
      if (dialog.modal_) {
        dialog.settings_->exec();
        dialog.settings_.reset();
      } else {
        dialog.settings_->show();
      }
    }
    ConnectDialog& dialog;
  } window(*this);
  return app::RunConnect(window);
}

void ConnectDialog::ShowAbout() {
  AboutDialog about(this);
  about.exec();
}

}  // namespace lumiq::ui::qt
