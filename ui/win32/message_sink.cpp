#include "ui/win32/message_sink.h"

#include "res/ids/app_ids.h"
#include "res/strings.h"
#include "ui/win32/wide_text.h"

namespace lumiq::ui::win32 {

// Without a caption Windows titles the box "Error", even over "保存成功!";
// the program's name from the string table is what the dialog framework
// would have put there.
void MessageBoxSink::Show(HWND owner, const std::string& utf8) {
  const std::wstring caption = Utf8ToWide(res::StringResource(res::kAppTitleStringId));
  MessageBoxW(owner, Utf8ToWide(utf8).c_str(), caption.c_str(), MB_OK);
}

}  // namespace lumiq::ui::win32

namespace lumiq::ui::win32 {

app::SettingsSession::CloseAnswer MessageBoxSink::Ask(HWND owner, const std::string& utf8) {
  const std::wstring caption = Utf8ToWide(res::StringResource(res::kAppTitleStringId));
  switch (MessageBoxW(owner, Utf8ToWide(utf8).c_str(), caption.c_str(),
                      MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3)) {
    case IDYES: return app::SettingsSession::CloseAnswer::kSave;
    case IDNO: return app::SettingsSession::CloseAnswer::kDiscard;
    default: return app::SettingsSession::CloseAnswer::kCancel;
  }
}

}  // namespace lumiq::ui::win32
