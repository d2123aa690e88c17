#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "res/dialog_template.h"
#include "ui/pages/page_controls.h"
#include "ui/pages/settings_sequence.h"

namespace lumiq::test {

// A page's controls without any window system, built from its template:
// controls start as the template gives them (hidden, disabled, unchecked,
// empty). Click and Type act as a user would; the PageControls operations
// act as the page logic does.
class FakePageControls : public ui::PageControls {
 public:
  explicit FakePageControls(int templateId);
  int TemplateId() const { return dialog_.id; }

  bool IsChecked(int id) const override;
  void SetChecked(int id, bool checked) override;
  std::optional<std::string> Text(int id) const override;
  void SetText(int id, std::string_view bytes) override;
  bool IsShown(int id) const override;
  void SetShown(int id, bool shown) override;
  bool IsEnabled(int id) const override;

  // A user's click: toggles a check box, selects a radio button and clears
  // the rest of its group. Nothing happens on a hidden or disabled control.
  void Click(int id);
  // A user's typing that replaces the text (number-only edits keep digits).
  void Type(int id, std::string_view text);
  // The control's text can no longer be encoded for the scanner.
  void MakeUnencodable(int id) { unencodable_.insert(id); }

  // Ids of the visible controls / checked boxes, in id order.
  std::set<int> ShownIds() const;
  std::set<int> CheckedIds() const;

 private:
  struct State {
    bool checked = false;
    bool shown = true;
    bool enabled = true;
    std::string text;
  };
  State& At(int id);
  const State& At(int id) const;

  const res::DialogTemplate& dialog_;
  std::map<int, State> states_;
  std::set<int> unencodable_;
};

// The five pages' controls as the settings window creates them.
struct FakeSettingsWindow {
  FakePageControls symbology{130};
  FakePageControls outputMethod{133};
  FakePageControls outputFormat{132};
  FakePageControls control{131};
  FakePageControls version{137};
  ui::PageSet Pages() { return {symbology, outputMethod, outputFormat, control, version}; }
};

}  // namespace lumiq::test
