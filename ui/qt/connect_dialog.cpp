#include "ui/qt/connect_dialog.h"

#include <vector>

#include <QAction>
#include <QPushButton>

#include "link/device_commands.h"
#include "res/ids/app_ids.h"
#include "res/strings.h"
#include "ui/pages/connect_message.h"
#include "ui/qt/about_dialog.h"
#include "ui/qt/message_sink.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/settings_window.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace lumiq::ui::qt {

ConnectDialog::ConnectDialog(MessageSink& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
  const res::DialogTemplate& dialog = *res::FindDialogTemplate(res::kConnectTemplateId);
  controls_ = BuildDialog(dialog, this);
  setWindowTitle(QString::fromUtf8(dialog.caption));
  setWindowIcon(ProgramIcon());
  setFixedSize(DialogClientSize(controls_));

  if (auto* connectButton = qobject_cast<QPushButton*>(controls_.Find(res::kConnectButton))) {
    connect(connectButton, &QPushButton::clicked, this, [this] { Connect(); });
  }
  if (auto* exitButton = qobject_cast<QPushButton*>(controls_.Find(res::kConnectExitButton))) {
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);
  }

  about_ = new QAction(QString::fromUtf8(res::StringResource(res::kAboutMenuStringId)), this);
  connect(about_, &QAction::triggered, this, &ConnectDialog::ShowAbout);
#ifndef Q_OS_WIN
  // No system menu to extend here: the entry lives in the context menu.
  addAction(about_);
  setContextMenuPolicy(Qt::ActionsContextMenu);
#endif
  if (QWidget* first = controls_.FirstTabStop()) first->setFocus();
}

ConnectDialog::~ConnectDialog() = default;

ConnectDialog::Outcome ConnectDialog::Connect() {
  // Every press starts over from discovery; a window of an earlier connect
  // that is still kept goes first.
  settings_.reset();

  if (OpenDevice() < 0) {
    messages_.Show(this, QString::fromStdString(ConnectFailedMessage(LastOpenFailure())));
    return Outcome::kNoDevice;
  }
  std::vector<char> version(kLongValueBufferSize, '\0');
  int length = 0;
  if (GetVersion(version.data(), version.size(), &length) < 0) {
    messages_.Show(this, QString::fromUtf8(res::kVersionFailedText));
    return Outcome::kNoVersion;
  }
  messages_.Show(this, QString::fromUtf8(res::kConnectedText));

  settings_ = std::make_unique<SettingsWindow>(messages_, this);
  if (modal_) {
    settings_->exec();
    settings_.reset();
  } else {
    settings_->show();
  }
  return Outcome::kConnected;
}

void ConnectDialog::ShowAbout() {
  AboutDialog about(this);
  about.exec();
}

#ifdef Q_OS_WIN
void ConnectDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (systemMenuExtended_) return;
  systemMenuExtended_ = true;
  HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
  const QString text = about_->text();
  if (menu && !text.isEmpty()) {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, res::kAboutMenuCommand,
                reinterpret_cast<const wchar_t*>(text.utf16()));
  }
}

bool ConnectDialog::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
  const MSG* msg = static_cast<const MSG*>(message);
  if (msg->message == WM_SYSCOMMAND &&
      static_cast<int>(msg->wParam & res::kSystemCommandMask) == res::kAboutMenuCommand) {
    ShowAbout();
    *result = 0;
    return true;
  }
  return QDialog::nativeEvent(eventType, message, result);
}
#endif

}  // namespace lumiq::ui::qt
