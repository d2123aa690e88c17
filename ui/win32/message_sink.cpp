#include "ui/win32/message_sink.h"

#include "ui/win32/wide_text.h"

namespace lumiq::ui::win32 {

void MessageBoxSink::Show(HWND owner, const std::string& utf8) {
  MessageBoxW(owner, Utf8ToWide(utf8).c_str(), nullptr, MB_OK);
}

}  // namespace lumiq::ui::win32
