// The profile check on real files: the file itself is judged before the
// folders above it, so that what a test's own file allows is what is told.
// (Wine keeps no owner for files: it shows its user as the owner of every
// one, so the owner and a profile found safe are judged over access lists
// built in memory, in file_access_test.cpp.)

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/zrctl/profile_safety.h"

namespace lumiq::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string Narrow(const std::wstring& wide) {
  std::string utf8(wide.size() * 3 + 1, '\0');
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, utf8.data(),
                                         static_cast<int>(utf8.size()), nullptr, nullptr);
  utf8.resize(length > 0 ? static_cast<size_t>(length - 1) : 0);
  return utf8;
}

class ZrctlProfileSafetyWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    folder_ = std::wstring(temp) + L"zrctl-safety-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
    file_ = folder_ + L"\\站点.profile";
    HANDLE handle = CreateFileW(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    CloseHandle(handle);
  }
  void TearDown() override {
    DeleteFileW(file_.c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  // Gives the file this owner and access list, in SDDL; false where the
  // file system keeps no permissions.
  bool Protect(const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor,
                                                              nullptr)) {
      return false;
    }
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    PSID owner = nullptr;
    GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    GetSecurityDescriptorOwner(descriptor, &owner, &defaulted);
    const DWORD error = SetNamedSecurityInfoW(
        const_cast<wchar_t*>(file_.c_str()), SE_FILE_OBJECT,
        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
            PROTECTED_DACL_SECURITY_INFORMATION,
        owner, nullptr, dacl, nullptr);
    LocalFree(descriptor);
    return error == ERROR_SUCCESS;
  }
  std::wstring folder_;
  std::wstring file_;
};

TEST_F(ZrctlProfileSafetyWin32, AProfileOthersMayRewriteIsRefusedNamingTheFileAndThem) {
  ASSERT_TRUE(Protect(L"O:BAD:P(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x120116;;;WD)"));
  std::string why;
  EXPECT_FALSE(zrctl::ProfileWritableOnlyByAdministrators(Narrow(file_), why));
  EXPECT_THAT(why, StartsWith(Narrow(file_) + ": "));
  EXPECT_THAT(why, HasSubstr("S-1-1-0"));
}

TEST_F(ZrctlProfileSafetyWin32, AMissingProfileIsRefused) {
  std::string why;
  const std::string missing = Narrow(folder_) + "\\missing.profile";
  EXPECT_FALSE(zrctl::ProfileWritableOnlyByAdministrators(missing, why));
  EXPECT_THAT(why, StartsWith(missing + ": "));
}

}  // namespace
}  // namespace lumiq::test
