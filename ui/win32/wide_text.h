#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumiq::ui::win32 {

// The binding keeps text in UTF-16, as the W functions want it. Templates,
// messages and the runner's words are UTF-8; the scanner's values are GBK
// (code page 936), and cross only in Win32PageControls. Paths are UTF-8 too,
// as the profile's file functions take them; they turn them back into
// UTF-16 for Windows, so any file name works in any code page.

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// The scanner's bytes cross to the screen and back through the profile's
// converter, as in the Qt window and zrctl.

// Screen text for the scanner's bytes. A byte (or pair) that is not GBK
// shows as U+FFFD, so the operator sees that the value is odd.
std::wstring DecodeGbk(std::string_view bytes);

// The GBK bytes of `text`, or nullopt when a character has no GBK code. No
// best-fit mapping: sending a look-alike or a '?' would silently change the
// setting. U+FFFD stands for bytes that were not GBK when read and has no
// code to send back either.
std::optional<std::string> EncodeGbk(std::wstring_view text);

}  // namespace lumiq::ui::win32
