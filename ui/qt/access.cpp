#include "ui/qt/access.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QTabBar>

#include "ui/app/access_layout.h"
#include "ui/qt/accessible_factory.h"
#include "ui/qt/dialog_builder.h"
#include "ui/qt/tab_control.h"

namespace lumiq::ui::qt {

namespace {

using res::ControlKind;

// The radio groups of one window or page, each in screen order.
class RadioKeys : public QObject {
 public:
  RadioKeys(std::vector<std::vector<QAbstractButton*>> groups, QObject* parent)
      : QObject(parent), groups_(std::move(groups)) {
    for (const auto& group : groups_) {
      for (QAbstractButton* button : group) {
        button->installEventFilter(this);
        connect(button, &QAbstractButton::toggled, this, [this, &group] { FollowChecked(group); });
      }
      FollowChecked(group);
    }
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool forward = key == Qt::Key_Down || key == Qt::Key_Right;
    if (!forward && key != Qt::Key_Up && key != Qt::Key_Left) return false;
    for (const auto& group : groups_) {
      for (size_t at = 0; at < group.size(); ++at) {
        if (group[at] != watched) continue;
        const size_t to = app::RadioArrowTarget(group.size(), at, forward, [&group](size_t i) {
          return group[i]->isEnabled() && group[i]->isVisibleTo(group[i]->parentWidget());
        });
        if (to != at) {
          group[to]->setFocus(Qt::TabFocusReason);
          group[to]->click();
        }
        return true;
      }
    }
    return false;
  }

 private:
  // Only the group's stop takes the focus by Tab; a click still focuses any.
  static void FollowChecked(const std::vector<QAbstractButton*>& group) {
    std::vector<bool> checked;
    for (QAbstractButton* button : group) checked.push_back(button->isChecked());
    const size_t stop = app::RadioTabStop(checked);
    for (size_t i = 0; i < group.size(); ++i) {
      group[i]->setFocusPolicy(i == stop ? Qt::StrongFocus : Qt::ClickFocus);
    }
  }

  std::vector<std::vector<QAbstractButton*>> groups_;
};

bool TakesFocus(ControlKind kind) {
  return kind != ControlKind::kLabel && kind != ControlKind::kGroupBox &&
         kind != ControlKind::kIcon;
}

}  // namespace

void ChainTabOrder(const std::vector<QWidget*>& widgets) {
  for (size_t i = 1; i < widgets.size(); ++i) QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

void ApplyAccess(BuiltDialog& built, QWidget* host) {
  InstallAccessibleFactory();
  const res::DialogTemplate& dialog = *built.dialog;
  const app::AccessLayout layout = app::LayOutForAccess(dialog);
  const res::DialogTemplate arranged = app::ArrangedForKeyboard(dialog);

  std::vector<std::vector<QAbstractButton*>> groups;
  bool inGroup = false;
  for (size_t at = 0; at < layout.order.size(); ++at) {
    const int index = layout.order[at];
    const res::ControlTemplate& control = arranged.controls[at];
    QWidget* widget = built.widgets[static_cast<size_t>(index)];
    if (TakesFocus(control.kind)) {
      widget->setAccessibleName(
          QString::fromStdString(app::AccessibleName(dialog, layout, index)));
    }
    const int label = layout.label[static_cast<size_t>(index)];
    if (label >= 0 && control.kind != ControlKind::kRadioButton) {
      QWidget* naming = built.widgets[static_cast<size_t>(label)];
      if (auto* text = qobject_cast<QLabel*>(naming)) {
        text->setBuddy(widget);
      } else if (auto* box = qobject_cast<QAbstractButton*>(naming)) {
        RelateNamingBox(widget, box);
      }
    }
    if (control.kind == ControlKind::kRadioButton) {
      if (!inGroup || (control.style & res::kGroupStart)) groups.emplace_back();
      groups.back().push_back(static_cast<QAbstractButton*>(widget));
    }
    inGroup = control.kind == ControlKind::kRadioButton;
    if (auto* tabs = qobject_cast<TabControl*>(widget)) {
      tabs->tabBar()->setFocusPolicy(Qt::StrongFocus);
      built.keyboardOrder.push_back(tabs->tabBar());
      continue;
    }
    if (TakesFocus(control.kind)) built.keyboardOrder.push_back(widget);
  }
  if (!groups.empty()) new RadioKeys(std::move(groups), host);
  ChainTabOrder(built.keyboardOrder);
}

}  // namespace lumiq::ui::qt
