#include "ui/app/settings_reference.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "profile/known_keys.h"
#include "profile/setting_text.h"
#include "res/dialog_template.h"
#include "res/ids/app_ids.h"
#include "ui/app/access_layout.h"
#include "ui/app/page_tabs.h"
#include "ui/pages/settings_sequence.h"

namespace lumiq::ui::app {

namespace {

// A text no setting holds, typed into a field to see where it goes.
constexpr char kTyped[] = "\x01";
constexpr char kTypedShown[] = "TEXT";

// A page's controls as its template makes them, changed as a user would.
class ProbeControls final : public PageControls {
 public:
  explicit ProbeControls(const res::DialogTemplate& dialog) : dialog_(dialog) {
    for (const res::ControlTemplate& control : dialog.controls) {
      if (control.id == res::kNoId) continue;
      State& state = states_[control.id];
      state.shown = !(control.style & res::kHidden);
      state.enabled = !(control.style & res::kDisabled);
    }
  }
  bool IsChecked(int id) const override { return states_.at(id).checked; }
  void SetChecked(int id, bool checked) override { states_[id].checked = checked; }
  std::optional<std::string> Text(int id) const override { return states_.at(id).text; }
  void SetText(int id, std::string_view bytes) override { states_[id].text = std::string(bytes); }
  bool IsShown(int id) const override { return states_.at(id).shown; }
  void SetShown(int id, bool shown) override { states_[id].shown = shown; }
  bool IsEnabled(int id) const override { return states_.at(id).enabled; }

  // A click, hidden or disabled or not: the reference tells every value.
  void Click(int id) {
    if (dialog_.Find(id)->kind == res::ControlKind::kRadioButton) {
      for (int other : res::RadioGroupOf(dialog_, id)) states_[other].checked = false;
      states_[id].checked = true;
    } else {
      states_[id].checked = !states_[id].checked;
    }
  }

 private:
  struct State {
    bool checked = false;
    bool shown = true;
    bool enabled = true;
    std::string text;
  };
  const res::DialogTemplate& dialog_;
  std::map<int, State> states_;
};

struct Sent {
  std::string value;
  std::string step;
};
using SentMap = std::map<std::string, Sent>;

SentMap Store(int templateId, const ProbeControls& controls) {
  SentMap sent;
  for (const StoreStep& step : StoreSteps()) {
    if (step.templateId != templateId) continue;
    SettingMap sink;
    SettingWriter writer(sink);
    step.store(controls, writer);
    for (const auto& [key, value] : sink) {
      auto [at, added] = sent.emplace(key, Sent{value, step.name});
      if (!added) at->second.value = value;  // the later step's value stays
    }
  }
  return sent;
}

using Sendable = std::vector<std::pair<std::string, std::string>>;

// The keys a page's Load reads: from a scanner holding nothing, and from
// one holding each value the page's controls can send, one at a time (a
// channel's parameters are read only while it is the output).
std::set<std::string> ReadBy(int templateId, const Sendable& sendable) {
  std::vector<SettingMap> scanners = {SettingMap()};
  for (const auto& [key, value] : sendable) scanners.push_back({{key, value}});
  std::set<std::string> keys;
  for (const SettingMap& held : scanners) {
    ProbeControls controls(*res::FindDialogTemplate(templateId));
    SettingReader reader(held);
    for (const LoadStep& step : LoadSteps()) {
      if (step.templateId == templateId) step.load(controls, reader);
    }
    keys.insert(reader.FailedKeys().begin(), reader.FailedKeys().end());
    for (const auto& entry : reader.Values()) keys.insert(entry.first);
  }
  return keys;
}

std::string Named(const res::DialogTemplate& dialog, const AccessLayout& layout, int id) {
  for (size_t index = 0; index < dialog.controls.size(); ++index) {
    if (dialog.controls[index].id != id) continue;
    return "\"" + AccessibleName(dialog, layout, static_cast<int>(index)) + "\" (" +
           std::to_string(id) + ")";
  }
  return std::to_string(id);
}

// Adds a value of `key` and what gives it; `sendable` collects every value
// found, for the reads it may lead to.
void AddValue(KeyReference* key, const std::string& bytes, const std::string& meaning,
              Sendable* sendable) {
  if (bytes != kTyped) sendable->emplace_back(key->key, bytes);
  const std::string value = bytes == kTyped ? kTypedShown
                            : bytes.empty() ? std::string("\"\"")
                                            : profile::EscapeText(bytes);
  for (const ValueMeaning& known : key->values) {
    if (known.value == value) return;  // the first way to it says enough
  }
  key->values.push_back({value, meaning});
}

}  // namespace

namespace {

// One page's keys: what its Load reads, what its store steps send from its
// controls as the template leaves them, and what each control changes.
void AddPage(int tab, std::vector<KeyReference>* out) {
  const int templateId = kPageTabs[tab].templateId;
  const res::DialogTemplate& dialog = *res::FindDialogTemplate(templateId);
  const AccessLayout layout = LayOutForAccess(dialog);
  Sendable sendable;
  const ProbeControls fresh(dialog);
  const SentMap base = Store(templateId, fresh);

  std::map<std::string, KeyReference> keys;
  auto entry = [&](const std::string& key) -> KeyReference& {
    KeyReference& reference = keys[key];
    reference.key = key;
    reference.templateId = templateId;
    reference.page = kPageTabs[tab].caption;
    return reference;
  };
  for (const auto& [key, sent] : base) entry(key).step = sent.step;
  std::map<std::string, std::vector<std::string>> appearsWithBox;  // a key sent only with these
  std::map<std::string, std::vector<std::string>> appearsWithRadio;
  // A box may count only once some radio button is chosen (the hints, with
  // a reboot light): boxes are also tried with the first of every group.
  ProbeControls chosen(dialog);
  for (const res::ControlTemplate& control : dialog.controls) {
    if (control.kind != res::ControlKind::kRadioButton) continue;
    const std::vector<int> group = res::RadioGroupOf(dialog, control.id);
    if (!group.empty() && group.front() == control.id) chosen.Click(control.id);
  }
  const SentMap chosenBase = Store(templateId, chosen);

  // Each box and radio button alone, then every field typed into with
  // every box checked (a channel's fields are sent only with its box).
  std::map<std::string, std::vector<int>> boxesOf;  // keys a box changes
  ProbeControls allChecked(dialog);
  for (const res::ControlTemplate& control : dialog.controls) {
    const bool box = control.kind == res::ControlKind::kCheckBox;
    if (!box && control.kind != res::ControlKind::kRadioButton) continue;
    if (box) allChecked.Click(control.id);
    ProbeControls probe(dialog);
    probe.Click(control.id);
    const std::string name = Named(dialog, layout, control.id);
    for (const auto& [key, sent] : Store(templateId, probe)) {
      const auto was = base.find(key);
      if (was != base.end() && was->second.value == sent.value) continue;
      KeyReference& reference = entry(key);
      reference.step = sent.step;
      if (was == base.end()) (box ? appearsWithBox : appearsWithRadio)[key].push_back(name);
      AddValue(&reference, sent.value, name + (box ? " checked" : " chosen"), &sendable);
      if (box) boxesOf[key].push_back(control.id);
    }
    if (!box) continue;
    ProbeControls withRadios = chosen;
    withRadios.Click(control.id);
    for (const auto& [key, sent] : Store(templateId, withRadios)) {
      const auto was = chosenBase.find(key);
      if (was == chosenBase.end() || was->second.value == sent.value) continue;
      AddValue(&entry(key), sent.value, name + " checked", &sendable);
      std::vector<int>& boxes = boxesOf[key];
      if (std::find(boxes.begin(), boxes.end(), control.id) == boxes.end()) {
        boxes.push_back(control.id);
      }
    }
  }
  // Two boxes that share a key: both checked ("1,26").
  for (const auto& [key, boxes] : boxesOf) {
    for (size_t a = 0; a < boxes.size(); ++a) {
      for (size_t b = a + 1; b < boxes.size(); ++b) {
        ProbeControls probe = chosen;
        probe.Click(boxes[a]);
        probe.Click(boxes[b]);
        const SentMap sent = Store(templateId, probe);
        const auto at = sent.find(key);
        if (at == sent.end()) continue;
        AddValue(&keys[key], at->second.value,
                 Named(dialog, layout, boxes[a]) + " and " + Named(dialog, layout, boxes[b]) +
                     " checked", &sendable);
      }
    }
  }
  for (const res::ControlTemplate& control : dialog.controls) {
    if (control.kind != res::ControlKind::kEdit && control.kind != res::ControlKind::kComboBox) {
      continue;
    }
    ProbeControls probe = allChecked;
    probe.SetText(control.id, kTyped);
    for (const auto& [key, sent] : Store(templateId, probe)) {
      if (sent.value.find(kTyped) == std::string::npos) continue;
      std::string meaning = "the text of " + Named(dialog, layout, control.id);
      if (control.style & res::kNumberOnly) meaning += ", digits only";
      if (!control.items.empty()) {
        meaning += "; its list:";
        for (const char* item : control.items) meaning += std::string(" ") + item;
      }
      KeyReference& reference = entry(key);
      if (reference.step.empty()) reference.step = sent.step;
      AddValue(&reference, sent.value, meaning, &sendable);
    }
  }
  // What a key holds while no control of it is set.
  for (const auto& [key, sent] : base) {
    AddValue(&keys[key], sent.value, "as the page starts (no box checked, no field filled)", &sendable);
  }
  auto listed = [](const std::vector<std::string>& names) {
    std::string list;
    for (size_t i = 0; i < names.size(); ++i) {
      list += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    }
    return list;
  };
  for (const auto& [key, names] : appearsWithBox) {
    keys[key].when = "while " + listed(names) + " is checked" +
                     (names.size() > 1 ? " (the last one's value)" : "");
  }
  for (const auto& [key, names] : appearsWithRadio) {
    if (!keys[key].when.empty()) continue;
    keys[key].when = "once " + listed(names) + " is chosen";
  }
  // What Load reads, given what the controls can send.
  for (const std::string& key : ReadBy(templateId, sendable)) entry(key).read = true;

  // In the order the scanner gets them, then the keys only written.
  for (std::string_view known : profile::KnownKeys()) {
    const auto at = keys.find(std::string(known));
    if (at == keys.end()) continue;
    out->push_back(at->second);
    keys.erase(at);
  }
  for (auto& [key, reference] : keys) out->push_back(reference);
}

}  // namespace

std::vector<KeyReference> SettingsReference() {
  std::vector<KeyReference> keys;
  for (int tab = 0; tab < kPageCount; ++tab) AddPage(tab, &keys);
  return keys;
}

namespace {

std::string Sending(const KeyReference& key) {
  if (key.step.empty()) return "never sent";
  return "sent at " + key.step + (key.when.empty() ? std::string(" by every Save") : ", " + key.when);
}

}  // namespace

std::string ReferenceText(const std::vector<KeyReference>& keys, const std::string& only) {
  std::string text;
  for (const KeyReference& key : keys) {
    if (!only.empty() && key.key != only) continue;
    text += key.key + "  " + key.page + " (" + std::to_string(key.templateId) + "), " +
            (key.read ? "read when the window opens, " : "not read, ") + Sending(key) + "\n";
    for (const ValueMeaning& value : key.values) {
      text += "    " + value.value + "  " + value.meaning + "\n";
    }
  }
  return text;
}

std::string ReferenceMarkdown(const std::vector<KeyReference>& keys) {
  std::string text =
      "# Settings reference\n\n"
      "Generated by `zrctl keys --markdown` from the pages' own Loads, store steps\n"
      "and templates; do not edit (`cmake --build build --target settings-reference`\n"
      "writes it again, and a test checks it is up to date).\n\n"
      "Every key the window reads or writes: the page that shows it, whether it\n"
      "is read when the window opens, when \"" +
      std::string(res::FindDialogTemplate(res::kSettingsTemplateId)
                      ->Find(res::kSettingsSaveButton)
                      ->caption) +
      "\" sends it (steps S1 to S8 in\n"
      "order, then the commit), and each value a control gives it. `TEXT` is\n"
      "what the field holds. A value the page does not know leaves its controls\n"
      "as the page starts.\n";
  std::string page;
  for (const KeyReference& key : keys) {
    if (key.page != page) {
      page = key.page;
      text += "\n## " + page + " (template " + std::to_string(key.templateId) + ")\n\n" +
              "| key | read | sent | value | given by |\n|---|---|---|---|---|\n";
    }
    bool first = true;
    auto cell = [](std::string value) {
      std::string escaped;
      for (char c : value) escaped += c == '|' ? std::string("\\|") : std::string(1, c);
      return escaped;
    };
    const std::vector<ValueMeaning> values =
        key.values.empty() ? std::vector<ValueMeaning>{{"", ""}} : key.values;
    for (const ValueMeaning& value : values) {
      text += first ? "| `" + key.key + "` | " + (key.read ? "yes" : "no") + " | " +
                          cell(Sending(key)) + " | "
                    : std::string("| | | | ");
      text += (value.value.empty() ? std::string() : "`" + cell(value.value) + "`") + " | " +
              cell(value.meaning) + " |\n";
      first = false;
    }
  }
  return text;
}

}  // namespace lumiq::ui::app
