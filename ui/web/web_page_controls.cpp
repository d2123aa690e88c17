#include "ui/web/web_page_controls.h"

#include <emscripten.h>

#include <cstdlib>

#include "profile/gbk_text.h"

// clang-format off
EM_JS(int, lumiq_ui_checked, (int page, int id), { return Module.lumiqUi.checked(page, id) ? 1 : 0; });
EM_JS(void, lumiq_ui_set_checked, (int page, int id, int checked), {
  Module.lumiqUi.setChecked(page, id, checked !== 0);
});
EM_JS(char*, lumiq_ui_text, (int page, int id), {
  const text = Module.lumiqUi.text(page, id);
  if (text === null) return 0;
  const size = lengthBytesUTF8(text) + 1;
  const bytes = _malloc(size);
  if (bytes) stringToUTF8(text, bytes, size);
  return bytes;
});
EM_JS(void, lumiq_ui_set_text, (int page, int id, const char* text, int length), {
  Module.lumiqUi.setText(page, id, UTF8ToString(text, length));
});
EM_JS(int, lumiq_ui_shown, (int page, int id), { return Module.lumiqUi.shown(page, id) ? 1 : 0; });
EM_JS(void, lumiq_ui_set_shown, (int page, int id, int shown), {
  Module.lumiqUi.setShown(page, id, shown !== 0);
});
EM_JS(int, lumiq_ui_enabled, (int page, int id), { return Module.lumiqUi.enabled(page, id) ? 1 : 0; });
// clang-format on

namespace lumiq::ui::web {

bool WebPageControls::IsChecked(int id) const { return lumiq_ui_checked(templateId_, id) != 0; }

void WebPageControls::SetChecked(int id, bool checked) {
  lumiq_ui_set_checked(templateId_, id, checked ? 1 : 0);
}

std::string WebPageControls::ScreenText(int id) const {
  char* text = lumiq_ui_text(templateId_, id);
  if (text == nullptr) return std::string();
  std::string result(text);
  std::free(text);
  return result;
}

std::optional<std::string> WebPageControls::Text(int id) const {
  const std::string shown = ScreenText(id);
  if (const std::string* bytes = loaded_.Unchanged(id, shown)) return *bytes;
  // Character by character: nothing is dropped (a byte order mark neither)
  // and nothing is replaced by a look-alike.
  std::string bytes;
  std::string_view rest = shown;
  while (!rest.empty()) {
    char32_t character = 0;
    const size_t length = profile::NextUtf8Character(rest, &character);
    if (length == 0 || !profile::AppendGbkCharacter(character, &bytes)) return std::nullopt;
    rest.remove_prefix(length);
  }
  return bytes;
}

void WebPageControls::SetText(int id, std::string_view bytes) {
  const std::string text = profile::GbkToShownUtf8(bytes);
  lumiq_ui_set_text(templateId_, id, text.data(), static_cast<int>(text.size()));
  loaded_.Remember(id, bytes, ScreenText(id));
}

bool WebPageControls::IsShown(int id) const { return lumiq_ui_shown(templateId_, id) != 0; }

void WebPageControls::SetShown(int id, bool shown) {
  lumiq_ui_set_shown(templateId_, id, shown ? 1 : 0);
}

bool WebPageControls::IsEnabled(int id) const { return lumiq_ui_enabled(templateId_, id) != 0; }

}  // namespace lumiq::ui::web
