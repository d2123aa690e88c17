#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumiq::zrctl {

// A JSON value built in memory and written out whole: what --json prints.
// Members of an object keep the order they were set in, so the document
// reads in the order the command did its work.
class JsonValue {
 public:
  JsonValue() = default;  // null
  JsonValue(std::string text);  // NOLINT: a string converts naturally
  JsonValue(const char* text);  // NOLINT
  static JsonValue Bool(bool value);
  static JsonValue Number(long long value);
  static JsonValue Object();
  static JsonValue Array();

  // Object member `key`, replaced when already there. A null value becomes
  // an object first. Returns the member, for filling in place.
  JsonValue& Set(const std::string& key, JsonValue value);
  // Object member `key`, added as null when not there yet.
  JsonValue& At(const std::string& key);
  // Appends to an array (a null value becomes one first); returns the item.
  JsonValue& Push(JsonValue value);

  bool IsNull() const { return kind_ == Kind::kNull; }

  // The document, indented by two blanks a level, without a final line end.
  std::string Text() const;

 private:
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  void Write(std::string* out, int depth) const;

  Kind kind_ = Kind::kNull;
  bool bool_ = false;
  long long number_ = 0;
  std::string string_;
  std::vector<std::string> keys_;  // of an object, parallel to items_
  std::vector<JsonValue> items_;
};

// `text` as a JSON string literal, quotes included. Text that is UTF-8 goes
// through as it is, except `"`, `\` and control characters, which are
// escaped; a byte that is not part of a UTF-8 character becomes the profile
// escape `\xNN` (written "\\xNN"), so no byte string can make the document
// invalid.
std::string JsonString(std::string_view text);

}  // namespace lumiq::zrctl
