#include "ui/qt/connect_dialog.h"

#include <QAction>
#include <QPushButton>

#include "res/ids/app_ids.h"
#include "res/strings.h"
#include "ui/qt/about_dialog.h"
#include "ui/qt/chooser_dialog.h"
#include "ui/qt/message_sink.h"
#include "ui/qt/opening_focus.h"
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
  if (auto* openButton = qobject_cast<QPushButton*>(controls_.Find(res::kConnectOpenButton))) {
    connect(openButton, &QPushButton::clicked, this, [this] { OpenProfile(); });
  }
  if (auto* exitButton = qobject_cast<QPushButton*>(controls_.Find(res::kConnectExitButton))) {
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);
  }

  about_ = new QAction(Translated(res::StringResource(res::kAboutMenuStringId)), this);
  connect(about_, &QAction::triggered, this, &ConnectDialog::ShowAbout);
  // No system menu to extend here: the entry lives in the context menu.
  addAction(about_);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  FocusOnOpening(this, controls_);
}

ConnectDialog::~ConnectDialog() = default;

class ConnectDialog::Window final : public app::ConnectWindow {
 public:
  explicit Window(ConnectDialog& dialog) : dialog(dialog) {}
  void DropSettings() override {
    if (!dialog.applying_) dialog.settings_.reset();
  }
  void ShowMessage(const std::string& utf8) override {
    dialog.messages_.Show(&dialog, QString::fromStdString(utf8));
  }
  void OpenSettings() override {
    if (dialog.applying_ && dialog.settings_) {
      dialog.applying_ = false;
      dialog.settings_->AttachScanner();
      return;
    }
    Run(std::make_unique<SettingsWindow>(dialog.messages_, &dialog));
  }
  void OpenSettingsOn(std::unique_ptr<app::DocumentSource> source) override {
    Run(std::make_unique<SettingsWindow>(dialog.messages_, &dialog, std::move(source)));
  }
  void Run(std::unique_ptr<SettingsWindow> window) {
    dialog.settings_ = std::move(window);
    ConnectDialog* owner = &dialog;
    if (dialog.settings_->File()) {
      dialog.settings_->SetApplyHandler([owner] { owner->ApplyToScanner(); });
    }
    // Two windows under one title would leave a screen reader's window list
    // ambiguous: the connect window steps aside while the settings are open.
    QObject::connect(dialog.settings_.get(), &QDialog::finished, owner, [owner] { owner->show(); });
    if (dialog.modal_) {
      dialog.hide();
      dialog.settings_->exec();
      dialog.settings_.reset();
    } else {
      dialog.settings_->show();
      dialog.hide();
    }
  }
  void OpenChooser(const std::vector<app::ScannerChoice>& choices) override {
    dialog.chooser_ = std::make_unique<ChooserDialog>(choices, &dialog);
    if (dialog.modal_) {
      if (dialog.chooser_->exec() == QDialog::Accepted) dialog.ConnectChosen();
      dialog.chooser_.reset();
    } else {
      ConnectDialog* owner = &dialog;
      QObject::connect(dialog.chooser_.get(), &QDialog::accepted, owner,
                       [owner] { owner->ConnectChosen(); });
      dialog.chooser_->show();
    }
  }

 private:
  ConnectDialog& dialog;
};

ConnectDialog::Outcome ConnectDialog::Connect() {
  chooser_.reset();
  applying_ = false;
  Window window(*this);
  return app::RunConnect(window);
}

ConnectDialog::Outcome ConnectDialog::OpenProfile() {
  const std::optional<app::ChosenFile> file =
      (fileChooser_ ? *fileChooser_ : files_).Choose(app::FileChoice::kOpen);
  if (!file) return Outcome::kNoDevice;
  return OpenFile(*file);
}

ConnectDialog::Outcome ConnectDialog::OpenFile(const app::ChosenFile& file) {
  chooser_.reset();
  applying_ = false;
  Window window(*this);
  return app::OpenProfile(window, file);
}

ConnectDialog::Outcome ConnectDialog::ApplyToScanner() {
  if (!settings_ || !settings_->File()) return Outcome::kNoDevice;
  chooser_.reset();
  applying_ = true;
  Window window(*this);
  const Outcome outcome = app::RunConnect(window);
  // A chooser keeps the connect going until it closes.
  if (outcome != Outcome::kChoosing) applying_ = false;
  return outcome;
}

ChooserDialog* ConnectDialog::Chooser() const {
  return chooser_ && chooser_->isVisible() ? chooser_.get() : nullptr;
}

void ConnectDialog::ConnectChosen() {
  const app::ScannerChoice* chosen = chooser_ ? chooser_->Chosen() : nullptr;
  if (!chosen) return;
  // The chooser has closed; it stays until the next connect, being the
  // sender of this call.
  const app::ScannerChoice choice = *chosen;
  Window window(*this);
  app::ConnectChosen(window, choice);
}

void ConnectDialog::ShowAbout() {
  AboutDialog about(this);
  about.exec();
}

}  // namespace lumiq::ui::qt
