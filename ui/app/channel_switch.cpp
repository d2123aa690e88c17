// "更改输出方式...": the channel switched as an import that switches it
// would, with a message saying what Save will then change.

#include <algorithm>

#include "profile/known_keys.h"
#include "profile/setting_text.h"
#include "res/i18n/catalogue.h"
#include "ui/app/chooser_texts.h"
#include "ui/app/profile_transfer.h"

namespace lumiq::ui::app {

namespace {

constexpr char kOutputKey[] = "io_outputs";
inline constexpr char kHiddenValueText[] = "(已隐藏)";

// A value in the message: quoted, a secret never shown.
std::string ShownValue(const std::string& key, const std::string* value) {
  if (!value) return i18n::Tr(kChoiceNotRead);
  if (value->empty()) return i18n::Tr(kChoiceEmptyValue);
  if (profile::HoldsSecret(key, *value)) return i18n::Tr(kHiddenValueText);
  return profile::QuoteText(*value);
}

}  // namespace

void ProfileTransfer::NoteSaved(const PageSet& pages, const std::vector<std::string>& failedKeys) {
  SettingMap sent;
  StorePagesInto(pages, &sent);
  for (auto& [key, value] : sent) {
    if (std::find(failedKeys.begin(), failedKeys.end(), key) == failedKeys.end()) {
      loaded_[key] = std::move(value);
    }
  }
}

void ProfileTransfer::PrepareSwitch(const PageSet& pages, const OutputChannel& channel,
                                    PendingImport* pending) const {
  // An edit the old pages cannot encode has no value to carry over.
  pending->merged = Shown(pages, &pending->discardedEdits);
  const SettingMap before = pending->merged;
  pending->merged[kOutputKey] = channel.output;
  if (!missingMessage_) pending->unreadable = ReadMissingSettings(&pending->merged);
  pending->sentBefore = before;
  for (const auto& [key, value] : pending->merged) {
    if (before.find(key) == before.end() && key != kOutputKey) pending->scannerRead[key] = value;
  }
}

std::string ProfileTransfer::FinishSwitch(const PageSet& fresh, const OutputChannel& channel,
                                          const PendingImport& pending) {
  // What was read is the scanner's own: an export shows it as known.
  for (const auto& [key, value] : pending.scannerRead) loaded_[key] = value;
  SettingMap sent;
  StorePagesInto(fresh, &sent);
  std::string changes;
  for (const auto& [key, value] : sent) {
    const auto held = loaded_.find(key);
    if (held != loaded_.end() && held->second == value) continue;
    // A key the window never read (a list only written) is named only when
    // the switch changes what Save sends for it.
    const auto before = pending.sentBefore.find(key);
    if (held == loaded_.end() && before != pending.sentBefore.end() && before->second == value) {
      continue;
    }
    if (!changes.empty()) changes += '\n';
    changes += key + ": " + ShownValue(key, held == loaded_.end() ? nullptr : &held->second) +
               kImportAdjustedArrow + ShownValue(key, &value);
  }
  std::string message = i18n::TrFormat(kChannelSwitchedText, {i18n::Tr(channel.caption)});
  message += "\n" + (changes.empty() ? std::string(i18n::Tr(kChannelNoChangesText))
                                     : i18n::TrFormat(kChannelSaveChangesText, {changes}));
  if (!pending.discardedEdits.empty()) {
    message += "\n" + i18n::TrFormat(kImportDiscardedEditsText, {KeyLines(pending.discardedEdits)});
  }
  if (!pending.unreadable.empty()) {
    message += "\n" + (missingMessage_ ? missingMessage_ : &LoadFailureMessage)(pending.unreadable);
  }
  return message;
}

}  // namespace lumiq::ui::app
