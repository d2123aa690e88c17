// zrctl provision as the operator runs it: the real program on simulated
// scanners, ended by a signal from outside or by a reader that goes away,
// and two stations starting on one new log.

#ifndef _WIN32

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/zrctl/zrctl_test_support.h"

namespace lumiq::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr char kProfile[] = "masterver=V2.0.7\nqrcode=0\ncodeprefix=SN\n";
constexpr char kSeed[] = "masterver=V2.0.7\ndeviceno=A-1\nqrcode=1\n";
constexpr char kProvisioned[] = "masterver=V2.0.7\ndeviceno=A-1\nqrcode=0\ncodeprefix=SN\n";

// One zrctl started with its standard output on a pipe the test reads and
// its messages in a file.
class Station {
 public:
  Station(const std::vector<std::string>& args, const std::string& messages) {
    int pipe[2];
    EXPECT_EQ(::pipe(pipe), 0);
    pid_ = fork();
    if (pid_ == 0) {
      dup2(pipe[1], 1);
      const int err = open(messages.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(err, 2);
      close(pipe[0]);
      std::vector<std::string> all = {LUMIQ_ZRCTL_PATH};
      all.insert(all.end(), args.begin(), args.end());
      std::vector<char*> argv;
      for (std::string& arg : all) argv.push_back(arg.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(pipe[1]);
    out_ = pipe[0];
  }
  ~Station() {
    if (out_ >= 0) close(out_);
  }

  // The next line of its output, "" at its end.
  std::string ReadLine() {
    std::string line;
    char c;
    while (out_ >= 0 && read(out_, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }
  void CloseOutput() {
    close(out_);
    out_ = -1;
  }
  void Signal(int signal) { kill(pid_, signal); }
  // The wait status.
  int Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    return status;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};

class ZrctlStationProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TempFolder::Write(profile_, kProfile);
    TempFolder::Write(seeds_[0], kSeed);
    TempFolder::Write(seeds_[1], kSeed);
  }
  std::vector<std::string> Args(const std::string& log) {
    return {"--simulate=" + seeds_[0], "--simulate=" + seeds_[1], "provision", profile_, "--log",
            log};
  }
  // The log's lines after the header, each checked to be a whole row for a
  // scanner whose seed file holds the profile.
  size_t Rows(const std::string& log) {
    const std::vector<std::string> lines = Lines(TempFolder::Read(log));
    EXPECT_FALSE(lines.empty());
    if (lines.empty()) return 0;
    EXPECT_EQ(lines[0], "time,port,deviceno,firmware,result,failed_keys\r");
    size_t provisioned = 0;
    for (const std::string& seed : seeds_) provisioned += TempFolder::Read(seed) == kProvisioned;
    for (size_t i = 1; i < lines.size(); ++i) {
      EXPECT_THAT(lines[i], testing::MatchesRegex("20..-.*,1-[12],A-1,V2.0.7,ok,\r"));
    }
    EXPECT_EQ(lines.size() - 1, provisioned);
    return lines.size() - 1;
  }

  TempFolder folder_;
  const std::string profile_ = folder_.File("golden.profile");
  const std::string seeds_[2] = {folder_.File("a.seed"), folder_.File("b.seed")};
  const std::string messages_ = folder_.File("messages");
};

// A hang-up or a kill once the station runs: whatever it was doing, the
// scanner under way is finished and recorded, and the summary says so.
TEST_F(ZrctlStationProcessTest, HangUpAndTerminateEndItAsCtrlCDoes) {
  for (int signal : {SIGHUP, SIGTERM}) {
    SCOPED_TRACE(signal);
    SetUp();
    const std::string log = folder_.File("station" + std::to_string(signal) + ".csv");
    Station station(Args(log), messages_);
    ASSERT_THAT(station.ReadLine(), StartsWith("provisioning with"));
    station.Signal(signal);
    std::vector<std::string> lines;
    for (std::string line = station.ReadLine(); !line.empty(); line = station.ReadLine()) {
      lines.push_back(line);
    }
    const int status = station.Wait();
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << TempFolder::Read(messages_);
    const size_t rows = Rows(log);
    ASSERT_EQ(lines.size(), rows + 1);
    EXPECT_THAT(lines.back(), StartsWith("provisioned " + std::to_string(rows) + " scanner"));
  }
}

// `| head -1`: the reader is gone after the first line. The write that
// fails ends the station, not the program: the scanner done is recorded and
// the failed output is reported. (A station quicker than the reader has
// written every line before it left, and ends as usual.)
TEST_F(ZrctlStationProcessTest, AReaderThatGoesAwayEndsTheStationNotTheProgram) {
  const std::string log = folder_.File("station.csv");
  std::vector<std::string> args = Args(log);
  args.insert(args.end(), {"--count", "2"});
  Station station(args, messages_);
  ASSERT_THAT(station.ReadLine(), StartsWith("provisioning with"));
  station.CloseOutput();
  const int status = station.Wait();
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  if (WEXITSTATUS(status) != 0) {
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_THAT(TempFolder::Read(messages_), HasSubstr("cannot write to standard output"));
  }
  EXPECT_GE(Rows(log), 1u);
}

// Two stations starting on one new log at once: one header, both rows.
TEST_F(ZrctlStationProcessTest, TwoStationsOnANewLogWriteOneHeader) {
  for (int round = 0; round < 4; ++round) {
    SetUp();
    const std::string log = folder_.File("shared" + std::to_string(round) + ".csv");
    Station first({"--simulate=" + seeds_[0], "provision", profile_, "--log", log, "--count", "1"},
                  messages_ + "1");
    Station second({"--simulate=" + seeds_[1], "provision", profile_, "--log", log, "--count", "1"},
                   messages_ + "2");
    EXPECT_EQ(first.Wait(), 0) << TempFolder::Read(messages_ + "1");
    EXPECT_EQ(second.Wait(), 0) << TempFolder::Read(messages_ + "2");
    EXPECT_EQ(Rows(log), 2u);
  }
}

}  // namespace
}  // namespace lumiq::test

#endif  // _WIN32
