#pragma once

#include <string>

namespace lumiq::zrctl {

// A profile applied by a privileged service sets every scanner's
// configuration, so whoever can change the file (or rename something in a
// folder above it) holds that power: true only when the file and every folder
// above it can be written by the system's administrators alone (root on
// Linux; Administrators, SYSTEM and TrustedInstaller on Windows). Otherwise
// false, with `why` naming the file or folder and who else can write it.
bool ProfileWritableOnlyByAdministrators(const std::string& path, std::string& why);

}  // namespace lumiq::zrctl
