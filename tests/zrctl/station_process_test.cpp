// zrctl provision as the operator runs it: the real program on simulated
// scanners, ended from outside, and two stations starting on one new log.

#ifndef _WIN32

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/zrctl/zrctl_test_support.h"

namespace lumiq::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr char kSeed[] = "masterver=V2.0.7\ndeviceno=A-1\nqrcode=1\n";
constexpr char kProvisioned[] = "masterver=V2.0.7\ndeviceno=A-1\nqrcode=0\n";

class ZrctlStationProcessTest : public ::testing::Test {
 protected:
  void SetUp() override { TempFolder::Write(profile_, "masterver=V2.0.7\nqrcode=0\n"); }
  void Reset() {
    for (const std::string& seed : seeds_) TempFolder::Write(seed, kSeed);
    std::remove(log_.c_str());
  }
  // Starts `zrctl --simulate=SEED... provision PROFILE ARGS`, its output on
  // a pipe read through `out_`, its messages in a file.
  pid_t Start(const std::vector<std::string>& seeds, const std::vector<std::string>& args,
              const std::string& messages, const std::string& command = "provision") {
    int pipe[2];
    EXPECT_EQ(::pipe(pipe), 0);
    const pid_t pid = fork();
    if (pid == 0) {
      dup2(pipe[1], 1);
      dup2(open(messages.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
      std::vector<std::string> all = {LUMIQ_ZRCTL_PATH};
      for (const std::string& seed : seeds) all.push_back("--simulate=" + seed);
      all.insert(all.end(), {command, profile_});
      all.insert(all.end(), args.begin(), args.end());
      std::vector<char*> argv;
      for (std::string& arg : all) argv.push_back(arg.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(pipe[1]);
    out_ = pipe[0];
    return pid;
  }
  std::string ReadLine() {
    std::string line;
    for (char c; read(out_, &c, 1) == 1 && c != '\n';) line += c;
    return line;
  }
  // The rows after the one header, each a scanner whose file holds the
  // profile.
  size_t Rows(const std::string& log) {
    const std::vector<std::string> lines = Lines(TempFolder::Read(log));
    EXPECT_THAT(lines, testing::Contains(HasSubstr("time,")).Times(1));
    size_t provisioned = 0;
    for (const std::string& seed : seeds_) provisioned += TempFolder::Read(seed) == kProvisioned;
    EXPECT_EQ(lines.size(), provisioned + 1);
    return provisioned;
  }

  TempFolder folder_;
  const std::string profile_ = folder_.File("golden.profile");
  const std::string seeds_[2] = {folder_.File("a.seed"), folder_.File("b.seed")};
  const std::string log_ = folder_.File("station.csv");
  const std::string messages_ = folder_.File("messages");
  int out_ = -1;
};

// A hang-up, a kill, or the reader gone (`| head -1`) once the station
// runs: the scanner under way is finished and recorded, the summary written
// (or its failed write reported), and the program is not killed.
TEST_F(ZrctlStationProcessTest, SignalsAndAClosedOutputEndItAsCtrlCDoes) {
  for (int signal : {SIGHUP, SIGTERM, SIGPIPE}) {
    SCOPED_TRACE(signal);
    Reset();
    // The reader gone, the station stops at its first failed write; one
    // quicker than the reader has written every line and ends at --count.
    const bool closed = signal == SIGPIPE;
    std::vector<std::string> args = {"--log", log_};
    if (closed) args.insert(args.end(), {"--count", "2"});
    const pid_t pid = Start({seeds_[0], seeds_[1]}, args, messages_);
    ASSERT_THAT(ReadLine(), StartsWith("provisioning with"));
    std::vector<std::string> lines;
    if (!closed) {
      kill(pid, signal);
      for (std::string line = ReadLine(); !line.empty(); line = ReadLine()) lines.push_back(line);
    }
    close(out_);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    const size_t rows = Rows(log_);
    if (closed) {
      EXPECT_GE(rows, 1u);
      if (WEXITSTATUS(status) != 0) {
        EXPECT_THAT(TempFolder::Read(messages_), HasSubstr("cannot write to standard output"));
      }
      continue;
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << TempFolder::Read(messages_);
    ASSERT_EQ(lines.size(), rows + 1);
    EXPECT_THAT(lines.back(), StartsWith("provisioned " + std::to_string(rows) + " scanner"));
  }
}

// Two stations starting on one new log at once: one header, both rows.
TEST_F(ZrctlStationProcessTest, TwoStationsOnANewLogWriteOneHeader) {
  Reset();
  const pid_t first = Start({seeds_[0]}, {"--log", log_, "--count", "1"}, messages_ + "1");
  const int firstOut = out_;
  const pid_t second = Start({seeds_[1]}, {"--log", log_, "--count", "1"}, messages_ + "2");
  for (pid_t pid : {first, second}) {
    int status = -1;
    waitpid(pid, &status, 0);
    EXPECT_EQ(status, 0) << TempFolder::Read(messages_ + "1") << TempFolder::Read(messages_ + "2");
  }
  close(firstOut);
  close(out_);
  EXPECT_EQ(Rows(log_), 2u);
}

// Under serve a hang-up, as the service manager's reload sends it, reads
// the profile again and ends nothing; SIGTERM ends it as Ctrl+C does.
TEST_F(ZrctlStationProcessTest, UnderServeAHangUpReloadsAndATermEnds) {
  if (geteuid() != 0) GTEST_SKIP() << "a served profile must belong to root";
  Reset();
  const pid_t pid = Start({seeds_[0]}, {"--log", log_}, messages_, "serve");
  ASSERT_THAT(ReadLine(), StartsWith("serving " + profile_));
  EXPECT_THAT(ReadLine(), HasSubstr("ok: changed qrcode"));
  kill(pid, SIGHUP);
  EXPECT_EQ(ReadLine(), "reloaded " + profile_ + ": the scanners present are checked again");
  EXPECT_THAT(ReadLine(), HasSubstr("compliant: nothing sent"));
  kill(pid, SIGTERM);
  EXPECT_THAT(ReadLine(), StartsWith("served 2 scanners: 1 ok, 1 compliant"));
  close(out_);
  int status = -1;
  waitpid(pid, &status, 0);
  EXPECT_EQ(status, 0) << TempFolder::Read(messages_);
}

}  // namespace
}  // namespace lumiq::test

#endif  // _WIN32
