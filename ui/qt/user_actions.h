#pragma once

#include <string>

#include <QString>

#include "ui/app/serial_port.h"
#include "ui/app/user_action.h"

class QWidget;

namespace lumiq::ui::qt {

class SettingsWindow;

// The actions and their parsing are the runner's, shared with the Win32
// binding; carrying them out on widgets is this binding's.
using app::ParseUserAction;
using app::UserAction;

// Carries the action out as the user's mouse and keyboard would: a check
// box is clicked when its state differs, a radio button clicked checks it
// and clears its group (no click unchecks one), typing replaces the text and
// a number-only edit drops what is not a digit. A disabled or hidden control
// takes nothing. Returns false, with `note`, when the action changed nothing
// for that reason.
// `serial` stands for the scanner's serial port in serial: actions (the
// runner's); without it they change nothing.
bool ApplyUserAction(SettingsWindow& window, const UserAction& action, std::string* note,
                     app::FedSerialPorts* serial = nullptr);

// Typing that replaces the text of an edit or of a combo box's edit field,
// one character at a time through the edit's own input checks.
void TypeText(QWidget* control, const QString& text);

}  // namespace lumiq::ui::qt
