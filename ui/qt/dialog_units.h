#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include "res/dialog_template.h"

namespace lumiq::ui::qt {

// Dialog units to pixels as Windows maps them for a dialog's font: a
// horizontal unit is a quarter of the font's average Latin letter width, a
// vertical unit an eighth of its height.
struct DialogBaseUnits {
  int x = 0;  // average width of "A".."Z" "a".."z", in pixels
  int y = 0;  // font height (ascent + descent), in pixels
};

// Windows' rounding (MulDiv): a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c);

// The base units from measured metrics: `latinWidth` is the width of the
// 52 letters A-Z a-z written in one run.
DialogBaseUnits BaseUnitsFromMetrics(int latinWidth, int fontHeight);
DialogBaseUnits BaseUnitsOf(const QFont& font);

QRect ToPixels(const res::Rect& rect, DialogBaseUnits units);
QSize ToPixels(int width, int height, DialogBaseUnits units);

// The installed family that stands in for a template's font face. The
// Windows faces are not installed here; every one maps to a font that has
// the Chinese glyphs, so no caption shows as boxes.
QString MappedFontFamily(const QString& face);

// The font of a template: its face mapped, its point size turned into
// pixels at the screen's logical resolution the way Windows sizes a dialog
// font (-MulDiv(points, dpi, 72)).
QFont DialogFont(const res::DialogTemplate& dialog);

}  // namespace lumiq::ui::qt
