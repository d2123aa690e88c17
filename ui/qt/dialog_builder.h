#pragma once

#include <map>
#include <vector>

#include <QValidator>

#include "res/dialog_template.h"
#include "ui/qt/dialog_units.h"

class QButtonGroup;
class QWidget;

namespace lumiq::ui::qt {

// The widgets a template became, reached by control id.
struct BuiltDialog {
  const res::DialogTemplate* dialog = nullptr;
  DialogBaseUnits units;
  std::vector<QWidget*> widgets;          // one per control, template order
  std::map<int, QWidget*> byId;           // controls that have an id
  std::vector<QButtonGroup*> radioGroups; // one per group that holds radio buttons
  // What the keyboard visits, in screen order (a tab control by its tab
  // headers; radio buttons that are not their group's stop included).
  std::vector<QWidget*> keyboardOrder;

  QWidget* Find(int controlId) const;
  // The group the radio button belongs to, or nullptr.
  QButtonGroup* GroupOf(int controlId) const;
  // The first control with a tab stop that can take the focus, or nullptr:
  // where a dialog puts the focus when it opens.
  QWidget* FirstTabStop() const;
};

// Turns `dialog` into child widgets of `host`, each at its rect converted for
// the template's font (which `host` takes on), in template order so that the
// keyboard order follows the template. Radio buttons get one exclusive
// QButtonGroup per group-start mark; a click on one leaves it the only
// checked button of its group. Top-level windows are sized by the caller.
BuiltDialog BuildDialog(const res::DialogTemplate& dialog, QWidget* host);

// The client size of a template's window, in pixels.
QSize DialogClientSize(const BuiltDialog& built);

// Lets the user type digits only while any text may be put in by the
// program: a change is refused when the characters it inserts (against the
// text last accepted) are not all digits. Deleting is always allowed.
class DigitsTypedValidator : public QValidator {
 public:
  explicit DigitsTypedValidator(QObject* parent = nullptr) : QValidator(parent) {}

  // The text now in the edit, put there by the program or accepted.
  void SetAccepted(const QString& text) { accepted_ = text; }

  State validate(QString& input, int& position) const override;

 private:
  QString accepted_;
};

}  // namespace lumiq::ui::qt
