#pragma once

#include "res/ids/app_ids.h"

namespace lumiq::ui::app {

// The control that has the keyboard focus when an application window opens
// (0: the template's first tab stop). Both bindings put the focus there and
// draw its mark from the start. A window's default button is its template's
// (res::kDefaultButton); Enter presses it, or the push button that has the
// focus, and Space presses the focused push button.
//
// The settings window has no default button and opens with the focus on
// its tab headers, where a key changes at most the page shown: a window
// that opened on "退出" lost every unsaved edit to one Enter or Space. Its
// buttons act only once the operator has moved the focus to one of them.
// The connect dialog opens on "连接设备" and the chooser on its list, whose
// default buttons connect: nothing there is lost to Enter.
inline constexpr int OpeningFocus(int templateId) {
  switch (templateId) {
    case res::kSettingsTemplateId: return res::kSettingsTabControl;
    case res::kConnectTemplateId: return res::kConnectButton;
    case res::kChooserTemplateId: return res::kChooserList;
    case res::kAboutTemplateId: return res::kAboutOkButton;
    default: return 0;
  }
}

}  // namespace lumiq::ui::app
