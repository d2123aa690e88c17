#pragma once

#include <optional>

#include <windows.h>

#include "ui/app/profile_transfer.h"

namespace lumiq::ui::win32 {

// The platform's own open and save dialogs for "导入配置..." and
// "导出配置...", owned by the window `*owner` names when one is shown.
class Win32FileChooser final : public app::FileChooser {
 public:
  explicit Win32FileChooser(const HWND* owner) : owner_(owner) {}
  std::optional<app::ChosenFile> Choose(app::FileChoice choice) override;

 private:
  const HWND* owner_;
};

// A file given as UTF-8 (the runner's import: and export: actions), for the
// file functions and for messages alike.
class GivenWin32File final : public app::FileChooser {
 public:
  explicit GivenWin32File(std::string utf8) : utf8_(std::move(utf8)) {}
  std::optional<app::ChosenFile> Choose(app::FileChoice choice) override;

 private:
  std::string utf8_;
};

}  // namespace lumiq::ui::win32
