#pragma once

#include <string>
#include <vector>

namespace lumiq::zrctl {

enum class Command {
  kHelp,
  kList,
  kVersion,
  kGet,
  kSet,
  kCommit,
  kDump,
  kRestore,
  kDiff,
  kProvision,
  kKeys,
  kServe,
  kCheck,
  kApply,
};

// One run of zrctl as the command line asks for it.
struct Invocation {
  Command command = Command::kHelp;
  std::vector<std::string> operands;  // keys, KEY=VALUE pairs or a file

  // One simulated scanner per --simulate, in order; an empty name is the
  // built-in demo scanner, any other a seed file read and written back.
  std::vector<std::string> simulated;
  // --simulate-pace: how long each report to or from a simulated scanner
  // takes, in microseconds, as a real scanner's would; -1 when not given.
  int simulatePaceMicros = -1;
  bool trace = false;
  bool all = false;
  std::string device;  // --device PATH; empty: discovery
  bool commit = false;  // set --commit
  bool dryRun = false;  // restore --dry-run
  bool withDeviceNumber = false;  // restore, check, apply --all --with-deviceno
  bool noVerify = false;  // restore --no-verify: no read-back after the commit
  bool noSecrets = false;  // dump --no-secrets: the Wi-Fi password left out
  bool json = false;  // --json: the result as one JSON document on stdout
  bool checkOnly = false;  // apply --check: what would change, nothing sent
  bool summary = false;  // check, apply --summary: the one closing line alone
  bool markdown = false;  // keys --markdown: the reference as docs/settings.md
  std::string logFile;  // provision, serve --log FILE: a CSV row a scanner
  bool anyFirmware = false;  // provision, serve --any-firmware: also where masterver differs
  int count = 0;  // provision --count N: ends after N scanners; 0: at Ctrl+C
  int jobs = 0;  // --jobs N: at most N scanners at once; 0: kDefaultJobs
};

// Scanners served at once without --jobs.
inline constexpr int kDefaultJobs = 16;

// false with a one-line reason in `error` when the command line is unusable.
bool ParseArguments(const std::vector<std::string>& args, Invocation* invocation,
                    std::string* error);

std::string UsageText();

}  // namespace lumiq::zrctl
