// The files zrctl is given, as a new user and a hostile one give them: each
// refusal names the file, has its exit status and sends nothing (--trace
// shows no frame); each write leaves the old file or the whole new one.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "profile/text_file.h"
#include "tests/support/file_size_limit.h"
#include "tests/zrctl/zrctl_test_support.h"
#include "tools/zrctl/zrctl.h"

namespace lumiq::test {
namespace {

using ::testing::HasSubstr;

// The frames --trace wrote: lines starting with "> " or "< ".
int TracedFrames(const std::string& err) {
  int frames = 0;
  for (const std::string& line : Lines(err)) {
    if (line.rfind("> ", 0) == 0 || line.rfind("< ", 0) == 0) ++frames;
  }
  return frames;
}

class ZrctlFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { TempFolder::Write(seed_, kSeed); }
  static constexpr const char* kSeed = "# bench\nqrcode=1\ndmcode=1\n";
  TempFolder folder_;
  const std::string seed_ = folder_.File("scanner.seed");
};

TEST_F(ZrctlFilesTest, ProfilesAreReadOnlyWhenTheyAreSmallRegularFilesOfSettings) {
  std::filesystem::create_directory(folder_.File("folder"));
  ASSERT_EQ(mkfifo(folder_.File("fifo").c_str(), 0600), 0);
  TempFolder::Write(folder_.File("huge"), "");
  std::filesystem::resize_file(folder_.File("huge"), 300u << 20);
  struct Row {
    const char* what;
    std::string text;  // written to the profile; unused with `path`
    std::string path;  // a given path instead of a written profile
    std::vector<std::string> command;
    int status;
    std::string message;  // in stderr; the profile's name stands for "P"
    std::string seedAfter;  // what the scanner kept: the same text when nothing was sent
  };
  const std::string kept = kSeed;
  const std::string key300(300, 'k');
  const std::vector<Row> rows = {
      {"a folder", "", folder_.File("folder"), {"restore"}, 2, "P is a folder, not a file; nothing sent", kept},
      {"a folder, diff", "", folder_.File("folder"), {"diff"}, 2, "P is a folder", kept},
      {"a folder, dry run", "", folder_.File("folder"), {"restore", "--dry-run"}, 2, "P is a folder", kept},
      {"/dev/zero", "", "/dev/zero", {"restore"}, 2, "P is not a regular file", kept},
      {"/dev/urandom", "", "/dev/urandom", {"diff"}, 2, "P is not a regular file", kept},
      {"a pipe nobody writes to", "", folder_.File("fifo"), {"restore"}, 2, "P is not a regular file", kept},
      {"300 MB", "", folder_.File("huge"), {"restore"}, 2, "P is larger than 1 MiB", kept},
      {"empty", "", "", {"restore"}, 2, "P: no setting in the file; nothing sent", kept},
      {"comments only, diff", "# nothing\n\n", "", {"diff"}, 2, "P: no setting in the file", kept},
      // A lone commit is no restore.
      {"the firmware version only", "masterver=V2.0.7\n", "", {"restore"}, 2,
       "P: no setting in the file; nothing sent", kept},
      {"the firmware version only, station", "masterver=V2.0.7\n", "", {"provision"}, 2,
       "P: no setting in the file; nothing sent", kept},
      {"only what each scanner keeps, --all", "masterver=V2.0.7\ndeviceno=7\n", "",
       {"--all", "restore"}, 2, "P: no setting in the file; deviceno not sent", kept},
      {"raw control byte", "qrcode=0\ndmcode=0\x1B\n", "", {"restore"}, 2,
       "P:2: value: a raw control byte at column 9 (write it as \\x1B); nothing sent", kept},
      {"key of 300 bytes, diff", key300 + "=1\n", "", {"diff"}, 2,
       "P:1: a key has 1 to 255 bytes: '" + std::string(64, 'k') + "... (300 bytes)'", kept},
      {"key of 300 bytes, restore", "qrcode=0\n" + key300 + "=1\n", "", {"restore"}, 2,
       "P:2: a key has 1 to 255 bytes", kept},
      {"UTF-16 with its mark", std::string("\xFF\xFEq\0=\0" "0\0\n\0", 10), "", {"restore"}, 2,
       "P:1: UTF-16 text: save it as UTF-8; nothing sent", kept},
      {"UTF-16 without a mark", std::string("q\0r\0=\0" "0\0", 8), "", {"diff"}, 2,
       "P:1: UTF-16 text: save it as UTF-8", kept},
      {"a key with a blank after it", "qrcode =0\n", "", {"restore", "--dry-run"}, 0,
       "P:1: note: 'qrcode ' is not a key zrctl knows", kept},
      {"CR line ends", "qrcode=0\rdmcode=0\r", "", {"restore"}, 0, "", "# bench\nqrcode=0\ndmcode=0\n"},
      {"byte order mark", "\xEF\xBB\xBFqrcode=0\r\n", "", {"restore"}, 0, "", "# bench\nqrcode=0\ndmcode=1\n"},
      {"indented comment", "  # old: qrcode=1\ndmcode=0\n", "", {"restore"}, 0, "", "# bench\nqrcode=1\ndmcode=0\n"},
  };
  for (const Row& row : rows) {
    TempFolder::Write(seed_, kSeed);
    std::string path = row.path;
    if (path.empty()) {
      path = folder_.File("given.profile");
      TempFolder::Write(path, row.text);
    }
    std::vector<std::string> args = {"--simulate=" + seed_, "--trace"};
    args.insert(args.end(), row.command.begin(), row.command.end());
    args.push_back(path);

    const ZrctlResult result = RunZrctl(args);

    EXPECT_EQ(result.status, row.status) << row.what << "\n" << result.err;
    std::string message = row.message;
    if (message.rfind("P", 0) == 0) message = path + message.substr(1);
    EXPECT_THAT(result.err, HasSubstr(message)) << row.what;
    if (row.status != 0) {
      EXPECT_EQ(TracedFrames(result.err), 0) << row.what;
      EXPECT_EQ(result.out, "") << row.what;
    }
    EXPECT_EQ(TempFolder::Read(seed_), row.seedAfter) << row.what;
  }
}

TEST_F(ZrctlFilesTest, ASimulatedScannerFileIsRefusedBeforeAnythingRuns) {
  std::filesystem::create_directory(folder_.File("folder"));
  profile::FileHold otherRun;
  std::string error;
  ASSERT_TRUE(otherRun.Take(seed_, &error)) << error;
  struct Row {
    std::string file;
    std::string message;
  };
  const std::vector<Row> rows = {
      {folder_.File("folder"), folder_.File("folder") + " is a folder, not a file"},
      {"/dev/zero", "/dev/zero is not a regular file (a device, a pipe or a socket)"},
      {seed_, seed_ + " is in use by another program"},
  };
  for (const Row& row : rows) {
    const ZrctlResult result =
        RunZrctl({"--simulate=" + row.file, "--trace", "set", "--commit", "qrcode=0"});
    EXPECT_EQ(result.status, 1) << row.file;
    EXPECT_EQ(result.err, "zrctl: simulated scanner: " + row.message + "\n");
  }
  EXPECT_EQ(TempFolder::Read(seed_), kSeed);

  // Once the other run is over, the file is free again.
  otherRun.Release();
  EXPECT_EQ(RunZrctl({"--simulate=" + seed_, "set", "--commit", "qrcode=0"}).status, 0);
  EXPECT_EQ(TempFolder::Read(seed_), "# bench\nqrcode=0\ndmcode=1\n");
}

TEST_F(ZrctlFilesTest, AFailedWriteKeepsTheOldFileAndFailsTheRun) {
  // A dump over an old profile on a full disk.
  const std::string golden = folder_.File("golden.profile");
  TempFolder::Write(golden, "qrcode=1\n");
  TempFolder::Write(seed_, "qrcode=1\ncodeprefix=" + std::string(600, 'x') + "\n");
  ZrctlResult dump;
  {
    FileSizeLimit diskFull(300);
    dump = RunZrctl({"--simulate=" + seed_, "dump", golden});
  }
  EXPECT_EQ(dump.status, 1);
  EXPECT_THAT(dump.err, HasSubstr("cannot write " + golden + ": File too large (" + golden +
                                  " is unchanged)"));
  EXPECT_EQ(TempFolder::Read(golden), "qrcode=1\n");

  // A target that can never be a profile is refused before the scanner is
  // asked for anything.
  const ZrctlResult device = RunZrctl({"--simulate=" + seed_, "--trace", "dump", "/dev/null"});
  EXPECT_EQ(device.status, 2);
  EXPECT_EQ(device.err, "zrctl: cannot write /dev/null: not a regular file (a device, a pipe or a socket)\n");

  // With --all, the scanner whose commit was not written back failed.
  const std::string other = folder_.File("other.seed");
  TempFolder::Write(seed_, "qrcode=1\n");
  TempFolder::Write(other, "qrcode=1\n");
  ZrctlResult all;
  {
    FileSizeLimit diskFull(100);
    all = RunZrctl({"--simulate=" + seed_, "--simulate=" + other, "--all", "set", "--commit",
                    "qrcode=0", "codeprefix=" + std::string(200, 'y')});
  }
  EXPECT_EQ(all.status, 1);
  const std::vector<std::string> lines = Lines(all.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("sim:scanner0/if1: failed: simulated scanner: the commit could not be "
                           "written back: cannot write " + seed_, 0), 0u) << lines[0];
  EXPECT_THAT(lines[1], HasSubstr(": failed: "));
  EXPECT_EQ(TempFolder::Read(seed_), "qrcode=1\n");
}

TEST_F(ZrctlFilesTest, OutputThatCannotBeWrittenIsAnError) {
  std::ofstream full("/dev/full");
  std::ostringstream err;
  const std::string simulate = "--simulate=" + seed_;
  const char* argv[] = {"zrctl", simulate.c_str(), "get", "qrcode"};
  EXPECT_EQ(zrctl::Main(4, argv, full, err), 1);
  EXPECT_EQ(err.str(), "zrctl: cannot write to standard output: No space left on device\n");
}

TEST_F(ZrctlFilesTest, LongKeysAndValuesAreNamedNotEchoedWhole) {
  TempFolder::Write(seed_, "qrcode=1\ncodeprefix=" + std::string(1500, 'v') + "\n");
  const ZrctlResult get = RunZrctl({"--simulate=" + seed_, "get", "codeprefix", "qrcode"});
  EXPECT_EQ(get.status, 1);
  EXPECT_EQ(get.out, "qrcode=1\n");
  EXPECT_EQ(get.err, "zrctl: get codeprefix failed: the scanner's value is 1500 bytes, longer "
                     "than the 1023 bytes zrctl reads\n");

  const ZrctlResult dump = RunZrctl({"--simulate=" + seed_, "dump"});
  EXPECT_EQ(dump.status, 1);
  EXPECT_THAT(dump.out, HasSubstr("\n# codeprefix: value of 1500 bytes, longer than zrctl "
                                  "reads, value not saved\n"));

  const std::string hugeKey(10 << 20, 'k');
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--simulate=" + seed_, "--trace", "get", hugeKey},
        std::vector<std::string>{"--simulate=" + seed_, "--trace", "set", hugeKey + "=1"}}) {
    const ZrctlResult result = RunZrctl(args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "zrctl: a key has 1 to 255 bytes: '" + std::string(64, 'k') +
                              "... (10485760 bytes)'; nothing sent\n");
  }
}

}  // namespace
}  // namespace lumiq::test
