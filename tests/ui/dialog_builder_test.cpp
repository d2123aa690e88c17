#include "ui/qt/dialog_builder.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "res/dialog_template.h"
#include "res/ids/control_ids.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/page_controls.h"
#include "ui/qt/tab_control.h"

namespace lumiq::ui::qt {
namespace {

using res::ControlKind;

TEST(DialogUnits, MulDivRoundsHalfAwayFromZero) {
  EXPECT_EQ(MulDiv(1, 7, 4), 2);    // 1.75
  EXPECT_EQ(MulDiv(2, 7, 4), 4);    // 3.5
  EXPECT_EQ(MulDiv(5, 6, 8), 4);    // 3.75
  EXPECT_EQ(MulDiv(3, 5, 8), 2);    // 1.875
  EXPECT_EQ(MulDiv(1, 5, 8), 1);    // 0.625
  EXPECT_EQ(MulDiv(-2, 7, 4), -4);  // -3.5
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

TEST(DialogUnits, BaseUnitsFollowTheLatinRunAndTheHeight) {
  // Tahoma 8 pt at 96 dpi: 52 letters take 287 px, height 13: the classic
  // 6 x 13 base units.
  EXPECT_EQ(BaseUnitsFromMetrics(287, 13).x, 6);
  EXPECT_EQ(BaseUnitsFromMetrics(287, 13).y, 13);
  // 373 / 26 = 14, halved rounding up: 7.
  EXPECT_EQ(BaseUnitsFromMetrics(373, 15).x, 7);
  EXPECT_EQ(BaseUnitsFromMetrics(338, 15).x, 7);  // 13 -> 7
  EXPECT_EQ(BaseUnitsFromMetrics(337, 15).x, 6);  // 12 -> 6
}

TEST(DialogUnits, RectsScaleByQuartersAndEighths) {
  const DialogBaseUnits units{7, 15};
  // The connect button: 43, 159, 50, 12.
  EXPECT_EQ(ToPixels(res::Rect{43, 159, 50, 12}, units), QRect(75, 298, 88, 23));
  EXPECT_EQ(ToPixels(368, 279, units), QSize(644, 523));
}

TEST(DialogUnits, EveryFaceMapsToAFontWithChineseGlyphs) {
  for (int templateId : {100, 102, 103, 130, 131, 132, 133, 134, 137}) {
    const res::DialogTemplate& dialog = *res::FindDialogTemplate(templateId);
    const QFont font = DialogFont(dialog);
    SCOPED_TRACE(templateId);
    EXPECT_EQ(font.pixelSize(), MulDiv(dialog.fontPointSize, 96, 72));
    const QFontMetrics metrics(font);
    for (char32_t c : {U'连', U'码', U'设', U'输'}) EXPECT_TRUE(metrics.inFontUcs4(c));
  }
}

TEST(DialogUnits, KnownFontGivesKnownUnits) {
  if (!QFontDatabase::hasFamily("WenQuanYi Micro Hei")) GTEST_SKIP() << "font not installed";
  const QFont font = DialogFont(*res::FindDialogTemplate(134));
  EXPECT_EQ(QFontInfo(font).family(), "WenQuanYi Micro Hei");
  const DialogBaseUnits units = BaseUnitsOf(font);
  EXPECT_EQ(units.x, 7);
  EXPECT_EQ(units.y, 15);
}

// A page of every kind of control, with two radio groups split by a label
// that starts a group.
const res::DialogTemplate& TestPage() {
  static const res::DialogTemplate dialog{
      990, "", 200, 120, "System", 10, true,
      {
          {res::kNoId, ControlKind::kLabel, "模式", {4, 4, 30, 8}, res::kGroupStart, {}},
          {11, ControlKind::kRadioButton, "a", {4, 14, 30, 10}, res::kGroupStart, {}},
          {12, ControlKind::kRadioButton, "b", {40, 14, 30, 10}, res::kStyleNone, {}},
          {res::kNoId, ControlKind::kLabel, "格式", {4, 26, 30, 8}, res::kGroupStart, {}},
          {13, ControlKind::kRadioButton, "c", {4, 36, 30, 10}, res::kStyleNone, {}},
          {14, ControlKind::kRadioButton, "d", {40, 36, 30, 10}, res::kStyleNone, {}},
          {15, ControlKind::kCheckBox, "box", {4, 50, 40, 10}, res::kTabStop, {}},
          {16, ControlKind::kEdit, "", {4, 62, 60, 14},
           res::kNumberOnly | res::kTabStop | res::kBorder, {}},
          {17, ControlKind::kEdit, "", {70, 62, 60, 14}, res::kPassword | res::kBorder, {}},
          {18, ControlKind::kComboBox, "", {4, 80, 48, 64}, res::kSorted | res::kTabStop,
           {"9600", "110", "1200", "115200", "134"}},
          {19, ControlKind::kCheckBox, "hidden", {60, 50, 40, 10}, res::kHidden, {}},
          {20, ControlKind::kEdit, "", {70, 80, 60, 14}, res::kDisabled | res::kTabStop, {}},
          {21, ControlKind::kEdit, "", {140, 80, 50, 14}, res::kBorder, {}},
      }};
  return dialog;
}

class BuilderTest : public ::testing::Test {
 protected:
  BuilderTest() : built_(BuildDialog(TestPage(), &page_)), controls_(built_) {
    page_.resize(400, 300);
    page_.show();
  }
  template <typename T>
  T* At(int id) { return qobject_cast<T*>(built_.Find(id)); }

  QWidget page_;
  BuiltDialog built_;
  QtPageControls controls_;
};

TEST_F(BuilderTest, ControlsSitAtTheirRectsInTheTemplatesFont) {
  EXPECT_EQ(built_.units.x, BaseUnitsOf(DialogFont(TestPage())).x);
  EXPECT_EQ(built_.units.y, BaseUnitsOf(DialogFont(TestPage())).y);
  ASSERT_EQ(built_.widgets.size(), TestPage().controls.size());
  EXPECT_EQ(At<QCheckBox>(15)->geometry(), ToPixels(res::Rect{4, 50, 40, 10}, built_.units));
  EXPECT_EQ(At<QLineEdit>(16)->geometry(), ToPixels(res::Rect{4, 62, 60, 14}, built_.units));
  // A combo box's rect counts its list; the box itself is one line high.
  const QRect combo = At<QComboBox>(18)->geometry();
  EXPECT_EQ(combo.topLeft(), ToPixels(res::Rect{4, 80, 48, 64}, built_.units).topLeft());
  EXPECT_LT(combo.height(), ToPixels(res::Rect{4, 80, 48, 64}, built_.units).height());
}

TEST_F(BuilderTest, RadioGroupsFollowTheGroupStartMarks) {
  EXPECT_EQ(res::RadioGroupOf(TestPage(), 11), (std::vector<int>{11, 12}));
  EXPECT_EQ(res::RadioGroupOf(TestPage(), 14), (std::vector<int>{13, 14}));
  ASSERT_EQ(built_.radioGroups.size(), 2u);
  EXPECT_EQ(built_.GroupOf(11), built_.GroupOf(12));
  EXPECT_EQ(built_.GroupOf(13), built_.GroupOf(14));
  EXPECT_NE(built_.GroupOf(11), built_.GroupOf(13));
  EXPECT_TRUE(built_.GroupOf(11)->exclusive());
}

TEST(BuilderTemplates, EveryPagesRadioGroupsMatchTheTemplate) {
  for (int templateId : {130, 131, 132, 133, 137}) {
    const res::DialogTemplate& dialog = *res::FindDialogTemplate(templateId);
    QWidget page;
    const BuiltDialog built = BuildDialog(dialog, &page);
    for (const res::ControlTemplate& control : dialog.controls) {
      if (control.kind != ControlKind::kRadioButton) continue;
      SCOPED_TRACE(testing::Message() << templateId << ":" << control.id);
      std::vector<int> members;
      for (QAbstractButton* button : built.GroupOf(control.id)->buttons()) {
        members.push_back(built.GroupOf(control.id)->id(button));
      }
      std::vector<int> expected = res::RadioGroupOf(dialog, control.id);
      std::sort(members.begin(), members.end());
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(members, expected);
    }
  }
}

TEST_F(BuilderTest, AClickLeavesOnlyTheClickedRadioOfItsGroupChecked) {
  // The program may check two of a group; it leaves the others alone.
  controls_.SetChecked(11, true);
  controls_.SetChecked(12, true);
  controls_.SetChecked(13, true);
  EXPECT_TRUE(controls_.IsChecked(11) && controls_.IsChecked(12));

  QTest::mouseClick(At<QRadioButton>(12), Qt::LeftButton);
  EXPECT_FALSE(controls_.IsChecked(11));
  EXPECT_TRUE(controls_.IsChecked(12));
  EXPECT_TRUE(controls_.IsChecked(13));  // another group

  // Clicking a checked radio button keeps it checked.
  QTest::mouseClick(At<QRadioButton>(12), Qt::LeftButton);
  EXPECT_TRUE(controls_.IsChecked(12));
  // The program can uncheck what an exclusive group would hold on to.
  controls_.SetChecked(12, false);
  EXPECT_FALSE(controls_.IsChecked(12));

  QTest::mouseClick(At<QRadioButton>(14), Qt::LeftButton);
  EXPECT_FALSE(controls_.IsChecked(13));
  EXPECT_TRUE(controls_.IsChecked(14));
}

TEST_F(BuilderTest, NumberOnlyEditTakesTypedDigitsButShowsAnyValue) {
  QLineEdit* edit = At<QLineEdit>(16);
  QTest::keyClicks(edit, "12ab3-");
  EXPECT_EQ(edit->text(), "123");

  controls_.SetText(16, "x9");  // from the scanner: shown as it is
  EXPECT_EQ(edit->text(), "x9");
  edit->setFocus();
  edit->end(false);
  QTest::keyClicks(edit, "y5");
  EXPECT_EQ(edit->text(), "x95");
  EXPECT_EQ(controls_.Text(16), "x95");
  // Deleting is always allowed.
  edit->home(false);
  QTest::keyClick(edit, Qt::Key_Delete);
  EXPECT_EQ(edit->text(), "95");
}

TEST_F(BuilderTest, ComboBoxesAreEditableWithSortedListsAndNoCompletion) {
  QComboBox* combo = At<QComboBox>(18);
  ASSERT_TRUE(combo->isEditable());
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  EXPECT_EQ(items, QStringList({"110", "115200", "1200", "134", "9600"}));
  EXPECT_EQ(combo->currentText(), "");

  QTest::keyClicks(combo->lineEdit(), "12");
  EXPECT_EQ(combo->currentText(), "12");
  QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(combo->count(), 5);  // what is typed is not added to the list
  EXPECT_EQ(controls_.Text(18), "12");
}

TEST_F(BuilderTest, StyleFlagsBecomeWidgetStates) {
  EXPECT_EQ(At<QLineEdit>(17)->echoMode(), QLineEdit::Password);
  EXPECT_EQ(At<QLineEdit>(16)->echoMode(), QLineEdit::Normal);
  EXPECT_TRUE(At<QCheckBox>(19)->isHidden());
  EXPECT_FALSE(controls_.IsShown(19));
  EXPECT_FALSE(At<QLineEdit>(20)->isEnabled());
  EXPECT_FALSE(controls_.IsEnabled(20));
  EXPECT_TRUE(controls_.IsEnabled(16));
  EXPECT_FALSE(At<QLineEdit>(21)->validator());
  EXPECT_EQ(At<QCheckBox>(15)->focusPolicy(), Qt::StrongFocus);
  // A radio group is one tab stop, its first button while none is checked.
  EXPECT_EQ(At<QRadioButton>(11)->focusPolicy(), Qt::StrongFocus);
  // The first enabled, shown tab stop takes the focus when a window opens.
  EXPECT_EQ(built_.FirstTabStop(), built_.Find(15));

  controls_.SetShown(19, true);
  EXPECT_TRUE(controls_.IsShown(19));
  controls_.SetShown(15, false);
  EXPECT_FALSE(At<QCheckBox>(15)->isVisible());
}

TEST(BuilderTemplates, TheSettingsWindowHasItsTabControlAndButtons) {
  QWidget window;
  const BuiltDialog built = BuildDialog(*res::FindDialogTemplate(134), &window);
  auto* tabs = qobject_cast<TabControl*>(built.Find(1039));
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->geometry(), ToPixels(res::Rect{7, 11, 354, 247}, built.units));
  EXPECT_EQ(qobject_cast<QPushButton*>(built.Find(1041))->text(), "退出");
  EXPECT_EQ(qobject_cast<QPushButton*>(built.Find(1141))->text(), "保存");
  EXPECT_EQ(built.FirstTabStop(), built.Find(1041));
}

TEST(BuilderTemplates, AGroupBoxFrameRunsThroughItsTitleAboveTheBoxesInIt) {
  QWidget page;
  const BuiltDialog built = BuildDialog(*res::FindDialogTemplate(res::control::kTemplateId), &page);
  page.resize(DialogClientSize(built));
  page.show();
  QGroupBox* box = nullptr;
  for (QWidget* widget : built.widgets) {
    if ((box = qobject_cast<QGroupBox*>(widget))) break;
  }
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->title(), "刷卡扫码行为设置");
  EXPECT_EQ(box->geometry(), ToPixels(res::Rect{110, 76, 185, 27}, built.units));

  // The frame's top line: the first row, right of the title, that is not
  // background.
  const QImage image = box->grab().toImage();
  const int x = image.width() - 4;
  const QColor background = image.pixelColor(x, 0);
  int frameTop = 0;
  while (frameTop < image.height() && image.pixelColor(x, frameTop) == background) ++frameTop;
  const int lineHeight = QFontMetrics(box->font()).height();
  EXPECT_LE(frameTop, lineHeight / 2);  // through the middle of the title's line
  // The check boxes inside sit half a line or more below it, not on it.
  for (int id : {res::control::kCodeRedFlash, res::control::kNfcRedFlash}) {
    EXPECT_LE(box->y() + frameTop + lineHeight / 2, built.Find(id)->y()) << id;
  }
}

}  // namespace
}  // namespace lumiq::ui::qt
