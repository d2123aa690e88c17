#include "ui/qt/tab_keys.h"

#include <QApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QTabBar>

#include "ui/app/tab_keys.h"
#include "ui/qt/tab_control.h"

namespace lumiq::ui::qt {

namespace {

QWidget* FirstTabStop(QWidget* page) {
  // Children come in creation order, which is the template's tab order.
  for (QWidget* child : page->findChildren<QWidget*>()) {
    if ((child->focusPolicy() & Qt::TabFocus) && child->isVisibleTo(page) &&
        child->isEnabled()) {
      return child;
    }
  }
  return nullptr;
}

void Step(TabControl* tabs, int step) {
  const int current = tabs->currentIndex();
  const int next = app::SteppedTab(current, step, tabs->count());
  if (next < 0 || next == current) return;
  QWidget* focus = QApplication::focusWidget();
  QWidget* oldPage = tabs->widget(current);
  const bool focusOnPage = focus && oldPage && oldPage->isAncestorOf(focus);
  tabs->setCurrentIndex(next);
  if (!focusOnPage) return;
  QWidget* target = FirstTabStop(tabs->widget(next));
  if (!target) target = tabs->tabBar();
  target->setFocus(Qt::TabFocusReason);
}

}  // namespace

void AddTabKeys(QWidget* window, TabControl* tabs) {
  const struct {
    app::TabKey key;
    Qt::Key qtKey;
  } keys[] = {
      {app::TabKey::kTab, Qt::Key_Tab},
      {app::TabKey::kPageDown, Qt::Key_PageDown},
      {app::TabKey::kPageUp, Qt::Key_PageUp},
  };
  // A shortcut for every combination the toolkit-free rule turns a page
  // with. Shift+Tab arrives as Backtab; the shortcut map tries it as
  // Shift+Tab.
  for (const auto& key : keys) {
    for (int held = 0; held < 8; ++held) {
      const bool control = held & 1, shift = held & 2, alt = held & 4;
      const int step = app::TabStepOf(key.key, control, shift, alt);
      if (step == 0) continue;
      Qt::KeyboardModifiers modifiers;
      if (control) modifiers |= Qt::ControlModifier;
      if (shift) modifiers |= Qt::ShiftModifier;
      if (alt) modifiers |= Qt::AltModifier;
      auto* shortcut = new QShortcut(QKeySequence(QKeyCombination(modifiers, key.qtKey)), window);
      shortcut->setContext(Qt::WindowShortcut);
      QObject::connect(shortcut, &QShortcut::activated, tabs, [tabs, step] { Step(tabs, step); });
    }
  }
}

}  // namespace lumiq::ui::qt
