#include "ui/win32/config_app.h"

#include <commctrl.h>

#include "ui/win32/connect_dialog.h"
#include "ui/win32/message_sink.h"
#include "ui/win32/system_language.h"

namespace lumiq::ui::win32 {

void InitControls() {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_TAB_CLASSES;
  InitCommonControlsEx(&controls);
}

int RunConfigApp(HINSTANCE instance) {
  i18n::SetLanguage(SystemLanguage());
  InitControls();
  MessageBoxSink messages;
  ConnectDialog dialog(instance, messages);
  dialog.RunModal();
  return 0;
}

}  // namespace lumiq::ui::win32
