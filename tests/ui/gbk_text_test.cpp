#include "ui/qt/gbk_text.h"

#include <gtest/gtest.h>

#include <string>

namespace lumiq::ui::qt {
namespace {

using namespace std::string_literals;

TEST(GbkText, CodecIsThere) { EXPECT_TRUE(GbkAvailable()); }

TEST(GbkText, ChineseRoundTrips) {
  const std::string bytes = "\xC9\xE8\xB1\xB8\xBA\xC5 No.7";  // "设备号 No.7"
  const QString text = DecodeGbk(bytes);
  EXPECT_EQ(text, QString::fromUtf8("设备号 No.7"));
  EXPECT_EQ(EncodeGbk(text), bytes);
  EXPECT_EQ(EncodeGbk(QString::fromUtf8("连接设备")), "\xC1\xAC\xBD\xD3\xC9\xE8\xB1\xB8"s);
}

TEST(GbkText, EveryByteOfAValueCounts) {
  // Values are bytes with a length: zero bytes and the euro sign of code
  // page 936 (0x80) survive both ways.
  const std::string bytes = "a\0b\x80"s;
  const QString text = DecodeGbk(bytes);
  ASSERT_EQ(text.size(), 4);
  EXPECT_EQ(text[1], QChar(0));
  EXPECT_EQ(text[3], QChar(0x20AC));
  EXPECT_EQ(EncodeGbk(text), bytes);
  EXPECT_EQ(DecodeGbk(""), QString());
  EXPECT_EQ(EncodeGbk(QString()), std::string());
}

TEST(GbkText, BrokenBytesStillShowSomething) {
  // A lead byte without its trail byte at the end: not silently dropped.
  const QString tail = DecodeGbk("ab\xD6");
  EXPECT_EQ(tail, QString::fromUtf8("ab\xEF\xBF\xBD"));
  // A lead byte followed by a byte that cannot trail it.
  const QString middle = DecodeGbk("\x81\x30x");
  EXPECT_TRUE(middle.contains(QChar(QChar::ReplacementCharacter)));
  EXPECT_TRUE(middle.endsWith(QLatin1String("0x")));
}

TEST(GbkText, TextWithoutGbkCodeIsRefusedNotReplaced) {
  EXPECT_EQ(EncodeGbk(QString::fromUtf8("ok\xF0\x9F\x98\x80")), std::nullopt);  // emoji
  EXPECT_EQ(EncodeGbk(QString::fromUtf8("\xED\x95\x9C")), std::nullopt);       // Hangul
  // The stand-in for unreadable bytes has no bytes to go back as.
  EXPECT_EQ(EncodeGbk(DecodeGbk("ab\xD6")), std::nullopt);
}

}  // namespace
}  // namespace lumiq::ui::qt
