#include "tools/zrctl/json_writer.h"

#include <cstdio>

namespace lumiq::zrctl {

namespace {

// The length of the well-formed UTF-8 character at `at`, or 0.
size_t Utf8Length(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  size_t length = 0;
  unsigned minimum = 0;
  unsigned code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
    minimum = 0x10000;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(at + i) & 0x3F);
  }
  // Overlong forms, surrogates and code points past U+10FFFF are no text.
  if (code < minimum || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
  return length;
}

void Indent(std::string* out, int depth) {
  out->push_back('\n');
  out->append(static_cast<size_t>(depth) * 2, ' ');
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    char escaped[8];
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20 || c == 0x7F) {
      std::snprintf(escaped, sizeof escaped, "\\u%04X", c);
      out += escaped;
    } else if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (const size_t length = Utf8Length(text, i)) {
      out.append(text.substr(i, length));
      i += length;
      continue;
    } else {
      std::snprintf(escaped, sizeof escaped, "\\\\x%02X", c);
      out += escaped;
    }
    ++i;
  }
  out.push_back('"');
  return out;
}

JsonValue::JsonValue(std::string text) : kind_(Kind::kString), string_(std::move(text)) {}

JsonValue::JsonValue(const char* text) : kind_(Kind::kString), string_(text) {}

JsonValue JsonValue::Bool(bool value) {
  JsonValue result;
  result.kind_ = Kind::kBool;
  result.bool_ = value;
  return result;
}

JsonValue JsonValue::Number(long long value) {
  JsonValue result;
  result.kind_ = Kind::kNumber;
  result.number_ = value;
  return result;
}

JsonValue JsonValue::Object() {
  JsonValue result;
  result.kind_ = Kind::kObject;
  return result;
}

JsonValue JsonValue::Array() {
  JsonValue result;
  result.kind_ = Kind::kArray;
  return result;
}

JsonValue& JsonValue::Set(const std::string& key, JsonValue value) {
  if (kind_ == Kind::kNull) kind_ = Kind::kObject;
  for (size_t i = 0; i < keys_.size(); ++i) {
    if (keys_[i] == key) {
      items_[i] = std::move(value);
      return items_[i];
    }
  }
  keys_.push_back(key);
  items_.push_back(std::move(value));
  return items_.back();
}

JsonValue& JsonValue::At(const std::string& key) {
  if (kind_ == Kind::kNull) kind_ = Kind::kObject;
  for (size_t i = 0; i < keys_.size(); ++i) {
    if (keys_[i] == key) return items_[i];
  }
  keys_.push_back(key);
  items_.emplace_back();
  return items_.back();
}

JsonValue& JsonValue::Push(JsonValue value) {
  if (kind_ == Kind::kNull) kind_ = Kind::kArray;
  items_.push_back(std::move(value));
  return items_.back();
}

std::string JsonValue::Text() const {
  std::string out;
  Write(&out, 0);
  return out;
}

void JsonValue::Write(std::string* out, int depth) const {
  switch (kind_) {
    case Kind::kNull:
      *out += "null";
      return;
    case Kind::kBool:
      *out += bool_ ? "true" : "false";
      return;
    case Kind::kNumber:
      *out += std::to_string(number_);
      return;
    case Kind::kString:
      *out += JsonString(string_);
      return;
    case Kind::kArray:
    case Kind::kObject:
      break;
  }
  const bool object = kind_ == Kind::kObject;
  out->push_back(object ? '{' : '[');
  for (size_t i = 0; i < items_.size(); ++i) {
    if (i > 0) out->push_back(',');
    Indent(out, depth + 1);
    if (object) {
      *out += JsonString(keys_[i]);
      *out += ": ";
    }
    items_[i].Write(out, depth + 1);
  }
  if (!items_.empty()) Indent(out, depth);
  out->push_back(object ? '}' : ']');
}

}  // namespace lumiq::zrctl
