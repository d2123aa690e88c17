#pragma once

// A strict reader of the JSON grammar for the tests of --json: a missing
// escape or a stray line of text fails the test.

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace lumiq::test {

// A parsed JSON value; `text` holds strings, numbers and literals as read.
struct Json {
  enum Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = kNull;
  std::string text;
  std::vector<Json> items;
  std::map<std::string, Json> members;

  const Json& operator[](const std::string& key) const {
    static const Json missing;
    auto at = members.find(key);
    return at == members.end() ? missing : at->second;
  }
  const Json& operator[](size_t index) const {
    static const Json missing;
    return index < items.size() ? items[index] : missing;
  }
};

// RFC 8259, strictly: no trailing commas, no raw control characters in
// strings, nothing after the value but white space.
class Parser {
 public:
  explicit Parser(const std::string& text) : text_(text) {}
  bool Document(Json* value) {
    return Value(value, 0) && (Blank(), at_ == text_.size());
  }

 private:
  void Blank() {
    while (at_ < text_.size() && std::string(" \t\r\n").find(text_[at_]) != std::string::npos) {
      ++at_;
    }
  }
  bool Take(char c) {
    Blank();
    if (at_ < text_.size() && text_[at_] == c) return ++at_, true;
    return false;
  }
  bool Literal(const char* word, Json::Kind kind, Json* value) {
    const std::string w = word;
    if (text_.compare(at_, w.size(), w) != 0) return false;
    at_ += w.size();
    value->kind = kind;
    value->text = w;
    return true;
  }
  bool String(std::string* out) {
    if (!Take('"')) return false;
    while (at_ < text_.size()) {
      const unsigned char c = static_cast<unsigned char>(text_[at_++]);
      if (c == '"') return true;
      if (c < 0x20) return false;
      if (c != '\\') {
        out->push_back(static_cast<char>(c));
        continue;
      }
      if (at_ >= text_.size()) return false;
      const char e = text_[at_++];
      const std::string simple = "\"\\/bfnrt";
      const std::string meant = "\"\\/\b\f\n\r\t";
      if (simple.find(e) != std::string::npos) {
        out->push_back(meant[simple.find(e)]);
      } else if (e == 'u' && at_ + 4 <= text_.size()) {
        const unsigned code = std::stoul(text_.substr(at_, 4), nullptr, 16);
        at_ += 4;
        if (code >= 0x80) return false;  // zrctl escapes only ASCII controls
        out->push_back(static_cast<char>(code));
      } else {
        return false;
      }
    }
    return false;
  }
  bool Value(Json* value, int depth) {
    if (depth > 32) return false;
    Blank();
    if (at_ >= text_.size()) return false;
    const char c = text_[at_];
    if (c == '"') {
      value->kind = Json::kString;
      return String(&value->text);
    }
    if (c == '{' || c == '[') {
      const bool object = c == '{';
      ++at_;
      value->kind = object ? Json::kObject : Json::kArray;
      if (Take(object ? '}' : ']')) return true;
      do {
        Json item;
        std::string key;
        if (object && !(String(&key) && Take(':'))) return false;
        if (!Value(&item, depth + 1)) return false;
        if (object) {
          if (!value->members.emplace(key, std::move(item)).second) return false;
        } else {
          value->items.push_back(std::move(item));
        }
      } while (Take(','));
      return Take(object ? '}' : ']');
    }
    if (c == '-' || (c >= '0' && c <= '9')) {
      const size_t start = at_;
      if (c == '-') ++at_;
      while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
      value->kind = Json::kNumber;
      value->text = text_.substr(start, at_ - start);
      return value->text != "-";
    }
    return Literal("true", Json::kBool, value) || Literal("false", Json::kBool, value) ||
           Literal("null", Json::kNull, value);
  }

  const std::string& text_;
  size_t at_ = 0;
};

inline Json Parse(const std::string& text) {
  Json value;
  EXPECT_TRUE(Parser(text).Document(&value)) << text;
  return value;
}

}  // namespace lumiq::test
