#include "ui/qt/opening_focus.h"

#include <QEvent>
#include <QTabBar>
#include <QWidget>

#include "ui/app/opening_focus.h"
#include "ui/qt/dialog_builder.h"
#include "ui/qt/tab_control.h"

namespace lumiq::ui::qt {

namespace {

// Showing a window forgets that its focus mark was wanted; each show asks
// for it again.
class FocusMarkOnShow final : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
      static_cast<QWidget*>(watched)->setAttribute(Qt::WA_KeyboardFocusChange);
    }
    return false;
  }
};

}  // namespace

void FocusOnOpening(QWidget* window, const BuiltDialog& built) {
  const int id = app::OpeningFocus(built.dialog->id);
  QWidget* control = id != 0 ? built.Find(id) : built.FirstTabStop();
  if (auto* tabs = qobject_cast<TabControl*>(control)) control = tabs->tabBar();
  if (control) control->setFocus(Qt::TabFocusReason);
  window->installEventFilter(new FocusMarkOnShow(window));
}

}  // namespace lumiq::ui::qt
