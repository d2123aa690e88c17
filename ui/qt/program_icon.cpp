#include "ui/qt/program_icon.h"

#include <QString>

namespace lumiq::ui::qt {

namespace {
constexpr int kSystemIconSize = 32;
}

QIcon ProgramIcon() {
  return QIcon(QStringLiteral(":/lumiq/icons/lumiq.png"));
}

QPixmap ProgramIconPixmap() {
  return ProgramIcon().pixmap(kSystemIconSize, kSystemIconSize);
}

}  // namespace lumiq::ui::qt
