#include "ui/win32/file_chooser.h"

#include <commdlg.h>

#include <string>
#include <string_view>
#include <vector>

#include "res/i18n/catalogue.h"
#include "ui/win32/wide_text.h"

namespace lumiq::ui::win32 {

namespace {

// "NAME (PATTERN)", NUL, PATTERN, NUL for each filter, then one more NUL.
std::wstring FilterList(app::FileChoice choice) {
  std::wstring list;
  for (const app::FileFilter& filter : app::FiltersFor(choice)) {
    const std::wstring pattern =
        std::string_view(filter.pattern) == "*" ? L"*.*" : Utf8ToWide(filter.pattern);
    list += Utf8ToWide(i18n::Tr(filter.name)) + L" (" + pattern + L")";
    list.push_back(L'\0');
    list += pattern;
    list.push_back(L'\0');
  }
  list.push_back(L'\0');
  return list;
}

}  // namespace

std::optional<app::ChosenFile> Win32FileChooser::Choose(app::FileChoice choice) {
  const bool exporting = choice == app::FileChoice::kExport;
  const std::wstring filters = FilterList(choice);
  const std::wstring title = Utf8ToWide(i18n::Tr(app::FileDialogTitle(choice)));
  const std::wstring suffix = Utf8ToWide(app::kProfileSuffix);
  // Long paths included; the dialog cuts nothing it cannot fit, it fails.
  std::vector<wchar_t> path(32768, L'\0');

  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner_ ? *owner_ : nullptr;
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (exporting) {
    dialog.Flags |= OFN_OVERWRITEPROMPT;
    dialog.lpstrDefExt = suffix.c_str();
  } else {
    dialog.Flags |= OFN_FILEMUSTEXIST;
  }
  if (!(exporting ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) return std::nullopt;
  const std::wstring chosen(path.data());
  const std::string utf8 = WideToUtf8(chosen);
  return app::ChosenFile{utf8, utf8, static_cast<int>(dialog.nFilterIndex) - 1};
}

std::optional<app::ChosenFile> GivenWin32File::Choose(app::FileChoice /*choice*/) {
  return app::ChosenFile{utf8_, utf8_};
}

}  // namespace lumiq::ui::win32
