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
    QKeyCombination keys;
    int step;
  } bindings[] = {
      {Qt::CTRL | Qt::Key_Tab, 1},
      {Qt::CTRL | Qt::Key_PageDown, 1},
      // Shift+Tab arrives as Backtab; the shortcut map tries it as Shift+Tab.
      {Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, -1},
      {Qt::CTRL | Qt::Key_PageUp, -1},
  };
  for (const auto& binding : bindings) {
    auto* shortcut = new QShortcut(QKeySequence(binding.keys), window);
    shortcut->setContext(Qt::WindowShortcut);
    const int step = binding.step;
    QObject::connect(shortcut, &QShortcut::activated, tabs, [tabs, step] { Step(tabs, step); });
  }
}

}  // namespace lumiq::ui::qt
