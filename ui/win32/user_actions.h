#pragma once

#include <string>

#include <windows.h>

#include "ui/app/serial_port.h"
#include "ui/app/user_action.h"

namespace lumiq::ui::win32 {

class SettingsWindow;

// Carries the action out as the user's mouse and keyboard would: buttons
// take a click (BM_CLICK), so a check box toggles and a radio button checks
// itself and clears its group the way the platform does it; typing replaces
// the text one character at a time (WM_CHAR), so a number-only edit drops
// what is not a digit; a tab is selected as a click on its header would.
// A disabled or hidden control takes nothing. Returns false, with `note`,
// when the action changed nothing for that reason.
// `serial` stands for the scanner's serial port in serial: actions (the
// runner's); without it they change nothing.
bool ApplyUserAction(SettingsWindow& window, const app::UserAction& action, std::string* note,
                     app::FedSerialPorts* serial = nullptr);

// Replaces the text of an edit or of a drop-down combo box's edit field by
// typing `text`.
void TypeText(HWND control, const std::wstring& text);

}  // namespace lumiq::ui::win32
