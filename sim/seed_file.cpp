#include "sim/seed_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace lumiq::sim {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

void AppendHex(std::string* out, unsigned char byte) {
  *out += "\\x";
  *out += kHexDigits[byte >> 4];
  *out += kHexDigits[byte & 0x0F];
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Undoes EscapeBytes. false with a message on a backslash that starts
// neither `\\` nor `\xNN`.
bool Unescape(std::string_view text, std::string* bytes, std::string* message) {
  bytes->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      *bytes += text[i];
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '\\') {
      *bytes += '\\';
      i += 1;
      continue;
    }
    if (i + 3 < text.size() && text[i + 1] == 'x' && HexValue(text[i + 2]) >= 0 &&
        HexValue(text[i + 3]) >= 0) {
      *bytes += static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
      i += 3;
      continue;
    }
    *message = "bad escape at column " + std::to_string(i + 1) +
               " (a backslash must be followed by \\ or xNN)";
    return false;
  }
  return true;
}

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

std::string EscapeBytes(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\\') {
      out += "\\\\";
    } else if (byte < 0x20 || byte > 0x7E) {
      AppendHex(&out, byte);
    } else {
      out += c;
    }
  }
  return out;
}

bool ParseSeed(std::string_view text, SettingList* settings, SeedError* error) {
  SettingList parsed;
  int lineNumber = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;

    // Files edited on Windows end their lines with CR LF; a CR that belongs
    // to a value is always written as \x0D.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (IsBlank(line) || line.front() == '#') continue;

    auto fail = [&](const std::string& message) {
      if (error) *error = SeedError{lineNumber, message};
      return false;
    };
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return fail("no '=' in the line");
    if (equals == 0) return fail("empty key");
    std::string key;
    std::string value;
    std::string message;
    if (!Unescape(line.substr(0, equals), &key, &message)) return fail("key: " + message);
    if (!Unescape(line.substr(equals + 1), &value, &message)) return fail("value: " + message);
    parsed.emplace_back(std::move(key), std::move(value));
  }
  if (settings) *settings = std::move(parsed);
  return true;
}

std::string FormatSeed(const SettingList& settings) {
  std::string out;
  for (const auto& [key, value] : settings) {
    // A key must not end early at its own '=' nor read as a comment.
    std::string escapedKey;
    for (char c : EscapeBytes(key)) {
      if (c == '=' || (escapedKey.empty() && c == '#')) {
        AppendHex(&escapedKey, static_cast<unsigned char>(c));
      } else {
        escapedKey += c;
      }
    }
    out += escapedKey;
    out += '=';
    out += EscapeBytes(value);
    out += '\n';
  }
  return out;
}

bool ReadSeedFile(const std::string& path, SettingList* settings, SeedError* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = SeedError{0, "cannot open the file"};
    return false;
  }
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    if (error) *error = SeedError{0, "cannot read the file"};
    return false;
  }
  return ParseSeed(text, settings, error);
}

bool WriteSeedFile(const std::string& path, const std::string& text) {
  // Written aside and renamed over the old file, so that a write cut short
  // (full disk, killed process) leaves the old settings, never half of them.
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
      out.close();
      std::remove(temporary.c_str());
      return false;
    }
  }
  std::error_code failed;
  std::filesystem::rename(temporary, path, failed);
  if (failed) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace lumiq::sim
