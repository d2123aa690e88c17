#include "ui/qt/accessible_factory.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>

#include "ui/qt/line_edit_accessible.h"

namespace lumiq::ui::qt {

namespace {

using Relations = QList<QPair<QAccessibleInterface*, QAccessible::Relation>>;

constexpr char kNamedBy[] = "lumiqNamedBy";
constexpr char kNames[] = "lumiqNames";

QObject* Related(const QObject* object, const char* property) {
  return object->property(property).value<QPointer<QObject>>().data();
}

Relations WithNaming(const QObject* object, QAccessible::Relation match, Relations relations) {
  if (match & QAccessible::Label) {
    if (QObject* box = Related(object, kNamedBy)) {
      relations.append({QAccessible::queryAccessibleInterface(box), QAccessible::Label});
    }
  }
  if (match & QAccessible::Labelled) {
    if (QObject* field = Related(object, kNames)) {
      relations.append({QAccessible::queryAccessibleInterface(field), QAccessible::Labelled});
    }
  }
  return relations;
}

// A radio button or a check box, with the relations of a naming check box.
class CheckableAccessible : public QAccessibleWidget {
 public:
  CheckableAccessible(QAbstractButton* button, QAccessible::Role role)
      : QAccessibleWidget(button, role) {}

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) return Button()->text();
    return QAccessibleWidget::text(kind);
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = Button()->isChecked();
    return state;
  }
  Relations relations(QAccessible::Relation match) const override {
    return WithNaming(object(), match, QAccessibleWidget::relations(match));
  }
  QStringList actionNames() const override {
    return QStringList{Action()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action == Action()) {
      Button()->click();
    } else {
      QAccessibleWidget::doAction(action);
    }
  }

 private:
  QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
  QString Action() const {
    return role() == QAccessible::RadioButton ? pressAction() : toggleAction();
  }
};

class NamedLineEditAccessible : public LineEditAccessible {
 public:
  using LineEditAccessible::LineEditAccessible;
  Relations relations(QAccessible::Relation match) const override {
    return WithNaming(object(), match, LineEditAccessible::relations(match));
  }
};

class ComboAccessible : public QAccessibleWidget {
 public:
  explicit ComboAccessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) return Combo()->currentText();
    return QAccessibleWidget::text(kind);
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = Combo()->isEditable();
    state.expandable = true;
    return state;
  }
  Relations relations(QAccessible::Relation match) const override {
    return WithNaming(object(), match, QAccessibleWidget::relations(match));
  }
  QStringList actionNames() const override {
    return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action == showMenuAction()) {
      Combo()->showPopup();
    } else {
      QAccessibleWidget::doAction(action);
    }
  }

 private:
  QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* Factory(const QString& /*className*/, QObject* object) {
  if (auto* radio = qobject_cast<QRadioButton*>(object)) {
    return new CheckableAccessible(radio, QAccessible::RadioButton);
  }
  if (auto* combo = qobject_cast<QComboBox*>(object)) return new ComboAccessible(combo);
  // Every one, not only those related: setting a caption or a name
  // creates the interface, before the relation is known.
  if (auto* box = qobject_cast<QCheckBox*>(object)) {
    return new CheckableAccessible(box, QAccessible::CheckBox);
  }
  if (auto* edit = qobject_cast<QLineEdit*>(object)) return new NamedLineEditAccessible(edit);
  return nullptr;
}

}  // namespace

void InstallAccessibleFactory() {
  static const bool installed = [] {
    QAccessible::installFactory(Factory);
    return true;
  }();
  (void)installed;
}

void RelateNamingBox(QWidget* field, QAbstractButton* box) {
  field->setProperty(kNamedBy, QVariant::fromValue(QPointer<QObject>(box)));
  box->setProperty(kNames, QVariant::fromValue(QPointer<QObject>(field)));
}

}  // namespace lumiq::ui::qt
