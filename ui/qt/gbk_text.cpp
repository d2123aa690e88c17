#include "ui/qt/gbk_text.h"

#include <QByteArray>
#include <QStringConverter>
#include <QStringDecoder>
#include <QStringEncoder>

namespace lumiq::ui::qt {

namespace {

constexpr char kCodecName[] = "GBK";

bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool IsTrailByte(unsigned char byte) {
  return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

// True when `bytes` ends in a lead byte whose trail byte is missing. A
// stateless decoder drops such a byte without a trace; walk the pairs the
// way the decoder does to find it.
bool EndsInLoneLeadByte(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (!IsLeadByte(byte)) {
      ++i;
    } else if (i + 1 == bytes.size()) {
      return true;
    } else {
      i += IsTrailByte(static_cast<unsigned char>(bytes[i + 1])) ? 2 : 1;
    }
  }
  return false;
}

}  // namespace

bool GbkAvailable() {
  return QStringDecoder(kCodecName).isValid() && QStringEncoder(kCodecName).isValid();
}

QString DecodeGbk(std::string_view bytes) {
  QStringDecoder decoder(kCodecName, QStringConverter::Flag::Stateless);
  if (!decoder.isValid()) return QString();
  const bool loneLead = EndsInLoneLeadByte(bytes);
  const std::string_view whole = loneLead ? bytes.substr(0, bytes.size() - 1) : bytes;
  QString text = decoder.decode(
      QByteArrayView(whole.data(), static_cast<qsizetype>(whole.size())));
  if (loneLead) text += QChar(QChar::ReplacementCharacter);
  return text;
}

std::optional<std::string> EncodeGbk(const QString& text) {
  QStringEncoder encoder(kCodecName, QStringConverter::Flag::Stateless);
  if (!encoder.isValid()) return std::nullopt;
  const QByteArray bytes = encoder.encode(text);
  if (encoder.hasError()) return std::nullopt;
  // The replacement character stands for bytes that were not GBK when they
  // were read; it has no code of its own to send back.
  if (text.contains(QChar(QChar::ReplacementCharacter))) return std::nullopt;
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace lumiq::ui::qt
