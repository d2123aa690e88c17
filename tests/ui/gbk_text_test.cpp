#include "ui/qt/gbk_text.h"

#include <gtest/gtest.h>

#include <string>

#include <QStringDecoder>
#include <QStringEncoder>

#include "profile/gbk_text.h"
#include "profile/setting_text.h"

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

namespace lumiq::ui::qt {
namespace {

// The window converts with the profile's converter; its table stands for
// Windows' code page 936, which ICU's "GBK" (Qt's own codec) also is. Every
// code is checked against ICU, so the table cannot drift from it.
TEST(GbkText, ProfileConverterAgreesWithIcuOnEveryCode) {
  QStringDecoder icuDecoder("GBK", QStringConverter::Flag::Stateless);
  ASSERT_TRUE(icuDecoder.isValid());
  int disagreements = 0;
  auto sameDecoding = [&](const std::string& bytes) {
    const QString icu = icuDecoder.decode(QByteArrayView(bytes.data(), bytes.size()));
    const std::optional<std::string> profile = profile::GbkToUtf8(bytes);
    const bool icuHasText = !icu.isEmpty() && !icu.contains(QChar(QChar::ReplacementCharacter));
    if (icuHasText != profile.has_value() || (profile && icu.toStdString() != *profile)) {
      ADD_FAILURE() << "decoding " << profile::EscapeBytes(bytes) << ": ICU "
                    << icu.toStdString() << ", profile " << profile.value_or("(none)");
      ++disagreements;
    }
  };
  for (int byte = 0x80; byte <= 0xFF && disagreements < 10; ++byte) {
    sameDecoding(std::string(1, static_cast<char>(byte)));
  }
  for (int lead = 0x81; lead <= 0xFE && disagreements < 10; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      sameDecoding(std::string{static_cast<char>(lead), static_cast<char>(trail)});
    }
  }
  for (char32_t character = 1; character <= 0x1FFFF && disagreements < 20; ++character) {
    if (character >= 0xD800 && character <= 0xDFFF) continue;
    // ICU takes a lone U+FEFF for a byte order mark and drops it; it has no
    // code, and the window refuses it as zrctl does.
    if (character == 0xFEFF) continue;
    std::string utf8;
    profile::AppendUtf8(character, &utf8);
    const QString text = QString::fromStdString(utf8);
    // A fresh encoder each time: an error would stay with it.
    QStringEncoder icuEncoder("GBK", QStringConverter::Flag::Stateless);
    const QByteArray icu = icuEncoder.encode(text);
    const std::optional<std::string> icuBytes =
        icuEncoder.hasError() || icu.isEmpty() ? std::nullopt
                                               : std::optional<std::string>(icu.toStdString());
    const std::optional<std::string> profile = profile::Utf8ToGbk(utf8);
    if (icuBytes != profile || EncodeGbk(text) != profile) {
      ADD_FAILURE() << "encoding " << profile::DescribeCharacter(character) << ": ICU "
                    << profile::EscapeBytes(icuBytes.value_or("(none)")) << ", profile "
                    << profile::EscapeBytes(profile.value_or("(none)"));
      ++disagreements;
    }
  }
  EXPECT_EQ(EncodeGbk(FromUtf8Whole("\xEF\xBB\xBF" "7")), std::nullopt);  // U+FEFF, leading
  // The characters an operator meets, spelled out.
  EXPECT_EQ(profile::Utf8ToGbk("条€"), "\xCC\xF5\x80"s);
  EXPECT_EQ(profile::Utf8ToGbk("ß"), std::nullopt);
  EXPECT_EQ(profile::Utf8ToGbk("\xF0\x9F\x98\x80"), std::nullopt);
}

}  // namespace
}  // namespace lumiq::ui::qt
