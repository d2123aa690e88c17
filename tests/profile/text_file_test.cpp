// The safe writer on a real file system: every way a write can fail leaves
// the old file as it was and no stray file beside it. (The reader's refusals
// are tested through zrctl, in tests/zrctl/files_test.cpp.)

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "profile/text_file.h"
#include "tests/support/file_size_limit.h"

namespace lumiq::test {
namespace {

namespace fs = std::filesystem;

class TextFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("lumiq-textfile-" + std::to_string(std::random_device()()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(folder_ / "ro", fs::perms::owner_all, ignored);
    fs::remove_all(folder_, ignored);
  }
  std::string File(const std::string& name) const { return (folder_ / name).string(); }
  static void Put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // Names in a folder, to see that a failed write left nothing behind.
  static std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path folder_;
};

TEST_F(TextFileTest, WriterFailuresLeaveTheOldFileAndNothingElse) {
  const std::string old = "qrcode=1\n";
  const std::string big(64 * 1024, 'x');
  fs::create_directory(folder_ / "folder");
  fs::create_directory(folder_ / "ro");
  Put(File("ro/s.profile"), old);
  fs::permissions(folder_ / "ro", fs::perms::owner_read | fs::perms::owner_exec);
  struct Row {
    const char* what;
    std::string path;
    std::string text;
    std::function<bool()> applies;
    std::string message;
  };
  auto always = [] { return true; };
  const std::vector<Row> rows = {
      {"disk full", File("p.profile"), big, always,
       "cannot write " + File("p.profile") + ": File too large (" + File("p.profile") +
           " is unchanged)"},
      {"a folder", File("folder"), old, always,
       "cannot write " + File("folder") + ": a folder, not a file"},
      {"a device", "/dev/null", old, always,
       "cannot write /dev/null: not a regular file (a device, a pipe or a socket)"},
      {"no such folder", File("none/p.profile"), old, always,
       "cannot write " + File("none/p.profile") + ": cannot create a file in " + File("none") +
           ": No such file or directory"},
      // Root writes anywhere; the row means something for everyone else.
      {"read-only folder", File("ro/s.profile"), big, [] { return geteuid() != 0; },
       "cannot write " + File("ro/s.profile") + ": cannot create a file in " + File("ro") +
           ": Permission denied (" + File("ro/s.profile") + " is unchanged)"},
  };
  for (const Row& row : rows) {
    if (!row.applies()) continue;
    Put(File("p.profile"), old);
    const std::vector<std::string> before = Names(folder_);
    std::string error;
    {
      FileSizeLimit diskFull(4096);
      EXPECT_FALSE(profile::WriteFileSafely(row.path, row.text, &error)) << row.what;
    }
    EXPECT_EQ(error, row.message) << row.what;
    EXPECT_EQ(Get(File("p.profile")), old) << row.what;
    EXPECT_EQ(Names(folder_), before) << row.what;
  }
  EXPECT_EQ(Get(File("ro/s.profile")), old);
  EXPECT_EQ(Names(folder_ / "ro"), std::vector<std::string>{"s.profile"});
}

TEST_F(TextFileTest, WriterFollowsLinksAndKeepsTheMode) {
  Put(File("real.seed"), "old\n");
  ASSERT_EQ(chmod(File("real.seed").c_str(), 0640), 0);
  fs::create_symlink("real.seed", folder_ / "link.seed");
  std::string error;

  ASSERT_TRUE(profile::WriteFileSafely(File("link.seed"), "new\n", &error)) << error;

  EXPECT_TRUE(fs::is_symlink(folder_ / "link.seed"));
  EXPECT_EQ(Get(File("real.seed")), "new\n");
  struct stat st;
  ASSERT_EQ(stat(File("real.seed").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Names(folder_), (std::vector<std::string>{"link.seed", "real.seed"}));

  // A new file gets the mode of any new file.
  const mode_t mask = umask(022);
  ASSERT_TRUE(profile::WriteFileSafely(File("fresh"), "x\n", &error)) << error;
  umask(mask);
  ASSERT_EQ(stat(File("fresh").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST_F(TextFileTest, AHeldFileStaysHeldAcrossItsOwnWrites) {
  Put(File("s.seed"), "a=1\n");
  profile::FileHold first;
  std::string error;
  ASSERT_TRUE(first.Take(File("s.seed"), &error)) << error;

  profile::FileHold second;
  EXPECT_FALSE(second.Take(File("s.seed"), &error));
  EXPECT_EQ(error, File("s.seed") + " is in use by another program");

  // The write puts a new file in place; the hold moves to it.
  ASSERT_TRUE(profile::WriteFileSafely(File("s.seed"), "a=2\n", &error, &first)) << error;
  EXPECT_FALSE(second.Take(File("s.seed"), &error));
  first.Release();
  EXPECT_TRUE(second.Take(File("s.seed"), &error)) << error;
}

// A log grows a row at a time: the header only in a new or empty file,
// through a link to its target (the link stays), and anything but a regular
// file refused at once (a FIFO nobody reads would block a plain open).
TEST_F(TextFileTest, AppendAddsRowsUnderOneHeaderAndRefusesWhatIsNoFile) {
  std::string error;
  const std::string log = File("station.csv");
  EXPECT_TRUE(profile::AppendToFile(log, "head\n", "row 1\n", &error)) << error;
  EXPECT_TRUE(profile::AppendToFile(log, "head\n", "row 2\n", &error)) << error;
  EXPECT_EQ(Get(log), "head\nrow 1\nrow 2\n");

  fs::create_symlink("station.csv", folder_ / "today.csv");
  EXPECT_TRUE(profile::AppendToFile(File("today.csv"), "head\n", "row 3\n", &error)) << error;
  EXPECT_EQ(Get(log), "head\nrow 1\nrow 2\nrow 3\n");
  EXPECT_TRUE(fs::is_symlink(folder_ / "today.csv"));

  Put(File("empty.csv"), "");
  EXPECT_TRUE(profile::AppendToFile(File("empty.csv"), "head\n", "row\n", &error)) << error;
  EXPECT_EQ(Get(File("empty.csv")), "head\nrow\n");

  ASSERT_EQ(mkfifo(File("fifo").c_str(), 0600), 0);
  fs::create_directory(folder_ / "folder");
  for (const char* name : {"fifo", "folder"}) {
    EXPECT_FALSE(profile::AppendToFile(File(name), "head\n", "row\n", &error)) << name;
    EXPECT_NE(error.find(File(name)), std::string::npos) << error;
  }
  EXPECT_EQ(Names(folder_), (std::vector<std::string>{"empty.csv", "fifo", "folder",
                                                      "station.csv", "today.csv"}));
}

// What another user may plant in a sticky folder (/tmp, or their own): the
// writer follows a link there only when it is its own or root's, whatever
// fs.protected_symlinks says, and never writes through one it refuses.
// Links are planted as "nobody", so only root can run this.
TEST_F(TextFileTest, LinksPlantedInASharedFolderAreNotFollowed) {
  if (geteuid() != 0) GTEST_SKIP() << "planting links as another user needs root";
  constexpr uid_t kNobody = 65534;
  // Root's own files in a folder only root may enter.
  fs::permissions(folder_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  const fs::path secret = folder_ / "root-only";
  fs::create_directory(secret);
  fs::permissions(secret, fs::perms::owner_all);
  Put((secret / "file").string(), "root's\n");
  // /tmp's shape: sticky, writable by all; one owned by root, one by nobody.
  const fs::path shared = folder_ / "shared";
  const fs::path theirs = folder_ / "theirs";
  for (const fs::path& folder : {shared, theirs}) {
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms::all | fs::perms::sticky_bit);
  }
  ASSERT_EQ(chown(theirs.c_str(), kNobody, kNobody), 0);
  const std::string target = (secret / "file").string();
  auto plantAsNobody = [](const std::string& to, const fs::path& at) {
    pid_t child = fork();
    if (child == 0) {
      if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(2);
      _exit(symlink(to.c_str(), at.c_str()) == 0 ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
  };
  ASSERT_TRUE(plantAsNobody(target, shared / "golden.profile"));
  ASSERT_TRUE(plantAsNobody(secret.string(), shared / "dir"));
  ASSERT_TRUE(plantAsNobody("../root-only/file", shared / "relative"));

  // Refused: at the end of the path, on the way, for a trace, and before
  // any work.
  for (const fs::path& planted :
       {shared / "golden.profile", shared / "dir" / "file", shared / "relative"}) {
    std::string error;
    EXPECT_FALSE(profile::WriteFileSafely(planted.string(), "planted\n", &error)) << planted;
    EXPECT_NE(error.find("is another user's symbolic link in a sticky folder"),
              std::string::npos)
        << error;
    EXPECT_FALSE(profile::CheckWritableTarget(planted.string(), &error)) << planted;
    EXPECT_LT(profile::StartFile(planted.string(), &error), 0) << planted;
    EXPECT_FALSE(profile::AppendToFile(planted.string(), "", "planted\n", &error)) << planted;
  }
  EXPECT_EQ(Get(target), "root's\n");
  EXPECT_EQ(Names(secret), std::vector<std::string>{"file"});
  EXPECT_EQ(Names(shared), (std::vector<std::string>{"dir", "golden.profile", "relative"}));
  EXPECT_TRUE(fs::is_symlink(shared / "golden.profile"));

  // Followed: the writer's own link. Refused: the folder owner's link in
  // their own sticky folder (they would choose what root overwrites), and
  // for a file only created, even the writer's own link.
  std::string error;
  fs::create_symlink(target, shared / "mine");
  EXPECT_TRUE(profile::WriteFileSafely((shared / "mine").string(), "mine\n", &error)) << error;
  EXPECT_EQ(Get(target), "mine\n");
  EXPECT_FALSE(profile::CreateFileSafely((shared / "mine").string(), "shot\n", &error));
  ASSERT_TRUE(plantAsNobody(target, theirs / "owners"));
  EXPECT_FALSE(profile::WriteFileSafely((theirs / "owners").string(), "owners\n", &error));
  EXPECT_LT(profile::StartFile((theirs / "owners").string(), &error), 0);
  EXPECT_EQ(Get(target), "mine\n");
  EXPECT_TRUE(fs::is_symlink(theirs / "owners"));
}

// Traces and screenshots: an old file is replaced, a link at the name is
// refused and left alone whoever made it, a linked folder is followed.
TEST_F(TextFileTest, FilesOnlyCreatedAreNeverWrittenThroughALink) {
  std::string error;
  Put(File("elsewhere"), "kept\n");
  fs::create_symlink(File("elsewhere"), folder_ / "trace.txt");
  EXPECT_FALSE(profile::CreateFileSafely(File("trace.txt"), "trace\n", &error));
  EXPECT_NE(error.find("symbolic link"), std::string::npos) << error;
  EXPECT_LT(profile::StartFile(File("trace.txt"), &error), 0);
  EXPECT_EQ(Get(File("elsewhere")), "kept\n");
  EXPECT_TRUE(fs::is_symlink(folder_ / "trace.txt"));

  Put(File("old.png"), "old");
  EXPECT_TRUE(profile::CreateFileSafely(File("old.png"), "new", &error)) << error;
  EXPECT_EQ(Get(File("old.png")), "new");
  fs::create_directory(folder_ / "real");
  fs::create_directory_symlink(folder_ / "real", folder_ / "shots");
  EXPECT_TRUE(profile::CreateFileSafely(File("shots/a.png"), "png", &error)) << error;
  EXPECT_EQ(Get(File("real/a.png")), "png");
  EXPECT_FALSE(profile::CreateFileSafely(File("real"), "png", &error));
}

// A secret is its owner's alone, new or replacing a file others could read.
TEST_F(TextFileTest, OwnerOnlyFilesLoseOthersPermissions) {
  std::string error;
  const auto mode = [](const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 0777;
  };
  ASSERT_TRUE(profile::WriteFileSafely(File("new.profile"), "k=v\n", &error, nullptr,
                                       profile::FileAccess::kOwnerOnly))
      << error;
  EXPECT_EQ(mode(File("new.profile")), 0600u);
  Put(File("old.profile"), "k=v\n");
  chmod(File("old.profile").c_str(), 0644);
  ASSERT_TRUE(profile::WriteFileSafely(File("old.profile"), "k=w\n", &error, nullptr,
                                       profile::FileAccess::kOwnerOnly))
      << error;
  EXPECT_EQ(mode(File("old.profile")), 0600u);
  EXPECT_EQ(Names(folder_), (std::vector<std::string>{"new.profile", "old.profile"}));
}

}  // namespace
}  // namespace lumiq::test
