#pragma once

#include <string>

#include <windows.h>

namespace lumiq::ui::win32 {

// Every message the windows show passes here: a plain OK box with no icon,
// titled with the program's name, owned by `owner`, returning once closed.
// The runner prints them instead.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void Show(HWND owner, const std::string& utf8) = 0;
};

class MessageBoxSink final : public MessageSink {
 public:
  void Show(HWND owner, const std::string& utf8) override;
};

}  // namespace lumiq::ui::win32
