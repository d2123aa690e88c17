#pragma once

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include "ui/app/scanner_choice.h"
#include "ui/win32/dialog_builder.h"

namespace lumiq::ui::win32 {

// The scanner chooser (template 103): one row per scanner, the first
// selected. Enter, "确定" or a double click on a row chooses it; Escape and
// "取消" go back. What a choice leads to is the connect dialog's.
class ChooserDialog {
 public:
  using Chosen = std::function<void(const app::ScannerChoice&)>;

  ChooserDialog(HINSTANCE instance, std::vector<app::ScannerChoice> choices);
  ~ChooserDialog();
  ChooserDialog(const ChooserDialog&) = delete;
  ChooserDialog& operator=(const ChooserDialog&) = delete;

  // The application: runs modally; the row chosen, or -1 for going back.
  int RunModal(HWND owner);
  // The runner: shown modeless until it ends itself; a choice then goes to
  // `chosen`, after the chooser has closed.
  bool Create(HWND owner, Chosen chosen);

  HWND Handle() const { return window_; }
  HWND List() const;
  const std::vector<app::ScannerChoice>& Choices() const { return choices_; }
  // The rows as the list box holds them (UTF-8).
  std::vector<std::string> Rows() const;

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Initialise();
  void End(int row);

  HINSTANCE instance_;
  std::vector<app::ScannerChoice> choices_;
  InMemoryTemplate template_;
  HWND window_ = nullptr;
  bool modal_ = false;
  Chosen chosen_;
};

}  // namespace lumiq::ui::win32
