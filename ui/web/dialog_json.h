#pragma once

#include <string>

#include "res/dialog_template.h"

namespace lumiq::ui::web {

// A template as the page's script builds it (ui/web/page/lumiq.js): JSON
// with the window's caption and size, and its controls in the keyboard's
// order (ui/app/access_layout), each with its template index, id, kind,
// caption in the current language, rectangle in dialog units, style flags,
// sorted combo items, radio group and the indices of the texts that name it.
// The script turns dialog units into CSS pixels with the font it measures.
std::string DialogJson(const res::DialogTemplate& dialog);

// `text` as a JSON string literal.
std::string JsonString(const std::string& text);

}  // namespace lumiq::ui::web
