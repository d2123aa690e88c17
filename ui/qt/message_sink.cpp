#include "ui/qt/message_sink.h"

#include <QMessageBox>

#include "res/ids/app_ids.h"
#include "res/strings.h"

namespace lumiq::ui::qt {

void MessageBoxSink::Show(QWidget* owner, const QString& text) {
  Build(owner, text)->exec();
}

app::SettingsSession::CloseAnswer MessageBoxSink::Ask(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::Question,
                  QString::fromUtf8(res::StringResource(res::kAppTitleStringId)), text,
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, owner);
  box.setDefaultButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Save: return app::SettingsSession::CloseAnswer::kSave;
    case QMessageBox::Discard: return app::SettingsSession::CloseAnswer::kDiscard;
    default: return app::SettingsSession::CloseAnswer::kCancel;
  }
}

std::unique_ptr<QMessageBox> MessageBoxSink::Build(QWidget* owner, const QString& text) {
  return std::make_unique<QMessageBox>(QMessageBox::NoIcon, QString::fromUtf8(res::StringResource(res::kAppTitleStringId)),
                                       text, QMessageBox::Ok, owner);
}

}  // namespace lumiq::ui::qt
