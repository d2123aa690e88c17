#include "ui/qt/line_edit_accessible.h"

#include <QFontMetrics>
#include <QLineEdit>

namespace lumiq::ui::qt {

LineEditAccessible::LineEditAccessible(QLineEdit* edit)
    : QAccessibleWidget(edit, QAccessible::EditableText) {}

QLineEdit* LineEditAccessible::Edit() const { return static_cast<QLineEdit*>(widget()); }

QString LineEditAccessible::text(QAccessible::Text kind) const {
  if (kind != QAccessible::Value) return QAccessibleWidget::text(kind);
  // A password is told only by its length, as Qt does.
  if (Edit()->echoMode() == QLineEdit::Normal) return Edit()->text();
  if (Edit()->echoMode() == QLineEdit::NoEcho) return {};
  return QString(Edit()->text().size(), QLatin1Char('*'));
}

QAccessible::State LineEditAccessible::state() const {
  QAccessible::State state = QAccessibleWidget::state();
  state.readOnly = Edit()->isReadOnly();
  state.editable = !state.readOnly;
  state.passwordEdit = Edit()->echoMode() != QLineEdit::Normal;
  state.selectableText = true;
  return state;
}

void* LineEditAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  if (type == QAccessible::EditableTextInterface) {
    return static_cast<QAccessibleEditableTextInterface*>(this);
  }
  return QAccessibleWidget::interface_cast(type);
}

void LineEditAccessible::selection(int index, int* start, int* end) const {
  *start = *end = 0;
  if (index != 0 || !Edit()->hasSelectedText()) return;
  *start = Edit()->selectionStart();
  *end = *start + Edit()->selectionLength();
}

int LineEditAccessible::selectionCount() const { return Edit()->hasSelectedText() ? 1 : 0; }

void LineEditAccessible::addSelection(int start, int end) { setSelection(0, start, end); }

void LineEditAccessible::removeSelection(int index) {
  if (index == 0) Edit()->deselect();
}

void LineEditAccessible::setSelection(int index, int start, int end) {
  if (index == 0) Edit()->setSelection(start, end - start);
}

int LineEditAccessible::cursorPosition() const { return Edit()->cursorPosition(); }

void LineEditAccessible::setCursorPosition(int position) { Edit()->setCursorPosition(position); }

QString LineEditAccessible::text(int start, int end) const {
  if (Edit()->echoMode() != QLineEdit::Normal) return {};
  return Edit()->text().mid(start, end - start);
}

int LineEditAccessible::characterCount() const { return static_cast<int>(Edit()->text().size()); }

// Measured from the cursor's place, which Qt keeps scrolled into view.
QRect LineEditAccessible::characterRect(int offset) const {
  const QString shown = Edit()->displayText();
  if (offset < 0 || offset >= shown.size()) return {};
  const QFontMetrics metrics(Edit()->font());
  const int cursor = Edit()->cursorPosition();
  const QRect at = Edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
  const int x = at.center().x() + metrics.horizontalAdvance(shown.left(offset)) -
                metrics.horizontalAdvance(shown.left(cursor));
  const QRect local(x, at.top(), metrics.horizontalAdvance(shown.at(offset)), at.height());
  return QRect(Edit()->mapToGlobal(local.topLeft()), local.size());
}

int LineEditAccessible::offsetAtPoint(const QPoint& point) const {
  return Edit()->cursorPositionAt(Edit()->mapFromGlobal(point));
}

void LineEditAccessible::scrollToSubstring(int start, int end) {
  Edit()->setCursorPosition(end);
  Edit()->setCursorPosition(start);
}

QString LineEditAccessible::attributes(int offset, int* start, int* end) const {
  *start = *end = offset;
  return {};
}

void LineEditAccessible::deleteText(int start, int end) { replaceText(start, end, {}); }

void LineEditAccessible::insertText(int offset, const QString& text) {
  replaceText(offset, offset, text);
}

// Through the undo stack and the validator, as typing would be.
void LineEditAccessible::replaceText(int start, int end, const QString& text) {
  Edit()->setCursorPosition(start);  // an empty selection would not move it
  if (end > start) Edit()->setSelection(start, end - start);
  Edit()->insert(text);
}

}  // namespace lumiq::ui::qt
