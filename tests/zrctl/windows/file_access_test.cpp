// The judgement on a file's or folder's owner and access list, over lists
// built in memory: what Windows hands over for real files. Wine keeps no
// owner for files (its user owns every one), so the check on real files is
// seen through zrctl serve refusing a profile in scripts/check-msi.sh.

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/zrctl/file_access.h"

namespace lumiq::test {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using zrctl::OthersWhoCanChange;

constexpr char kAdministrators[] = "S-1-5-32-544";
constexpr char kSystem[] = "S-1-5-18";
constexpr char kTrustedInstaller[] =
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
constexpr char kUsers[] = "S-1-5-32-545";
constexpr char kAuthenticatedUsers[] = "S-1-5-11";
constexpr char kCreatorOwner[] = "S-1-3-0";
constexpr char kSomeone[] = "S-1-5-21-1-2-3-1001";

// What FILE_ALL_ACCESS, "Modify" and "Read & execute" grant in Explorer.
constexpr DWORD kFull = FILE_ALL_ACCESS;
constexpr DWORD kModify = FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE;
constexpr DWORD kReadExecute = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;

struct Entry {
  bool allow;
  const char* sid;
  DWORD mask;
  BYTE flags;
};

class Descriptor {
 public:
  Descriptor(const char* owner, const std::vector<Entry>& entries) : acl_(4096) {
    owner_ = Sid(owner);
    ACL* acl = List();
    EXPECT_TRUE(InitializeAcl(acl, static_cast<DWORD>(acl_.size()), ACL_REVISION));
    for (const Entry& entry : entries) {
      PSID sid = Sid(entry.sid);
      const BOOL added =
          entry.allow ? AddAccessAllowedAceEx(acl, ACL_REVISION, entry.flags, entry.mask, sid)
                      : AddAccessDeniedAceEx(acl, ACL_REVISION, entry.flags, entry.mask, sid);
      EXPECT_TRUE(added) << entry.sid;
    }
  }
  ~Descriptor() {
    for (PSID sid : sids_) LocalFree(sid);
  }
  PSID Owner() { return owner_; }
  ACL* List() { return reinterpret_cast<ACL*>(acl_.data()); }

 private:
  PSID Sid(const char* text) {
    PSID sid = nullptr;
    EXPECT_TRUE(ConvertStringSidToSidA(text, &sid)) << text;
    sids_.push_back(sid);
    return sid;
  }
  std::vector<unsigned char> acl_;
  std::vector<PSID> sids_;
  PSID owner_ = nullptr;
};

std::string Judge(const char* owner, const std::vector<Entry>& entries, bool folder) {
  Descriptor descriptor(owner, entries);
  return OthersWhoCanChange(descriptor.Owner(), descriptor.List(), folder);
}

TEST(ZrctlFileAccess, TheAdministrationAloneMayChangeAFile) {
  // A profile in an admin-only folder, as the installer leaves it.
  for (const char* owner : {kAdministrators, kSystem, kTrustedInstaller}) {
    EXPECT_THAT(Judge(owner,
                      {{true, kAdministrators, kFull, 0},
                       {true, kSystem, kFull, 0},
                       {true, kTrustedInstaller, kModify, 0},
                       {true, kUsers, kReadExecute, 0},
                       {true, kCreatorOwner, kFull, 0}},
                      false),
                IsEmpty())
        << owner;
  }
}

TEST(ZrctlFileAccess, AnyRightThatReplacesTheContentIsRefused) {
  for (DWORD right : {DWORD{FILE_WRITE_DATA}, DWORD{FILE_APPEND_DATA}, DWORD{DELETE},
                      DWORD{WRITE_DAC}, DWORD{WRITE_OWNER}, DWORD{GENERIC_WRITE},
                      DWORD{GENERIC_ALL}, kModify}) {
    const std::string judged =
        Judge(kAdministrators, {{true, kAdministrators, kFull, 0}, {true, kUsers, right, 0}}, false);
    EXPECT_THAT(judged, HasSubstr(kUsers)) << std::hex << right;
    EXPECT_THAT(judged, HasSubstr("can change it")) << std::hex << right;
  }
  // Attributes and extended attributes leave the content as it is.
  EXPECT_THAT(Judge(kAdministrators,
                    {{true, kUsers, kReadExecute | FILE_WRITE_ATTRIBUTES | FILE_WRITE_EA, 0}},
                    false),
              IsEmpty());
}

TEST(ZrctlFileAccess, AnOwnerOutsideTheAdministrationIsRefused) {
  // The owner may rewrite the permissions whatever they say.
  const std::string judged =
      Judge(kSomeone, {{true, kAdministrators, kFull, 0}, {true, kCreatorOwner, kFull, 0}}, false);
  EXPECT_THAT(judged, HasSubstr("owned by "));
  EXPECT_THAT(judged, HasSubstr(kSomeone));
  EXPECT_THAT(judged, HasSubstr("its owner can change it"));
}

TEST(ZrctlFileAccess, FoldersMayLetOthersAddButNotRemoveOrRename) {
  // C:\ as Windows installs it: signed-in users may add folders, and the
  // "Modify" they hold is for what they create (inherit only).
  EXPECT_THAT(Judge(kTrustedInstaller,
                    {{true, kAdministrators, kFull, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE},
                     {true, kSystem, kFull, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE},
                     {true, kUsers, kReadExecute, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE},
                     {true, kAuthenticatedUsers, kModify,
                      OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE | INHERIT_ONLY_ACE},
                     {true, kAuthenticatedUsers, FILE_APPEND_DATA, 0}},
                    true),
              IsEmpty());
  // ProgramData: users may create files and folders in it.
  EXPECT_THAT(Judge(kSystem,
                    {{true, kSystem, kFull, 0},
                     {true, kAdministrators, kFull, 0},
                     {true, kUsers,
                      FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES,
                      CONTAINER_INHERIT_ACE},
                     {true, kUsers, GENERIC_WRITE, 0}},
                    true),
              IsEmpty());
  // But a right to delete what is inside, the folder itself, or its
  // permissions, lets the profile be swapped.
  for (DWORD right : {DWORD{FILE_DELETE_CHILD}, DWORD{DELETE}, DWORD{WRITE_DAC},
                      DWORD{WRITE_OWNER}, DWORD{GENERIC_ALL}, kModify}) {
    EXPECT_THAT(Judge(kAdministrators, {{true, kAuthenticatedUsers, right, 0}}, true),
                HasSubstr(kAuthenticatedUsers))
        << std::hex << right;
  }
}

TEST(ZrctlFileAccess, DenyingEntriesDoNotExcuseAGrant) {
  const std::string judged = Judge(
      kAdministrators, {{false, kUsers, kFull, 0}, {true, kUsers, kModify, 0}}, false);
  EXPECT_THAT(judged, HasSubstr(kUsers));
  EXPECT_THAT(Judge(kAdministrators, {{false, kSomeone, kFull, 0}}, false), IsEmpty());
}

TEST(ZrctlFileAccess, NoAccessListLetsEveryoneChangeIt) {
  Descriptor descriptor(kAdministrators, {});
  EXPECT_THAT(OthersWhoCanChange(descriptor.Owner(), nullptr, false), HasSubstr("Everyone"));
  // An empty list, unlike none, grants nothing.
  EXPECT_THAT(OthersWhoCanChange(descriptor.Owner(), descriptor.List(), false), IsEmpty());
}

}  // namespace
}  // namespace lumiq::test
