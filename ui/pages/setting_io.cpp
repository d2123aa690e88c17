#include "ui/pages/setting_io.h"

#include <vector>

namespace lumiq::ui {

std::string SettingReader::Get(std::string_view key, size_t bufferSize) {
  std::vector<char> buffer(bufferSize, '\0');
  const int length = GetSetting(key, buffer.data(), buffer.size());
  if (length < 0) {
    failed_.emplace_back(key);
    return std::string();
  }
  return std::string(buffer.data(), static_cast<size_t>(length));
}

void SettingWriter::Set(std::string_view key, std::string_view value) {
  if (SetSetting(key, value) != 0) failed_.emplace_back(key);
}

void SettingWriter::SetText(std::string_view key, const PageControls& controls,
                            int id) {
  const std::optional<std::string> text = controls.Text(id);
  if (!text) {
    failed_.emplace_back(key);
    return;
  }
  Set(key, *text);
}

}  // namespace lumiq::ui
