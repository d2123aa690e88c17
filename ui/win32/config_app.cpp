#include "ui/win32/config_app.h"

#include <commctrl.h>

#include <vector>

#include "ui/win32/connect_dialog.h"
#include "ui/win32/message_sink.h"
#include "ui/win32/system_language.h"
#include "ui/win32/wide_text.h"

namespace lumiq::ui::win32 {

void InitControls() {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_TAB_CLASSES;
  InitCommonControlsEx(&controls);
}

namespace {

// The words after the program's name, split as the C runtime splits them
// (shell32's splitter is a DLL the programs do without): blanks part words
// outside quotes; 2n backslashes and a quote are n backslashes and a quote
// that opens or closes; 2n+1 and a quote are n and a literal quote.
std::vector<std::wstring> CommandLineWords(const wchar_t* line) {
  const wchar_t* at = line;
  // The program's name: up to a blank, quotes only grouping.
  bool quoted = false;
  for (; *at && (quoted || (*at != L' ' && *at != L'\t')); ++at) {
    if (*at == L'"') quoted = !quoted;
  }
  std::vector<std::wstring> words;
  while (*at) {
    while (*at == L' ' || *at == L'\t') ++at;
    if (!*at) break;
    std::wstring word;
    quoted = false;
    for (; *at && (quoted || (*at != L' ' && *at != L'\t')); ++at) {
      size_t backslashes = 0;
      while (*at == L'\\') {
        ++backslashes;
        ++at;
      }
      if (*at == L'"') {
        word.append(backslashes / 2, L'\\');
        if (backslashes % 2) {
          word += L'"';
        } else if (quoted && at[1] == L'"') {
          word += L'"';  // "" inside quotes: a quote
          ++at;
        } else {
          quoted = !quoted;
        }
      } else {
        word.append(backslashes, L'\\');
        if (!*at) break;
        if (!quoted && (*at == L' ' || *at == L'\t')) break;
        word += *at;
      }
    }
    words.push_back(word);
  }
  return words;
}

}  // namespace

bool ReadArguments(bool demo, app::ProgramArguments* parsed) {
  std::vector<std::string> arguments;
  for (const std::wstring& word : CommandLineWords(GetCommandLineW())) {
    arguments.push_back(WideToUtf8(word));
  }
  std::string error;
  if (app::ParseProgramArguments(arguments, demo, parsed, &error)) {
    // A program without a console answers --help in a box.
    if (parsed->help) MessageBoxSink().Show(nullptr, app::ProgramHelp(demo));
    return true;
  }
  MessageBoxSink().Show(nullptr, error + "\nusage: " + app::ProgramUsage(demo));
  return false;
}

int RunConfigApp(HINSTANCE instance, const std::string& file) {
  i18n::SetLanguage(SystemLanguage());
  InitControls();
  MessageBoxSink messages;
  ConnectDialog dialog(instance, messages);
  if (!file.empty()) dialog.OpenOnStart(app::ChosenFile{file, file, 0});
  dialog.RunModal();
  return 0;
}

}  // namespace lumiq::ui::win32
