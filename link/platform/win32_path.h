#pragma once

#include <cstddef>
#include <string>

namespace lumiq::win32 {

// Rules the Windows backend applies to device paths. They are plain string
// work, kept apart from the Win32 calls so they are built and tested on every
// platform.

// The USB interface number a Windows HID device path names: 1 when it
// contains "&mi_01", otherwise the two hexadecimal digits after "&mi_", or -1.
// Paths come lower-cased from the setup services; the test is case-sensitive,
// so "&MI_01" names no interface.
int InterfaceFromDevicePath(const std::string& path);

// Takes the zero-terminated path out of a detail record's text field of
// `capacity` bytes. false when it has no terminator within the field, or when
// it does not fit a path buffer of `bufferSize` bytes with its terminator.
bool TakeDevicePath(const char* text, size_t capacity, size_t bufferSize,
                    std::string* path);

// Whether the backend may open `path` at all: a HID device interface path as
// the setup services give it ("\\?\hid#...#{4d1e55b2-f16f-11cf-88cb-001111000030}",
// in any letter case, with no further folder in it) or a named pipe
// ("\\.\pipe\...", the tests' loopback). A file, a volume, a disk, a serial
// port or any other device is refused before it is opened.
bool IsHidInterfacePath(const std::string& path);

// The name of the mutex that marks the interface at `path` as held by a
// program: the same for every spelling of the path in letter case (Windows
// paths ignore it), different for other interfaces, in the global namespace
// so programs in other sessions see it too, and short enough for any path.
std::string ExclusionMutexName(const std::string& path);

}  // namespace lumiq::win32
