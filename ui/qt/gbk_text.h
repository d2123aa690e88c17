#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

namespace lumiq::ui::qt {

// The scanner's setting values are bytes in the Chinese Windows code page
// (GBK, 936). This is the one place where they become screen text and back,
// through the profile's converter, so that the window, zrctl and a profile
// give the same bytes for the same text.

// False when the converter lacks its table (a C library without GBK); the
// application refuses to start then rather than show or send wrong bytes.
bool GbkAvailable();

// Screen text for `bytes`. Bytes that are not GBK still show as something
// (a replacement character), so the user sees that the value is odd.
QString DecodeGbk(std::string_view bytes);

// The GBK bytes of `text`, or nullopt when a character has no GBK code:
// sending a '?' in its place, or leaving it out, would silently change the
// setting.
std::optional<std::string> EncodeGbk(const QString& text);

// UTF-8 text (what the headless runner types) as screen text, every
// character kept: QString::fromUtf8 would drop a leading U+FEFF, which the
// window must see to refuse it.
QString FromUtf8Whole(std::string_view utf8);

}  // namespace lumiq::ui::qt
