#include "tools/zrctl/salt_line.h"

#include <algorithm>
#include <cstdio>

#include "profile/setting_text.h"

namespace lumiq::zrctl {

namespace {

// Keys named in the comment at most; the JSON and the text name them all.
constexpr size_t kKeysNamed = 8;
// A failure's message in the comment at most, before escaping.
constexpr size_t kMessageBytes = 160;

// Bytes that Salt's parsing would take for its own, and anything that is no
// printable ASCII, become the profile escape \xNN.
std::string CommentText(const std::string& text) {
  std::string safe;
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E || c == '"' || c == '\\' || c == '=' || c == '$' ||
        c == '`') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      safe += escaped;
    } else {
      safe += c;
    }
  }
  return safe;
}

std::string Scanners(size_t count) {
  return std::to_string(count) + (count == 1 ? " scanner" : " scanners");
}

std::string Cut(const std::string& message) {
  std::string first = message.substr(0, message.find('\n'));
  if (first.size() > kMessageBytes) first = first.substr(0, kMessageBytes) + "...";
  return first;
}

std::string KeysOf(const std::vector<ApplyOutcome>& scanners) {
  std::vector<std::string> keys;
  for (const ApplyOutcome& scanner : scanners) {
    if (!scanner.read) continue;
    for (const SettingDifference& difference : scanner.differences) {
      if (std::find(keys.begin(), keys.end(), difference.key) == keys.end()) {
        keys.push_back(difference.key);
      }
    }
  }
  std::string named;
  for (size_t i = 0; i < keys.size() && i < kKeysNamed; ++i) {
    if (!named.empty()) named += ", ";
    named += profile::Quote(keys[i]);
  }
  if (keys.size() > kKeysNamed) named += " and " + std::to_string(keys.size() - kKeysNamed) + " more";
  return named;
}

}  // namespace

std::string SaltLine(ApplyMode mode, const std::vector<ApplyOutcome>& scanners,
                     const std::string& general) {
  size_t compliant = 0;
  size_t differing = 0;  // read and not compliant, and for apply not failed
  size_t failed = 0;     // apply: a set, the commit or the read-back
  size_t unread = 0;
  bool changed = false;
  std::string failure;
  std::string unreadWhy;
  for (const ApplyOutcome& scanner : scanners) {
    const int status = ApplyStatus(scanner, mode);
    if (mode == ApplyMode::kApply) changed = changed || scanner.changed;
    if (mode == ApplyMode::kPlan) changed = changed || (scanner.read && !scanner.compliant);
    if (!scanner.read) {
      ++unread;
      if (unreadWhy.empty()) unreadWhy = scanner.message;
    } else if (scanner.compliant) {
      ++compliant;
    } else if (mode == ApplyMode::kApply && status != 0) {
      ++failed;
      if (failure.empty()) failure = scanner.message;
    } else {
      ++differing;
    }
  }

  std::string comment;
  if (scanners.empty()) {
    comment = general.empty() ? "no scanner found" : Cut(general);
  } else if (compliant == scanners.size()) {
    comment = Scanners(compliant) + " compliant";
  } else {
    std::vector<std::string> parts;
    const std::string keys = KeysOf(scanners);
    if (differing > 0) {
      const char* verb = mode == ApplyMode::kApply  ? " changed"
                         : mode == ApplyMode::kPlan ? " would change"
                         : differing == 1           ? " differs"
                                                    : " differ";
      parts.push_back(std::to_string(differing) + verb + (keys.empty() ? "" : " (" + keys + ")"));
    }
    if (failed > 0) parts.push_back(std::to_string(failed) + " failed (" + Cut(failure) + ")");
    if (unread > 0) parts.push_back(std::to_string(unread) + " not read (" + Cut(unreadWhy) + ")");
    if (compliant > 0) parts.push_back(std::to_string(compliant) + " compliant");
    comment = Scanners(scanners.size()) + ":";
    for (size_t i = 0; i < parts.size(); ++i) comment += (i == 0 ? " " : ", ") + parts[i];
  }

  const std::string head = std::string("changed=") + (changed ? "yes" : "no") + " comment=\"";
  std::string safe = CommentText(comment);
  const size_t room = kSaltLineLimit - head.size() - 1;
  if (safe.size() > room) {
    safe.resize(room - 3);
    // Not in the middle of an escape.
    const size_t escape = safe.rfind("\\x");
    if (escape != std::string::npos && escape + 4 > safe.size()) safe.resize(escape);
    safe += "...";
  }
  return head + safe + "\"";
}

}  // namespace lumiq::zrctl
