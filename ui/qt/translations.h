#pragma once

#include <QString>

#include "res/i18n/language.h"

namespace lumiq::ui::qt {

// The context of every message in res/i18n/lumiq_*.ts.
inline constexpr char kCatalogueContext[] = "LumiqConfigTool";

// A text of the windows (its Chinese source, UTF-8) as the catalogue loaded
// by UseLanguage has it.
QString Translated(const char* source);

// The language the application speaks on this system: the system locale's
// UI languages, as the toolkit-free rule reads them.
i18n::Language SystemLanguage();

// Makes `language` the process's: the toolkit-free layers' messages, the
// program's catalogue (compiled from the same .ts) for the windows, and Qt's
// own translation for its standard buttons and file dialogs when Chinese.
// Needs the application object. false when a catalogue could not be loaded
// (the texts then stay Chinese, or Qt's stay English).
bool UseLanguage(i18n::Language language);

// Back to the state before any UseLanguage: the source texts, no catalogue
// installed (for tests that switch languages).
void ForgetLanguage();

}  // namespace lumiq::ui::qt
