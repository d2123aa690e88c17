#include "ui/qt/message_sink.h"

#include <QMessageBox>

#include "res/ids/app_ids.h"
#include "res/strings.h"

namespace lumiq::ui::qt {

void MessageBoxSink::Show(QWidget* owner, const QString& text) {
  Build(owner, text)->exec();
}

std::unique_ptr<QMessageBox> MessageBoxSink::Build(QWidget* owner, const QString& text) {
  return std::make_unique<QMessageBox>(QMessageBox::NoIcon, QString::fromUtf8(res::StringResource(res::kAppTitleStringId)),
                                       text, QMessageBox::Ok, owner);
}

}  // namespace lumiq::ui::qt
