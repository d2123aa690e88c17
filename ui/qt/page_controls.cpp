#include "ui/qt/page_controls.h"

#include <utility>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtGlobal>

#include "ui/qt/gbk_text.h"

namespace lumiq::ui::qt {

QtPageControls::QtPageControls(BuiltDialog built) : built_(std::move(built)) {}

QWidget* QtPageControls::At(int id) const {
  QWidget* widget = built_.Find(id);
  // A page speaking of a control its template lacks is a page fault; the
  // page tests catch it, the window carries on.
  if (!widget) qWarning("template %d has no control %d", built_.dialog->id, id);
  return widget;
}

bool QtPageControls::IsChecked(int id) const {
  const auto* button = qobject_cast<const QAbstractButton*>(At(id));
  return button && button->isCheckable() && button->isChecked();
}

void QtPageControls::SetChecked(int id, bool checked) {
  auto* button = qobject_cast<QAbstractButton*>(At(id));
  if (!button || !button->isCheckable()) return;
  // As a program sets a radio button: the rest of its group is left alone,
  // and a checked one can be unchecked, which an exclusive group refuses.
  QButtonGroup* group = button->group();
  const bool exclusive = group && group->exclusive();
  if (exclusive) group->setExclusive(false);
  button->setChecked(checked);
  if (exclusive) group->setExclusive(true);
}

QString QtPageControls::ScreenText(const QWidget* widget) {
  if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
  if (const auto* combo = qobject_cast<const QComboBox*>(widget)) return combo->currentText();
  if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  return QString();
}

std::optional<std::string> QtPageControls::Text(int id) const {
  const QWidget* widget = At(id);
  if (!widget) return std::nullopt;
  const QString shown = ScreenText(widget);
  if (const std::string* bytes = loaded_.Unchanged(id, shown)) return *bytes;
  return EncodeGbk(shown);
}

void QtPageControls::SetText(int id, std::string_view bytes) {
  QWidget* widget = At(id);
  if (!widget) return;
  const QString text = DecodeGbk(bytes);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    // A number-only edit shows whatever the scanner holds; only typing is
    // limited to digits.
    if (auto* digits = dynamic_cast<DigitsTypedValidator*>(
            const_cast<QValidator*>(edit->validator()))) {
      digits->SetAccepted(text);
    }
    edit->setText(text);
    edit->setCursorPosition(0);
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    combo->setEditText(text);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(text);
  }
  loaded_.Remember(id, bytes, ScreenText(widget));
}

bool QtPageControls::IsShown(int id) const {
  const QWidget* widget = At(id);
  return widget && !widget->isHidden();
}

void QtPageControls::SetShown(int id, bool shown) {
  if (QWidget* widget = At(id)) widget->setVisible(shown);
}

bool QtPageControls::IsEnabled(int id) const {
  const QWidget* widget = At(id);
  return widget && widget->isEnabled();
}

}  // namespace lumiq::ui::qt
