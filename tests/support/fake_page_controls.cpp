#include "tests/support/fake_page_controls.h"

#include <cctype>
#include <stdexcept>

namespace lumiq::test {

namespace {
const res::DialogTemplate& TemplateOrThrow(int templateId) {
  const res::DialogTemplate* dialog = res::FindDialogTemplate(templateId);
  if (!dialog) throw std::invalid_argument("no such template");
  return *dialog;
}
}  // namespace

FakePageControls::FakePageControls(int templateId)
    : dialog_(TemplateOrThrow(templateId)) {
  for (const res::ControlTemplate& control : dialog_.controls) {
    if (control.id == res::kNoId) continue;
    State& state = states_[control.id];
    state.shown = !(control.style & res::kHidden);
    state.enabled = !(control.style & res::kDisabled);
  }
}

FakePageControls::State& FakePageControls::At(int id) {
  auto it = states_.find(id);
  // A page that speaks of a control its template lacks is a fault the test
  // must see, not a silently created control.
  if (it == states_.end()) throw std::out_of_range("no control " + std::to_string(id));
  return it->second;
}

const FakePageControls::State& FakePageControls::At(int id) const {
  auto it = states_.find(id);
  if (it == states_.end()) throw std::out_of_range("no control " + std::to_string(id));
  return it->second;
}

bool FakePageControls::IsChecked(int id) const { return At(id).checked; }
void FakePageControls::SetChecked(int id, bool checked) { At(id).checked = checked; }

std::optional<std::string> FakePageControls::Text(int id) const {
  if (unencodable_.count(id)) return std::nullopt;
  return At(id).text;
}

void FakePageControls::SetText(int id, std::string_view bytes) {
  At(id).text = std::string(bytes);
  unencodable_.erase(id);
}

bool FakePageControls::IsShown(int id) const { return At(id).shown; }
void FakePageControls::SetShown(int id, bool shown) { At(id).shown = shown; }
bool FakePageControls::IsEnabled(int id) const { return At(id).enabled; }

void FakePageControls::Click(int id) {
  State& state = At(id);
  if (!state.shown || !state.enabled) return;
  const res::ControlTemplate* control = dialog_.Find(id);
  if (control->kind == res::ControlKind::kCheckBox) {
    state.checked = !state.checked;
  } else if (control->kind == res::ControlKind::kRadioButton) {
    for (int other : res::RadioGroupOf(dialog_, id)) At(other).checked = false;
    state.checked = true;
  }
}

void FakePageControls::Type(int id, std::string_view text) {
  State& state = At(id);
  if (!state.shown || !state.enabled) return;
  std::string typed;
  const bool digitsOnly = dialog_.Find(id)->style & res::kNumberOnly;
  for (char c : text) {
    if (!digitsOnly || std::isdigit(static_cast<unsigned char>(c))) typed += c;
  }
  state.text = typed;
  unencodable_.erase(id);
}

std::set<int> FakePageControls::ShownIds() const {
  std::set<int> ids;
  for (const auto& [id, state] : states_) {
    if (state.shown) ids.insert(id);
  }
  return ids;
}

std::set<int> FakePageControls::CheckedIds() const {
  std::set<int> ids;
  for (const auto& [id, state] : states_) {
    if (state.checked) ids.insert(id);
  }
  return ids;
}

}  // namespace lumiq::test
