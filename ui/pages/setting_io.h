#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "link/device_commands.h"
#include "ui/pages/page_controls.h"

namespace lumiq::ui {

// Settings held in memory by key, for pages that load from or store into a
// configuration file instead of the scanner.
using SettingMap = std::map<std::string, std::string>;

// What a page's Load reads through. A get that fails yields the empty value,
// as the pages expect, and its key is remembered so that the window can tell
// the operator which controls show no real value.
class SettingReader {
 public:
  // Reads from the scanner.
  SettingReader() = default;
  // Reads from `source` as from a scanner holding exactly those settings: a
  // key it lacks, or a value too long for the buffer, fails as its get would.
  explicit SettingReader(const SettingMap& source) : source_(&source) {}
  // Reads from `source`, and from the scanner every key `source` lacks, as
  // from a scanner holding `source` over what it holds.
  enum class MissingFromScanner { kRead };
  SettingReader(const SettingMap& source, MissingFromScanner)
      : source_(&source), scannerForMissing_(true) {}

  // The value of `key`, read into a buffer of `bufferSize` bytes.
  std::string Get(std::string_view key, size_t bufferSize = kValueBufferSize);
  const std::vector<std::string>& FailedKeys() const { return failed_; }
  // Every value read, by key.
  const SettingMap& Values() const { return values_; }

 private:
  std::string GetFromScanner(std::string_view key, size_t bufferSize);

  const SettingMap* source_ = nullptr;
  bool scannerForMissing_ = false;
  std::vector<std::string> failed_;
  SettingMap values_;
};

// What a page's store steps write through. Every set is issued in order;
// a set that fails, is refused by the link, or whose text cannot be encoded
// is remembered, so that Save never reports a success it did not have.
class SettingWriter {
 public:
  // Sends to the scanner.
  SettingWriter() = default;
  // Puts every set into `sink` instead, the later value of a key replacing
  // the earlier one, as on the scanner; nothing is sent. A set the link
  // would refuse fails here too.
  explicit SettingWriter(SettingMap& sink) : sink_(&sink) {}

  void Set(std::string_view key, std::string_view value);
  // Sends the text of control `id`, or fails `key` without sending when the
  // text cannot be encoded.
  void SetText(std::string_view key, const PageControls& controls, int id);
  const std::vector<std::string>& FailedKeys() const { return failed_; }

 private:
  SettingMap* sink_ = nullptr;
  std::vector<std::string> failed_;
};

}  // namespace lumiq::ui
