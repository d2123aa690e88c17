#pragma once

#include <string>

#include "link/hid_platform.h"

namespace lumiq::ui {

// The connect dialog's text when the open fails (UTF-8): the fixed failure
// line, then, where the link knows why, one line naming the cause, so that an
// operator whose cable is fine is not sent to re-plug it.
std::string ConnectFailedMessage(OpenFailure cause);

}  // namespace lumiq::ui
