#pragma once

#include <string>
#include <vector>

namespace lumiq::ui::app {

// Every setting the window reads or writes, found by running the pages'
// own Loads and store steps on their templates, so that the reference says
// what the code does and is written nowhere else: which page reads it when
// the window opens, at which step Save sends it and under which condition,
// and each value a control gives it.
struct ValueMeaning {
  std::string value;    // as profile text (GBK shown as characters)
  std::string meaning;  // the controls that give it
};

struct KeyReference {
  std::string key;
  int templateId = 0;
  std::string page;  // the tab's caption
  bool read = false;  // by the page's Load when the window opens
  std::string step;   // "S1" .. "S8"; empty: Save never sends it
  std::string when;   // empty: every Save; else the condition
  std::vector<ValueMeaning> values;
};

// In the pages' order, each page's keys in the order the scanner gets them.
std::vector<KeyReference> SettingsReference();

// `zrctl keys [KEY]`: every key, or only `key` (empty: none matched).
std::string ReferenceText(const std::vector<KeyReference>& keys, const std::string& key);
// docs/settings.md.
std::string ReferenceMarkdown(const std::vector<KeyReference>& keys);

}  // namespace lumiq::ui::app
