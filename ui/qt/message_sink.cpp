#include "ui/qt/message_sink.h"

#include <QMessageBox>

#include "res/strings.h"

namespace lumiq::ui::qt {

void MessageBoxSink::Show(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(res::kAppName), text,
                  QMessageBox::Ok, owner);
  box.exec();
}

}  // namespace lumiq::ui::qt
