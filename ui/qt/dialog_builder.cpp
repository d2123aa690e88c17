#include "ui/qt/dialog_builder.h"

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QStringList>
#include <QTabBar>

#include "ui/qt/access.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/tab_control.h"
#include "ui/qt/translations.h"

namespace lumiq::ui::qt {

using res::ControlKind;
using res::ControlTemplate;

QWidget* BuiltDialog::Find(int controlId) const {
  const auto it = byId.find(controlId);
  return it == byId.end() ? nullptr : it->second;
}

QButtonGroup* BuiltDialog::GroupOf(int controlId) const {
  QWidget* widget = Find(controlId);
  auto* button = qobject_cast<QAbstractButton*>(widget);
  return button ? button->group() : nullptr;
}

QWidget* BuiltDialog::FirstTabStop() const {
  for (size_t i = 0; i < widgets.size() && i < dialog->controls.size(); ++i) {
    QWidget* widget = widgets[i];
    if ((dialog->controls[i].style & res::kTabStop) && !widget->isHidden() &&
        widget->isEnabled()) {
      return widget;
    }
  }
  return nullptr;
}

QSize DialogClientSize(const BuiltDialog& built) {
  return ToPixels(built.dialog->width, built.dialog->height, built.units);
}

QValidator::State DigitsTypedValidator::validate(QString& input, int& /*position*/) const {
  // What the change put in is what lies between the parts it left alone.
  const qsizetype shorter = std::min(input.size(), accepted_.size());
  qsizetype prefix = 0;
  while (prefix < shorter && input[prefix] == accepted_[prefix]) ++prefix;
  qsizetype suffix = 0;
  while (suffix < shorter - prefix &&
         input[input.size() - 1 - suffix] == accepted_[accepted_.size() - 1 - suffix]) {
    ++suffix;
  }
  for (qsizetype i = prefix; i < input.size() - suffix; ++i) {
    const char16_t c = input[i].unicode();
    if (c < u'0' || c > u'9') return Invalid;
  }
  return Acceptable;
}

namespace {

constexpr int kSystemIconSize = 32;

// Check boxes and radio buttons with the box and gap of the Windows ones
// (13 px and 3 px): the templates' rects leave the caption no more room.
class ButtonStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    switch (metric) {
      case PM_IndicatorWidth:
      case PM_IndicatorHeight:
      case PM_ExclusiveIndicatorWidth:
      case PM_ExclusiveIndicatorHeight:
        return 13;
      case PM_CheckBoxLabelSpacing:
      case PM_RadioButtonLabelSpacing:
        return 3;
      default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
  }
};

QStyle* CheckButtonStyle() {
  // Lives as long as the application, which outlives every window.
  static QStyle* style = [] {
    auto* created = new ButtonStyle;
    created->setParent(QApplication::instance());
    return created;
  }();
  return style;
}

// A group box drawn as Windows draws one: the template's rect is the box's
// outside, the frame's top line runs through the middle of the title's line
// and the title sits on it. (QGroupBox puts its title above the frame, which
// moves the frame down onto the controls placed just inside it.)
class GroupFrame : public QGroupBox {
 public:
  GroupFrame(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    static constexpr int kTitleIndent = 8;
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const QString text = title();
    const int textWidth =
        text.isEmpty() ? 0 : std::min(metrics.horizontalAdvance(text), width() - 2 * kTitleIndent);
    const QRect textRect(kTitleIndent, 0, std::max(0, textWidth), metrics.height());

    // The title breaks the line, with a pixel of the background on either
    // side; whatever is under the box (a tab's background) shows there.
    if (textWidth > 0) {
      painter.setClipRegion(QRegion(rect()).subtracted(QRegion(textRect.adjusted(-1, 0, 1, 0))));
    }
    const QRect frame = rect().adjusted(0, metrics.height() / 2 - 1, 0, 0);
    // An etched line: shadow, with the light line one pixel inside it.
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame.adjusted(0, 0, -2, -2));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.adjusted(1, 1, -1, -1));
    if (textWidth == 0) return;

    painter.setClipping(false);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                   QPalette::WindowText));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
  }
};

// The order of a sorted list: text order, letters compared without case
// first, as the Windows list does, numbers as text ("110" before "1200").
QStringList SortedItems(const ControlTemplate& control) {
  QStringList items;
  for (const char* item : control.items) items << QString::fromUtf8(item);
  if (control.style & res::kSorted) {
    std::stable_sort(items.begin(), items.end(), [](const QString& a, const QString& b) {
      const int folded = QString::compare(a, b, Qt::CaseInsensitive);
      return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
  }
  return items;
}

// A click leaves the clicked radio button the only checked one of its group,
// whatever the program had checked before (an exclusive group alone would
// uncheck just the button it last saw checked).
void LeaveOnlyChecked(QButtonGroup* group, QAbstractButton* clicked) {
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(button == clicked);
  group->setExclusive(true);
}

QWidget* CreateControl(const ControlTemplate& control, QWidget* host, const QRect& rect) {
  const QString caption = Translated(control.caption);
  switch (control.kind) {
    case ControlKind::kPushButton: {
      auto* button = new QPushButton(caption, host);
      if (control.style & res::kDefaultButton) button->setDefault(true);
      return button;
    }
    case ControlKind::kCheckBox: {
      auto* box = new QCheckBox(caption, host);
      box->setStyle(CheckButtonStyle());
      return box;
    }
    case ControlKind::kRadioButton: {
      auto* radio = new QRadioButton(caption, host);
      radio->setStyle(CheckButtonStyle());
      radio->setAutoExclusive(false);  // the template's groups decide
      return radio;
    }
    case ControlKind::kEdit: {
      auto* edit = new QLineEdit(host);
      edit->setFrame(control.style & res::kBorder);
      if (control.style & res::kPassword) edit->setEchoMode(QLineEdit::Password);
      if (control.style & res::kNumberOnly) {
        auto* validator = new DigitsTypedValidator(edit);
        edit->setValidator(validator);
        QObject::connect(edit, &QLineEdit::textChanged, validator,
                         &DigitsTypedValidator::SetAccepted);
      }
      return edit;
    }
    case ControlKind::kComboBox: {
      auto* combo = new QComboBox(host);
      combo->setEditable(true);
      // The Windows box neither completes what is typed nor adds it to the
      // list: the text typed is the text sent.
      combo->setCompleter(nullptr);
      combo->setInsertPolicy(QComboBox::NoInsert);
      combo->addItems(SortedItems(control));
      combo->setCurrentIndex(-1);
      combo->clearEditText();
      // The template's height includes the dropped-down list.
      const int itemHeight = QFontMetrics(host->font()).height() + 4;
      const int listHeight = rect.height() - combo->sizeHint().height();
      combo->setMaxVisibleItems(std::max(1, listHeight / itemHeight));
      return combo;
    }
    case ControlKind::kLabel: {
      auto* label = new QLabel(caption, host);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case ControlKind::kGroupBox: {
      auto* box = new GroupFrame(caption, host);
      // A group box only frames the controls over it; clicks go to them.
      box->setAttribute(Qt::WA_TransparentForMouseEvents);
      return box;
    }
    case ControlKind::kIcon: {
      auto* icon = new QLabel(host);
      icon->setPixmap(ProgramIconPixmap());
      return icon;
    }
    case ControlKind::kTabControl:
      return new TabControl(control.style & res::kBorder, host);
    case ControlKind::kListBox: {
      auto* list = new QListWidget(host);
      list->setFrameShape((control.style & res::kBorder) ? QFrame::StyledPanel : QFrame::NoFrame);
      list->setSelectionMode(QAbstractItemView::SingleSelection);
      list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      return list;
    }
  }
  return new QWidget(host);
}

QRect PlacedRect(const ControlTemplate& control, QWidget* widget, const QRect& rect) {
  switch (control.kind) {
    case ControlKind::kIcon:
      // A static icon takes the size of the icon, not of its rect.
      return QRect(rect.topLeft(), QSize(kSystemIconSize, kSystemIconSize));
    case ControlKind::kComboBox:
      return QRect(rect.topLeft(),
                   QSize(rect.width(), std::min(rect.height(), widget->sizeHint().height())));
    default:
      return rect;
  }
}

Qt::FocusPolicy FocusPolicyOf(const ControlTemplate& control) {
  switch (control.kind) {
    case ControlKind::kLabel:
    case ControlKind::kGroupBox:
    case ControlKind::kIcon:
      return Qt::NoFocus;
    default:
      return (control.style & res::kTabStop) ? Qt::StrongFocus : Qt::ClickFocus;
  }
}

}  // namespace

BuiltDialog BuildDialog(const res::DialogTemplate& dialog, QWidget* host) {
  BuiltDialog built;
  built.dialog = &dialog;
  host->setFont(DialogFont(dialog));
  built.units = BaseUnitsOf(host->font());

  QButtonGroup* group = nullptr;
  for (const ControlTemplate& control : dialog.controls) {
    if (control.style & res::kGroupStart) group = nullptr;

    const QRect rect = ToPixels(control.rect, built.units);
    QWidget* widget = CreateControl(control, host, rect);
    widget->setGeometry(PlacedRect(control, widget, rect));
    widget->setFocusPolicy(FocusPolicyOf(control));
    if (auto* tabs = qobject_cast<TabControl*>(widget)) {
      tabs->tabBar()->setFocusPolicy(FocusPolicyOf(control));
    }
    if (control.style & res::kDisabled) widget->setEnabled(false);
    if (control.style & res::kHidden) widget->setHidden(true);
    if (control.kind == ControlKind::kGroupBox) widget->lower();

    if (control.kind == ControlKind::kRadioButton) {
      if (!group) {
        group = new QButtonGroup(host);
        group->setExclusive(true);
        QObject::connect(group, &QButtonGroup::buttonClicked, group,
                         [group](QAbstractButton* clicked) { LeaveOnlyChecked(group, clicked); });
        built.radioGroups.push_back(group);
      }
      group->addButton(static_cast<QAbstractButton*>(widget), control.id);
    }

    built.widgets.push_back(widget);
    if (control.id != res::kNoId) built.byId[control.id] = widget;
  }
  ApplyAccess(built, host);
  return built;
}

}  // namespace lumiq::ui::qt
