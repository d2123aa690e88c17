// The bounded reader and the safe writer on a real file system: every way a
// write can fail leaves the old file as it was and no stray file beside it.

#include <sys/stat.h>
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

TEST_F(TextFileTest, ReaderRefusesWhatIsNotASmallRegularFile) {
  fs::create_directory(folder_ / "folder");
  ASSERT_EQ(mkfifo(File("fifo").c_str(), 0600), 0);
  Put(File("limit"), std::string(profile::kTextFileLimit, 'a'));
  Put(File("sparse"), "");
  fs::resize_file(File("sparse"), 300u << 20);  // 300 MB of nothing, read as zeros
  struct Row {
    std::string path;
    std::string message;  // empty: read
  };
  const std::vector<Row> rows = {
      {File("folder"), File("folder") + " is a folder, not a file"},
      {File("fifo"), File("fifo") + " is not a regular file (a device, a pipe or a socket)"},
      {"/dev/zero", "/dev/zero is not a regular file (a device, a pipe or a socket)"},
      {"/dev/urandom", "/dev/urandom is not a regular file (a device, a pipe or a socket)"},
      {File("sparse"), File("sparse") + " is larger than 1 MiB: not a profile or seed file"},
      {File("missing"), "cannot open " + File("missing") + ": No such file or directory"},
      {File("limit"), ""},
  };
  for (const Row& row : rows) {
    std::string text = "untouched";
    std::string error;
    EXPECT_EQ(profile::ReadTextFile(row.path, &text, &error), row.message.empty()) << row.path;
    EXPECT_EQ(error, row.message);
    if (!row.message.empty()) {
      EXPECT_EQ(text, "untouched") << row.path;
    }
  }
}

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

}  // namespace
}  // namespace lumiq::test
