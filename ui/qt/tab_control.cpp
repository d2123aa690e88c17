#include "ui/qt/tab_control.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

namespace lumiq::ui::qt {

namespace {
// Tabs about as tall as the Windows ones: the text's line and three pixels
// above and below it. With the toolkit's own spacing the headers at 96 DPI
// would reach below the 25 pixels the pages leave them.
class HeaderStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_TabBarTabVSpace) return 6;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

QStyle* TabHeaderStyle() {
  // Lives as long as the application, which outlives every window.
  static QStyle* style = [] {
    auto* created = new HeaderStyle;
    created->setParent(QApplication::instance());
    return created;
  }();
  return style;
}
}  // namespace

TabControl::TabControl(bool border, QWidget* parent)
    : QWidget(parent), bar_(new QTabBar(this)), border_(border) {
  bar_->setStyle(TabHeaderStyle());
  bar_->setDrawBase(false);  // the frame below is drawn by the control
  bar_->setExpanding(false);
  connect(bar_, &QTabBar::currentChanged, this, [this](int index) {
    ShowCurrentPage(index);
    emit currentChanged(index);
  });
  PlaceTabBar();
}

QRect TabControl::ClientRect() const {
  const int inset = border_ ? 1 : 0;
  return rect().adjusted(inset, inset, -inset, -inset);
}

int TabControl::addTab(QWidget* page, const QString& caption) {
  page->setParent(this);
  page->hide();
  pages_.push_back(page);
  // The bar makes its first tab current and says so, which shows the page.
  const int index = bar_->addTab(caption);
  bar_->raise();
  return index;
}

void TabControl::ReplacePage(int index, QWidget* page) {
  QWidget* old = widget(index);
  if (!old) return;
  page->setParent(this);
  page->setGeometry(old->geometry());
  page->setVisible(index == currentIndex());
  pages_[static_cast<size_t>(index)] = page;
  delete old;
}

int TabControl::count() const { return bar_->count(); }

QString TabControl::tabText(int index) const { return bar_->tabText(index); }

QWidget* TabControl::widget(int index) const {
  return index >= 0 && index < static_cast<int>(pages_.size()) ? pages_[static_cast<size_t>(index)]
                                                              : nullptr;
}

void TabControl::setTabText(int index, const QString& caption) { bar_->setTabText(index, caption); }

int TabControl::currentIndex() const { return bar_->currentIndex(); }

void TabControl::setCurrentIndex(int index) { bar_->setCurrentIndex(index); }

void TabControl::ShowCurrentPage(int index) {
  if (!widget(index)) return;  // no selection: leave the pages as they are
  for (size_t i = 0; i < pages_.size(); ++i) pages_[i]->setVisible(static_cast<int>(i) == index);
}

void TabControl::PlaceTabBar() {
  const QRect client = ClientRect();
  // At a higher resolution the headers grow past the pages' top, which the
  // bar then overlaps rather than being cut off (the pages' top margin is
  // empty).
  bar_->setGeometry(client.x(), client.y(), client.width(), bar_->sizeHint().height());
}

void TabControl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceTabBar();
}

void TabControl::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  if (border_) {
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
  // The frame of the page area, from the bottom of the headers down, with
  // the selected tab open into it. The pages leave its fill and its lines
  // showing around and above them, as the tab's own background.
  const QRect client = ClientRect();
  const int overlap = bar_->style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, bar_);
  const int top = bar_->geometry().bottom() + 1 - overlap;
  QStyleOptionTabWidgetFrame frame;
  frame.initFrom(this);
  frame.rect = QRect(client.x(), top, client.width(), client.bottom() + 1 - top);
  frame.shape = bar_->shape();
  frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  frame.tabBarSize = bar_->size();
  frame.tabBarRect = bar_->geometry();
  const int current = bar_->currentIndex();
  if (current >= 0) frame.selectedTabRect = bar_->tabRect(current).translated(bar_->pos());
  style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

}  // namespace lumiq::ui::qt
