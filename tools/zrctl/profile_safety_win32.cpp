#include "tools/zrctl/profile_safety.h"

#include <windows.h>

#include <aclapi.h>

#include "tools/zrctl/file_access.h"

namespace lumiq::zrctl {

namespace {

std::wstring Widen(const std::string& utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  if (length <= 1) return L"";
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), length);
  wide.resize(wide.size() - 1);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return "";
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, utf8.data(), length, nullptr, nullptr);
  utf8.resize(utf8.size() - 1);
  return utf8;
}

// How much of a full path is its root: "C:\" or "\\server\share\".
size_t RootLength(const std::wstring& path) {
  if (path.size() >= 3 && path[1] == L':') return 3;
  if (path.compare(0, 2, L"\\\\") == 0) {
    const size_t server = path.find(L'\\', 2);
    if (server == std::wstring::npos) return path.size();
    const size_t share = path.find(L'\\', server + 1);
    return share == std::wstring::npos ? path.size() : share + 1;
  }
  return path.size();
}

// The folder holding `path`, "" above the root.
std::wstring Parent(const std::wstring& path) {
  const size_t root = RootLength(path);
  if (path.size() <= root) return L"";
  const size_t slash = path.find_last_of(L'\\');
  if (slash == std::wstring::npos || slash < root - 1) return L"";
  return slash + 1 <= root ? path.substr(0, root) : path.substr(0, slash);
}

// Where `path` leads once every junction and symbolic link on the way is
// followed, in the same form as a full path; "" when that cannot be told.
std::wstring FinalPath(const std::wstring& path) {
  HANDLE handle = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return L"";
  wchar_t resolved[MAX_PATH * 4];
  const DWORD length =
      GetFinalPathNameByHandleW(handle, resolved, MAX_PATH * 4, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  CloseHandle(handle);
  if (length == 0 || length >= MAX_PATH * 4) return L"";
  const std::wstring leadsTo(resolved, length);
  if (leadsTo.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\" + leadsTo.substr(7);
  if (leadsTo.compare(0, 4, L"\\\\?\\") == 0) return leadsTo.substr(4);
  return leadsTo;
}

// The file or folder `path` and every folder above it.
bool ChainWritableOnlyByAdministrators(const std::wstring& path, bool folder, std::string& why) {
  for (std::wstring current = path; !current.empty(); current = Parent(current), folder = true) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD error = GetNamedSecurityInfoW(
        current.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
        &owner, nullptr, &dacl, nullptr, &descriptor);
    if (error != ERROR_SUCCESS) {
      why = Narrow(current) + ": its permissions cannot be read (error " +
            std::to_string(error) + ")";
      return false;
    }
    const std::string others = OthersWhoCanChange(owner, dacl, folder);
    LocalFree(descriptor);
    if (!others.empty()) {
      why = Narrow(current) + ": " + others;
      return false;
    }
  }
  return true;
}

}  // namespace

bool ProfileWritableOnlyByAdministrators(const std::string& path, std::string& why) {
  const std::wstring given = Widen(path);
  wchar_t full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameW(given.c_str(), MAX_PATH * 4, full, nullptr);
  if (given.empty() || length == 0 || length >= MAX_PATH * 4) {
    why = path + ": not a path to a file";
    return false;
  }
  const DWORD attributes = GetFileAttributesW(full);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    why = path + ": cannot be read (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  // The path as given (whoever may swap a link on it may swap the profile)
  // and where it leads (whoever may change that may change the profile).
  if (!ChainWritableOnlyByAdministrators(full, folder, why)) return false;
  const std::wstring leadsTo = FinalPath(full);
  if (leadsTo.empty()) {
    why = path + ": where it leads cannot be told (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  if (CompareStringOrdinal(leadsTo.c_str(), -1, full, -1, TRUE) != CSTR_EQUAL) {
    return ChainWritableOnlyByAdministrators(leadsTo, folder, why);
  }
  return true;
}

}  // namespace lumiq::zrctl
