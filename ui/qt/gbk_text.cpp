#include "ui/qt/gbk_text.h"

#include <QList>
#include <QStringDecoder>

#include "profile/gbk_text.h"

namespace lumiq::ui::qt {

bool GbkAvailable() {
  // A character of the table proper, not one of the codes added to it.
  return profile::Utf8ToGbk("\xE6\x9D\xA1") == std::string("\xCC\xF5");  // "条"
}

QString DecodeGbk(std::string_view bytes) {
  const std::string text = profile::GbkToShownUtf8(bytes);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<std::string> EncodeGbk(const QString& text) {
  // Character by character: a lone surrogate becomes U+FFFD, which has no
  // code, and nothing at all (a byte order mark included) is dropped.
  std::string bytes;
  for (const char32_t character : text.toUcs4()) {
    if (!profile::AppendGbkCharacter(character, &bytes)) return std::nullopt;
  }
  return bytes;
}

QString FromUtf8Whole(std::string_view utf8) {
  QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
  return decoder.decode(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

}  // namespace lumiq::ui::qt
