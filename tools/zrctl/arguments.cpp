#include "tools/zrctl/arguments.h"

#include <algorithm>
#include <utility>

#include "sim/sim_pace.h"

namespace lumiq::zrctl {

namespace {

struct CommandName {
  const char* name;
  Command command;
};

constexpr CommandName kCommands[] = {
    {"help", Command::kHelp},       {"list", Command::kList},
    {"version", Command::kVersion}, {"get", Command::kGet},
    {"set", Command::kSet},         {"commit", Command::kCommit},
    {"dump", Command::kDump},       {"restore", Command::kRestore},
    {"diff", Command::kDiff},       {"provision", Command::kProvision},
    {"check", Command::kCheck},     {"apply", Command::kApply},
    {"serve", Command::kServe},     {"keys", Command::kKeys},
};

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

// The switch an option turns on, or nullptr when it is not one.
bool* FlagOf(const std::string& arg, Invocation* invocation) {
  if (arg == "--trace") return &invocation->trace;
  if (arg == "--all") return &invocation->all;
  if (arg == "--commit") return &invocation->commit;
  if (arg == "--dry-run") return &invocation->dryRun;
  if (arg == "--with-deviceno") return &invocation->withDeviceNumber;
  if (arg == "--no-verify") return &invocation->noVerify;
  if (arg == "--no-secrets") return &invocation->noSecrets;
  if (arg == "--json") return &invocation->json;
  if (arg == "--any-firmware") return &invocation->anyFirmware;
  if (arg == "--check") return &invocation->checkOnly;
  if (arg == "--summary") return &invocation->summary;
  if (arg == "--markdown") return &invocation->markdown;
  return nullptr;
}

// Operand counts and option combinations each command accepts.
bool CheckCombination(const Invocation& invocation, std::string* error) {
  const size_t count = invocation.operands.size();
  switch (invocation.command) {
    case Command::kHelp:
    case Command::kList:
    case Command::kVersion:
    case Command::kCommit:
      if (count != 0) {
        *error = "this command takes no operands";
        return false;
      }
      break;
    case Command::kGet:
      if (count == 0) {
        *error = "get needs at least one KEY";
        return false;
      }
      break;
    case Command::kSet:
      if (count == 0) {
        *error = "set needs at least one KEY=VALUE";
        return false;
      }
      break;
    case Command::kDump:
      if (count > 1) {
        *error = "dump takes at most one FILE";
        return false;
      }
      if (count == 1 && invocation.all) {
        *error = "dump --all writes to standard output only";
        return false;
      }
      break;
    case Command::kKeys:
      if (count > 1) {
        *error = "keys takes at most one KEY";
        return false;
      }
      break;
    case Command::kRestore:
    case Command::kDiff:
    case Command::kProvision:
    case Command::kServe:
    case Command::kCheck:
    case Command::kApply:
      if (count != 1) {
        *error = "this command needs exactly one FILE";
        return false;
      }
      break;
  }
  if (invocation.commit && invocation.command != Command::kSet) {
    *error = "--commit belongs to set";
    return false;
  }
  if (invocation.markdown && invocation.command != Command::kKeys) {
    *error = "--markdown belongs to keys";
    return false;
  }
  if (invocation.dryRun && invocation.command != Command::kRestore) {
    *error = "--dry-run belongs to restore";
    return false;
  }
  if (invocation.noVerify && invocation.command != Command::kRestore) {
    *error = "--no-verify belongs to restore";
    return false;
  }
  if (invocation.noSecrets && invocation.command != Command::kDump) {
    *error = "--no-secrets belongs to dump";
    return false;
  }
  const bool keepsCompliance =
      invocation.command == Command::kCheck || invocation.command == Command::kApply;
  if (invocation.withDeviceNumber &&
      !((invocation.command == Command::kRestore || keepsCompliance) && invocation.all)) {
    *error = "--with-deviceno belongs to restore, check and apply with --all";
    return false;
  }
  if (invocation.checkOnly && invocation.command != Command::kApply) {
    *error = "--check belongs to apply";
    return false;
  }
  if (invocation.summary && !keepsCompliance) {
    *error = "--summary belongs to check and apply";
    return false;
  }
  // The one line is the whole output; a document would be a second one.
  if (invocation.summary && invocation.json) {
    *error = "--summary and --json exclude each other";
    return false;
  }
  const bool serve = invocation.command == Command::kServe;
  const bool provision = invocation.command == Command::kProvision;
  const bool station = provision || serve;
  if (!station && (!invocation.logFile.empty() || invocation.anyFirmware)) {
    *error = "--log and --any-firmware belong to provision and serve";
    return false;
  }
  if (!provision && invocation.count > 0) {
    *error = "--count belongs to provision";
    return false;
  }
  if (invocation.jobs > 0 && !station && !invocation.all) {
    *error = "--jobs belongs to --all, provision and serve";
    return false;
  }
  // A station takes every scanner that comes, as it comes; its log is the
  // record a script reads.
  if (station && (invocation.all || !invocation.device.empty() || invocation.json)) {
    *error = std::string(serve ? "serve" : "provision") +
             " takes every scanner plugged in: no --all, --device or --json";
    return false;
  }
  // A service's record is its log; the system log has only its lines.
  if (serve && invocation.logFile.empty()) {
    *error = "serve needs --log FILE";
    return false;
  }
  if (invocation.simulatePaceMicros >= 0 && invocation.simulated.empty()) {
    *error = "--simulate-pace sets the pace of the simulated scanners: give --simulate too";
    return false;
  }
  if (invocation.all && !invocation.device.empty()) {
    *error = "--all and --device exclude each other";
    return false;
  }
  return true;
}

}  // namespace

bool ParseArguments(const std::vector<std::string>& args, Invocation* invocation,
                    std::string* error) {
  *invocation = Invocation();
  bool haveCommand = false;
  bool optionsEnded = false;
  bool wantsHelp = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnded && StartsWith(arg, "--")) {
      if (arg == "--") {
        optionsEnded = true;
      } else if (arg == "--help") {
        wantsHelp = true;
      } else if (arg == "--simulate") {
        invocation->simulated.emplace_back();
      } else if (StartsWith(arg, "--simulate-pace=")) {
        if (invocation->simulatePaceMicros >= 0) {
          *error = "--simulate-pace given twice";
          return false;
        }
        if (!sim::ParsePace(arg.substr(16), &invocation->simulatePaceMicros, error)) {
          *error = "--simulate-pace: " + *error;
          return false;
        }
      } else if (StartsWith(arg, "--simulate=")) {
        std::string file = arg.substr(11);
        if (file.empty()) {
          *error = "--simulate= needs a FILE";
          return false;
        }
        // Two scanners on one file would each write back over the other.
        if (std::find(invocation->simulated.begin(), invocation->simulated.end(), file) !=
            invocation->simulated.end()) {
          *error = arg + " given twice";
          return false;
        }
        invocation->simulated.push_back(std::move(file));
      } else if (bool* flag = FlagOf(arg, invocation)) {
        // A second one is a slip, not a request for more.
        if (*flag) {
          *error = arg + " given twice";
          return false;
        }
        *flag = true;
      } else if (arg == "--log" || StartsWith(arg, "--log=") || arg == "--count" ||
                 StartsWith(arg, "--count=") || arg == "--jobs" || StartsWith(arg, "--jobs=")) {
        const bool isLog = StartsWith(arg, "--log");
        const bool isJobs = StartsWith(arg, "--jobs");
        const char* name = isLog ? "--log" : isJobs ? "--jobs" : "--count";
        std::string value;
        if (arg == name) {
          if (i + 1 >= args.size()) {
            *error = std::string(name) + (isLog ? " needs a FILE" : " needs a number");
            return false;
          }
          value = args[++i];
        } else {
          value = arg.substr(std::string(name).size() + 1);
        }
        if (isLog) {
          if (value.empty()) {
            *error = "--log needs a FILE";
            return false;
          }
          if (!invocation->logFile.empty()) {
            *error = "--log given twice";
            return false;
          }
          invocation->logFile = std::move(value);
        } else {
          int number = 0;
          for (char c : value) {
            if (c < '0' || c > '9' || number > 100000) {
              number = -1;
              break;
            }
            number = number * 10 + (c - '0');
          }
          if (value.empty() || number <= 0 || number > 100000) {
            *error = std::string(name) + " needs a number from 1 to 100000";
            return false;
          }
          int& field = isJobs ? invocation->jobs : invocation->count;
          if (field > 0) {
            *error = std::string(name) + " given twice";
            return false;
          }
          field = number;
        }
      } else if (arg == "--device" || StartsWith(arg, "--device=")) {
        std::string path;
        if (arg == "--device") {
          if (i + 1 >= args.size()) {
            *error = "--device needs a PATH";
            return false;
          }
          path = args[++i];
        } else {
          path = arg.substr(9);
        }
        if (path.empty()) {
          *error = "--device needs a PATH";
          return false;
        }
        if (!invocation->device.empty()) {
          *error = "--device given twice";
          return false;
        }
        invocation->device = std::move(path);
      } else {
        *error = "unknown option " + arg;
        return false;
      }
    } else if (!optionsEnded && arg == "-h") {
      wantsHelp = true;
    } else if (!haveCommand) {
      bool known = false;
      for (const CommandName& entry : kCommands) {
        if (arg == entry.name) {
          invocation->command = entry.command;
          known = true;
        }
      }
      if (!known) {
        *error = "unknown command " + arg;
        return false;
      }
      haveCommand = true;
    } else {
      invocation->operands.push_back(arg);
    }
  }
  if (wantsHelp) {
    invocation->command = Command::kHelp;
    invocation->operands.clear();
    return true;
  }
  if (!haveCommand) {
    *error = "no command given";
    return false;
  }
  return CheckCombination(*invocation, error);
}

std::string UsageText() {
  return "usage: zrctl [options] COMMAND [operands]\n"
         "commands:\n"
         "  list                  scanner interfaces present, and the one zrctl uses\n"
         "  version               firmware version\n"
         "  get KEY...            prints KEY=VALUE lines\n"
         "  set KEY=VALUE...      sends settings (add --commit to commit them)\n"
         "  commit                commits the settings sent\n"
         "  dump [FILE]           every setting as a profile, to FILE or stdout\n"
         "  restore FILE          sends a profile's settings, commits, and reads each\n"
         "                        back: KEY: sent=... stored=... for one not stored\n"
         "  diff FILE             settings that differ from a profile\n"
         "  check FILE            settings that differ from what restore would send:\n"
         "                        KEY: scanner=... profile=...; sends nothing\n"
         "  apply FILE            reads first; sends, commits and reads back only\n"
         "                        where a setting differs; ends with the line\n"
         "                        changed=yes|no comment=\"...\"\n"
         "  provision FILE        waits for scanners and restores FILE (deviceno\n"
         "                        aside) onto each one plugged in, once; the scanners\n"
         "                        present at the start too; Ctrl+C ends it\n"
         "  serve FILE --log LOG  provision as a system service: FILE must be\n"
         "                        writable by root alone; SIGHUP reads it again\n"
         "  keys [KEY]            every setting the window reads and writes: its\n"
         "                        page, values, controls and when Save sends it\n"
         "options:\n"
         "  --device PATH         use this interface instead of the first scanner\n"
         "  --all                 run on every scanner present, several at once\n"
         "  --jobs N              (--all, provision, serve) at most N scanners at\n"
         "                        once; without it every scanner present, up to 16\n"
         "  --simulate[=FILE]     a simulated scanner (the demo one, or FILE's\n"
         "                        settings, written back on commit); repeat for more\n"
         "  --simulate-pace=TIME  each report to or from a simulated scanner takes\n"
         "                        TIME (1ms, 250us), as on a real scanner\n"
         "  --trace               show every frame on stderr\n"
         "  --markdown            (keys) the reference as a Markdown page\n"
         "  --json                the result as one JSON document on stdout (messages\n"
         "                        still on stderr)\n"
         "  --commit              (set) commit in the same run\n"
         "  --dry-run             (restore) show what would be sent, send nothing\n"
         "  --no-verify           (restore) do not read the settings back\n"
         "  --no-secrets          (dump) leave the Wi-Fi password out, for sharing; a\n"
         "                        restore of the file keeps the scanner's own\n"
         "  --with-deviceno       (restore, check, apply --all) send or compare the\n"
         "                        file's deviceno too; without it each scanner keeps\n"
         "                        its own\n"
         "  --check               (apply) what would be sent; sends nothing\n"
         "  --summary             (check, apply) only the line changed=... comment=\"...\"\n"
         "                        on stdout\n"
         "  --log FILE            (provision, serve) add a CSV row a scanner to FILE:\n"
         "                        time, port, deviceno, firmware, result, failed\n"
         "                        keys\n"
         "  --any-firmware        (provision, serve) also where the scanner's firmware\n"
         "                        is not the profile's masterver\n"
         "  --count N             (provision) end after N scanners instead of at Ctrl+C\n"
         "values are text, sent in the scanner's GBK as the window sends it, with the\n"
         "profile escapes: \\\\ for a backslash, \\xNN for any byte\n"
         "exit status: 0 done; 1 the scanner failed, could not be found or opened,\n"
         "settings differ (diff) or were not stored as sent (restore); 2 usage error\n"
         "or refused profile, nothing sent. check and apply: 0 every scanner holds\n"
         "the profile (at the end, for apply); 1 a scanner differs (check), or a set,\n"
         "commit or read-back failed (apply); 3 no scanner found, or one could not be\n"
         "opened or read (check: 3 wins over 1; apply: nothing was sent to it).\n"
         "serve: 4 a profile others than root may change, nothing sent\n";
}

}  // namespace lumiq::zrctl
