#pragma once

#include <vector>

#include <QWidget>

class QTabBar;

namespace lumiq::ui::qt {

// A tab control as a Windows template has it: a row of tab headers at the
// top of the client area and pages that the owner places where it wants
// them, children of the control. Unlike QTabWidget it lays out no page (the
// settings window puts every page 25 pixels below the client area's top,
// over the whole width) and draws the frame of the page area only where the
// pages leave it uncovered. The control shows the page of the current tab
// and hides the others.
class TabControl : public QWidget {
  Q_OBJECT

 public:
  // `border`: a one-pixel line around the control, outside its client area.
  explicit TabControl(bool border, QWidget* parent = nullptr);

  // The control's client area in its own coordinates: all of it but the
  // border.
  QRect ClientRect() const;

  // Appends a tab and makes `page` a (hidden) child of the control; the
  // first tab appended becomes current.
  int addTab(QWidget* page, const QString& caption);
  // Puts `page` in the place of tab `index`'s page, at its geometry and
  // visibility, and deletes the old page.
  void ReplacePage(int index, QWidget* page);
  int count() const;
  QString tabText(int index) const;
  void setTabText(int index, const QString& caption);
  QWidget* widget(int index) const;
  int currentIndex() const;
  void setCurrentIndex(int index);
  QTabBar* tabBar() const { return bar_; }

 signals:
  void currentChanged(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlaceTabBar();
  void ShowCurrentPage(int index);

  QTabBar* bar_ = nullptr;
  std::vector<QWidget*> pages_;
  bool border_ = false;
};

}  // namespace lumiq::ui::qt
