#pragma once

#include <string>

#include <windows.h>

#include "ui/app/settings_session.h"

namespace lumiq::ui::win32 {

// Every message the windows show passes here: a plain OK box with no icon,
// titled with the program's name, owned by `owner`, returning once closed.
// The runner prints them instead.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void Show(HWND owner, const std::string& utf8) = 0;
  // A question answered with Save, Discard or Cancel; a sink that cannot
  // ask cancels, so that nothing is lost.
  virtual app::SettingsSession::CloseAnswer Ask(HWND /*owner*/, const std::string& /*utf8*/) {
    return app::SettingsSession::CloseAnswer::kCancel;
  }
};

class MessageBoxSink final : public MessageSink {
 public:
  void Show(HWND owner, const std::string& utf8) override;
  // Yes saves, No discards: the system's own buttons, in its language.
  app::SettingsSession::CloseAnswer Ask(HWND owner, const std::string& utf8) override;
};

}  // namespace lumiq::ui::win32
