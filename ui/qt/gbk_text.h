#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

namespace lumiq::ui::qt {

// The scanner's setting values are bytes in the Chinese Windows code page
// (GBK, 936). This is the one place where they become screen text and back.

// False when this Qt has no GBK codec (built without ICU); the application
// refuses to start then rather than show or send wrong bytes.
bool GbkAvailable();

// Screen text for `bytes`. Bytes that are not GBK still show as something
// (a replacement character), so the user sees that the value is odd.
QString DecodeGbk(std::string_view bytes);

// The GBK bytes of `text`, or nullopt when a character has no GBK code:
// sending a '?' in its place would silently change the setting.
std::optional<std::string> EncodeGbk(const QString& text);

}  // namespace lumiq::ui::qt
