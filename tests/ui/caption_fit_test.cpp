// Every caption of every template wide enough for its text in the font the
// builder gives the dialog (the fonts we ship), at the screen's resolution.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QWidget>

#include "res/dialog_template.h"
#include "ui/qt/dialog_builder.h"

namespace lumiq::ui::qt {
namespace {

// What a caption needs beyond its text: the box and gap of a check box or
// radio button (the builder's style gives them 13 and 3 pixels), the edges
// of a push button, the indent of a group box's title on either side.
int CaptionExtra(res::ControlKind kind) {
  switch (kind) {
    case res::ControlKind::kCheckBox:
    case res::ControlKind::kRadioButton: return 13 + 3;
    case res::ControlKind::kPushButton: return 2 * 3;
    case res::ControlKind::kGroupBox: return 2 * 8;
    default: return 0;
  }
}

QString CaptionOf(QWidget* widget) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* box = qobject_cast<QGroupBox*>(widget)) return box->title();
  return {};
}

TEST(QtCaptionFit, EveryCaptionFitsItsControlInTheDialogFont) {
  std::vector<std::string> clipped;
  for (int id : {100, 102, 103, 134, 130, 131, 132, 133, 137}) {
    const res::DialogTemplate* dialog = res::FindDialogTemplate(id);
    ASSERT_NE(dialog, nullptr) << id;
    QWidget host;
    const BuiltDialog built = BuildDialog(*dialog, &host);
    for (size_t i = 0; i < built.widgets.size(); ++i) {
      QWidget* widget = built.widgets[i];
      const QString caption = CaptionOf(widget);
      if (caption.isEmpty()) continue;
      const int needed = QFontMetrics(widget->font()).horizontalAdvance(caption) +
                         CaptionExtra(dialog->controls[i].kind);
      if (needed > widget->width()) {
        clipped.push_back(std::to_string(id) + " \"" + caption.toStdString() + "\" needs " +
                          std::to_string(needed) + " px, has " + std::to_string(widget->width()));
      }
    }
  }
  EXPECT_EQ(clipped, std::vector<std::string>{});
}

// Buttons shown only in some windows (a file's "应用到设备...") still get a
// place of their own: no two push buttons of a template share any of it.
TEST(QtCaptionFit, NoTwoPushButtonsOfATemplateOverlap) {
  std::vector<std::string> overlapping;
  for (int id : {100, 102, 103, 134, 130, 131, 132, 133, 137, 145, 146}) {
    const res::DialogTemplate* dialog = res::FindDialogTemplate(id);
    ASSERT_NE(dialog, nullptr) << id;
    const auto& controls = dialog->controls;
    for (size_t i = 0; i < controls.size(); ++i) {
      for (size_t j = i + 1; j < controls.size(); ++j) {
        const auto& a = controls[i];
        const auto& b = controls[j];
        if (a.kind != res::ControlKind::kPushButton || b.kind != res::ControlKind::kPushButton) {
          continue;
        }
        const QRect ra(a.rect.x, a.rect.y, a.rect.w, a.rect.h);
        const QRect rb(b.rect.x, b.rect.y, b.rect.w, b.rect.h);
        if (ra.intersects(rb)) {
          overlapping.push_back(std::to_string(id) + ": " + std::to_string(a.id) + " and " +
                                std::to_string(b.id));
        }
      }
    }
  }
  EXPECT_EQ(overlapping, std::vector<std::string>{});
}

}  // namespace
}  // namespace lumiq::ui::qt
