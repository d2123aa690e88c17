#include "tools/zrctl/file_access.h"

#include <sddl.h>

#include <vector>

namespace lumiq::zrctl {

namespace {

constexpr DWORD kChangesFile = FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE | WRITE_DAC |
                               WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
// Generic write on a folder means adding entries, which cannot replace one.
constexpr DWORD kChangesFolder = FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_ALL;

std::string Narrow(const wchar_t* text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return "";
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
  utf8.resize(utf8.size() - 1);
  return utf8;
}

bool IsSid(PSID sid, WELL_KNOWN_SID_TYPE type) { return IsWellKnownSid(sid, type) != FALSE; }

bool IsTrustedInstaller(PSID sid) {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID trustedInstaller = nullptr;
  // NT SERVICE\TrustedInstaller: S-1-5-80 and the hash of the service name.
  if (!AllocateAndInitializeSid(&nt, 6, 80, 956008885, 3418522649, 1831038044, 1853292631,
                                2271478464, 0, 0, &trustedInstaller)) {
    return false;
  }
  const bool same = EqualSid(sid, trustedInstaller) != FALSE;
  FreeSid(trustedInstaller);
  return same;
}

bool IsAdministration(PSID sid) {
  return IsSid(sid, WinBuiltinAdministratorsSid) || IsSid(sid, WinLocalSystemSid) ||
         IsTrustedInstaller(sid);
}

bool StandsForOwner(PSID sid) {
  return IsSid(sid, WinCreatorOwnerSid) || IsSid(sid, WinCreatorOwnerRightsSid);
}

}  // namespace

std::string SidName(PSID sid) {
  std::string text;
  wchar_t* string = nullptr;
  if (ConvertSidToStringSidW(sid, &string)) {
    text = Narrow(string);
    LocalFree(string);
  }
  wchar_t name[256];
  wchar_t domain[256];
  DWORD nameLength = 256;
  DWORD domainLength = 256;
  SID_NAME_USE use;
  if (LookupAccountSidW(nullptr, sid, name, &nameLength, domain, &domainLength, &use)) {
    std::string account = Narrow(name);
    if (domain[0] != L'\0') account = Narrow(domain) + "\\" + account;
    return account + " (" + text + ")";
  }
  return text;
}

std::string OthersWhoCanChange(PSID owner, const ACL* dacl, bool folder) {
  std::string judged;
  const bool ownerTrusted = owner != nullptr && IsValidSid(owner) && IsAdministration(owner);
  const std::string ownerName = owner != nullptr ? SidName(owner) : "no one";
  if (!ownerTrusted) judged = "owned by " + ownerName;
  std::vector<std::string> writers;
  if (dacl == nullptr) {
    writers.push_back("Everyone (no access list)");
  } else {
    const DWORD changes = folder ? kChangesFolder : kChangesFile;
    ACL_SIZE_INFORMATION size{};
    if (!GetAclInformation(const_cast<ACL*>(dacl), &size, sizeof size, AclSizeInformation)) {
      writers.push_back("whoever an access list that cannot be read lets in");
    }
    for (DWORD i = 0; i < size.AceCount; ++i) {
      void* entry = nullptr;
      if (!GetAce(const_cast<ACL*>(dacl), i, &entry)) continue;
      const auto* header = static_cast<const ACE_HEADER*>(entry);
      if (header->AceFlags & INHERIT_ONLY_ACE) continue;  // for what is created inside only
      if (header->AceType == ACCESS_DENIED_ACE_TYPE ||
          header->AceType == ACCESS_DENIED_CALLBACK_ACE_TYPE ||
          header->AceType == ACCESS_DENIED_OBJECT_ACE_TYPE ||
          header->AceType == ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE) {
        continue;
      }
      if (header->AceType != ACCESS_ALLOWED_ACE_TYPE &&
          header->AceType != ACCESS_ALLOWED_CALLBACK_ACE_TYPE) {
        writers.push_back("an access entry of kind " + std::to_string(header->AceType));
        continue;
      }
      // Both kinds start with the mask and the SID.
      const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
      if ((allowed->Mask & changes) == 0) continue;
      PSID sid = const_cast<DWORD*>(&allowed->SidStart);
      if (IsAdministration(sid) || (StandsForOwner(sid) && ownerTrusted)) continue;
      const std::string name = StandsForOwner(sid) ? "its owner" : SidName(sid);
      bool named = !ownerTrusted && name == ownerName;  // said already
      for (const std::string& writer : writers) named = named || writer == name;
      if (!named) writers.push_back(name);
    }
  }
  if (writers.empty()) return judged;
  std::string list;
  for (const std::string& writer : writers) list += (list.empty() ? "" : ", ") + writer;
  return judged + (judged.empty() ? "" : "; ") + list + " can change it";
}

}  // namespace lumiq::zrctl
