#include "ui/pages/setting_io.h"

#include <vector>

namespace lumiq::ui {

std::string SettingReader::Get(std::string_view key, size_t bufferSize) {
  if (source_) {
    const auto found = source_->find(std::string(key));
    if (found == source_->end() && scannerForMissing_) return GetFromScanner(key, bufferSize);
    // The buffer keeps a byte for the terminator, as GetSetting does.
    if (found == source_->end() || found->second.size() >= bufferSize) {
      failed_.emplace_back(key);
      return std::string();
    }
    values_[found->first] = found->second;
    return found->second;
  }
  return GetFromScanner(key, bufferSize);
}

std::string SettingReader::GetFromScanner(std::string_view key, size_t bufferSize) {
  std::vector<char> buffer(bufferSize, '\0');
  const int length = GetSetting(key, buffer.data(), buffer.size());
  if (length < 0) {
    failed_.emplace_back(key);
    return std::string();
  }
  std::string value(buffer.data(), static_cast<size_t>(length));
  values_[std::string(key)] = value;
  return value;
}

void SettingWriter::Set(std::string_view key, std::string_view value) {
  if (sink_) {
    if (!SetFits(key, value)) {
      failed_.emplace_back(key);
      return;
    }
    (*sink_)[std::string(key)] = std::string(value);
    return;
  }
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
