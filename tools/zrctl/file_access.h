#pragma once

#include <windows.h>

#include <string>

namespace lumiq::zrctl {

// Who, beside Administrators, SYSTEM and TrustedInstaller, could change a
// file or folder that has this owner and access list: "" when no one;
// otherwise "owned by NAME" and/or "NAME, NAME can change it". `dacl` nullptr
// is the access list that lets everyone do everything.
//
// What counts as changing: for a file, writing or appending to it, deleting
// it, changing its permissions or its owner; for a folder, deleting or
// renaming what is in it, deleting or renaming the folder itself, changing
// its permissions or its owner. Adding a file or a folder to a folder does
// not count: it cannot replace a name that is already there, and Windows
// lets every signed-in user add folders to C:\ and files to ProgramData.
// The owner can always change the permissions, so it must be one of the
// three. CREATOR OWNER and OWNER RIGHTS stand for the owner. Entries that
// deny are not looked at: only what is granted is judged, which can refuse a
// file that a deny entry happens to protect, never pass an unsafe one.
std::string OthersWhoCanChange(PSID owner, const ACL* dacl, bool folder);

// "BUILTIN\Users (S-1-5-32-545)", or only the string form when the SID has
// no name here.
std::string SidName(PSID sid);

}  // namespace lumiq::zrctl
