#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "link/device_commands.h"
#include "ui/pages/page_controls.h"

namespace lumiq::ui {

// What a page's Load reads through. A get that fails yields the empty value,
// as the pages expect, and its key is remembered so that the window can tell
// the operator which controls show no real value.
class SettingReader {
 public:
  // The value of `key`, read into a buffer of `bufferSize` bytes.
  std::string Get(std::string_view key, size_t bufferSize = kValueBufferSize);
  const std::vector<std::string>& FailedKeys() const { return failed_; }

 private:
  std::vector<std::string> failed_;
};

// What a page's store groups write through. Every set is issued in order;
// a set that fails, is refused by the link, or whose text cannot be encoded
// is remembered, so that Save never reports a success it did not have.
class SettingWriter {
 public:
  void Set(std::string_view key, std::string_view value);
  // Sends the text of control `id`, or fails `key` without sending when the
  // text cannot be encoded.
  void SetText(std::string_view key, const PageControls& controls, int id);
  const std::vector<std::string>& FailedKeys() const { return failed_; }

 private:
  std::vector<std::string> failed_;
};

}  // namespace lumiq::ui
