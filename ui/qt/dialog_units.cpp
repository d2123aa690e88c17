#include "ui/qt/dialog_units.h"

#include <cstdlib>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

namespace lumiq::ui::qt {

namespace {

constexpr char kLatinLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr char kChineseFamily[] = "WenQuanYi Micro Hei";

int LogicalDpiY() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int dpi = screen ? qRound(screen->logicalDotsPerInchY()) : 96;
  return dpi > 0 ? dpi : 96;
}

}  // namespace

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;  // what Windows answers, too
  const long long product = static_cast<long long>(a) * b;
  const long long half = std::llabs(static_cast<long long>(c)) / 2;
  const bool negative = (product < 0) != (c < 0);
  const long long magnitude = (std::llabs(product) + half) / std::llabs(static_cast<long long>(c));
  return static_cast<int>(negative ? -magnitude : magnitude);
}

DialogBaseUnits BaseUnitsFromMetrics(int latinWidth, int fontHeight) {
  // Windows takes the 52-letter run, averages it over 26 letter pairs and
  // halves it with rounding up.
  return DialogBaseUnits{(latinWidth / 26 + 1) / 2, fontHeight};
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  return BaseUnitsFromMetrics(metrics.horizontalAdvance(QLatin1String(kLatinLetters)),
                              metrics.height());
}

QRect ToPixels(const res::Rect& rect, DialogBaseUnits units) {
  return QRect(MulDiv(rect.x, units.x, 4), MulDiv(rect.y, units.y, 8),
               MulDiv(rect.w, units.x, 4), MulDiv(rect.h, units.y, 8));
}

QSize ToPixels(int width, int height, DialogBaseUnits units) {
  return QSize(MulDiv(width, units.x, 4), MulDiv(height, units.y, 8));
}

QString MappedFontFamily(const QString& face) {
  // "微软雅黑", "宋体" and the Chinese "System" font all carry the GBK
  // repertoire; the one installed font that does is WenQuanYi Micro Hei.
  static const bool haveChinese = QFontDatabase::hasFamily(QString::fromLatin1(kChineseFamily));
  if (haveChinese) return QString::fromLatin1(kChineseFamily);
  return face;  // left to the font matcher's fallback
}

QFont DialogFont(const res::DialogTemplate& dialog) {
  QFont font(MappedFontFamily(QString::fromUtf8(dialog.fontFace)));
  font.setPixelSize(MulDiv(dialog.fontPointSize, LogicalDpiY(), 72));
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

}  // namespace lumiq::ui::qt
