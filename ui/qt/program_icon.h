#pragma once

#include <QIcon>
#include <QPixmap>

namespace lumiq::ui::qt {

// The program icon (resource 128), embedded from res/icons.
QIcon ProgramIcon();
// The icon at the size of a system icon (32 x 32), as dialogs show it.
QPixmap ProgramIconPixmap();

}  // namespace lumiq::ui::qt
