#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumiq::ui {

// A page's controls reached by control id. A page keeps its whole state in
// them. Texts cross this interface as the scanner's bytes: the binding
// behind it converts them to and from what the screen shows.
class PageControls {
 public:
  virtual ~PageControls() = default;

  virtual bool IsChecked(int id) const = 0;
  // Sets the state as a program would (BM_SETCHECK): other radio buttons of
  // the group are left alone.
  virtual void SetChecked(int id, bool checked) = 0;

  // The bytes to send for the control's text; nullopt when the text the
  // user typed cannot be encoded for the scanner.
  virtual std::optional<std::string> Text(int id) const = 0;
  virtual void SetText(int id, std::string_view bytes) = 0;

  virtual bool IsShown(int id) const = 0;
  virtual void SetShown(int id, bool shown) = 0;
  virtual bool IsEnabled(int id) const = 0;
};

}  // namespace lumiq::ui
