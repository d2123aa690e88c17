#include "ui/qt/page_controls.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "link/device_commands.h"
#include "res/dialog_template.h"
#include "tests/ui/ui_test_support.h"
#include "ui/pages/setting_io.h"
#include "ui/qt/user_actions.h"

namespace lumiq::ui::qt {
namespace {

using namespace std::string_literals;
using res::ControlKind;

const res::DialogTemplate& TextPage() {
  static const res::DialogTemplate dialog{
      991, "", 200, 80, "System", 10, true,
      {
          {1, ControlKind::kEdit, "", {4, 4, 90, 14}, res::kBorder | res::kTabStop, {}},
          {2, ControlKind::kEdit, "", {4, 22, 90, 14}, res::kNumberOnly | res::kBorder, {}},
          {3, ControlKind::kComboBox, "", {4, 40, 60, 50}, res::kSorted, {"NONE", "AES"}},
          {4, ControlKind::kEdit, "", {100, 4, 90, 14}, res::kPassword | res::kBorder, {}},
      }};
  return dialog;
}

class PageTextTest : public ::testing::Test {
 protected:
  PageTextTest() : controls_(BuildDialog(TextPage(), &page_)) { page_.show(); }

  QLineEdit* Edit(int id) {
    if (auto* combo = qobject_cast<QComboBox*>(controls_.Widget(id))) return combo->lineEdit();
    return qobject_cast<QLineEdit*>(controls_.Widget(id));
  }
  // What a user does: select everything and type over it.
  void Type(int id, const QString& text) { TypeText(controls_.Widget(id), text); }

  QWidget page_;
  QtPageControls controls_;
};

TEST_F(PageTextTest, ValuesShowDecodedAndGoBackByteForByte) {
  const std::string device = "\xC9\xE8\xB1\xB8-01";  // "设备-01"
  for (int id : {1, 2, 3, 4}) {
    SCOPED_TRACE(id);
    controls_.SetText(id, device);
    EXPECT_EQ(QtPageControls::ScreenText(controls_.Widget(id)), QString::fromUtf8("设备-01"));
    EXPECT_EQ(controls_.Text(id), device);
  }
}

TEST_F(PageTextTest, BytesThatAreNotGbkAreLeftUntouched) {
  const std::string odd = "\xFF\x80\x81\x30 \xD6"s;  // lone and broken pairs
  for (int id : {1, 2, 3}) {
    SCOPED_TRACE(id);
    controls_.SetText(id, odd);
    EXPECT_FALSE(QtPageControls::ScreenText(controls_.Widget(id)).isEmpty());
    EXPECT_EQ(controls_.Text(id), odd);
  }
  // Zero bytes inside a value, too.
  controls_.SetText(1, "a\0b"s);
  EXPECT_EQ(controls_.Text(1), "a\0b"s);
}

TEST_F(PageTextTest, TypedTextIsEncoded) {
  controls_.SetText(1, "old");
  Type(1, QString::fromUtf8("仓库 2F"));
  EXPECT_EQ(controls_.Text(1), "\xB2\xD6\xBF\xE2 2F"s);
  Type(3, "WEP-A");
  EXPECT_EQ(controls_.Text(3), "WEP-A");
  // Typing the very text that was read gives the read bytes back.
  controls_.SetText(4, "pw");
  Type(4, "pw");
  EXPECT_EQ(controls_.Text(4), "pw");
}

TEST_F(PageTextTest, EditingABrokenValueOrTypingWhatGbkLacksFails) {
  controls_.SetText(1, "ab\xD6");
  Edit(1)->end(false);
  QTest::keyClicks(Edit(1), "c");
  EXPECT_EQ(controls_.Text(1), std::nullopt);

  Type(4, QString::fromUtf8("key\xF0\x9F\x94\x91"));
  EXPECT_EQ(controls_.Text(4), std::nullopt);
}

TEST_F(PageTextTest, AnUnencodableTextFailsItsKeyWithoutSendingAnything) {
  test::UiScanner rig;
  ASSERT_EQ(OpenDevice(), kOpened);
  rig.ClearTrace();
  Type(1, QString::fromUtf8("\xF0\x9F\x98\x80"));
  controls_.SetText(2, "\xFF\xFE");
  SettingWriter writer;
  writer.SetText("wifi0_stassid", controls_, 1);
  writer.SetText("deviceno", controls_, 2);
  EXPECT_EQ(writer.FailedKeys(), (std::vector<std::string>{"wifi0_stassid"}));
  EXPECT_EQ(rig.Trace(), (std::vector<std::string>{"SET deviceno=\\xFF\\xFE"}));
  EXPECT_EQ(rig.scanner().Value("deviceno"), "\xFF\xFE");
}

}  // namespace
}  // namespace lumiq::ui::qt
