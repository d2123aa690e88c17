#include "ui/app/headless_run.h"

#include <cstdio>
#include <deque>
#include <filesystem>
#include <system_error>
#include <set>

#include "profile/text_file.h"
#include "ui/app/change_marks.h"
#include "ui/app/demo_scanners.h"
#include "ui/app/program_arguments.h"
#include "sim/scanner_setup.h"
#include "sim/sim_pace.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"

namespace lumiq::ui::app {

namespace {

constexpr char kUsage[] =
    "usage: lumiq-headless [--seed FILE]... [--scanners N] [--trace FILE] [--silent-from N]\n"
    "                      [--pace TIME] [--screenshots DIR] [--lang zh|en|system]\n"
    "                      [--hid]\n"
    "                      [ACTION...]\n"
    "\n"
    "Connects as the connect button does, opens the settings window unseen,\n"
    "applies the actions in order and ends. Every message box is printed as\n"
    "'MESSAGE text' (line breaks as \\n) and closed with OK; with several\n"
    "scanners the chooser's rows as 'CHOICE N text'; each scan of the test\n"
    "scan window as 'SCAN text MATCH' or 'SCAN text DIFFERS where'.\n"
    "\n"
    "  --seed FILE        the simulated scanner's settings (KEY=VALUE lines);\n"
    "                     default: the demo configuration. Once per scanner:\n"
    "                     several are plugged in in the order given\n"
    "  --scanners N       N simulated scanners with the demo configuration, each\n"
    "                     its own device number (not with --seed)\n"
    "  --trace FILE       write every command the scanner received, one a line\n"
    "                     (several scanners: each one's after 'SCANNER N')\n"
    "  --silent-from N    each scanner stops answering from its N-th command on\n"
    "                     (the handshake is command 1)\n"
    "  --pace TIME        each report to or from a simulated scanner takes TIME\n"
    "                     (1ms, 250us), as on a real scanner\n"
    "  --screenshots DIR  write connect.png, about.png and settings-tab0.png to\n"
    "                     settings-tab4.png after the actions\n"
    "  --lang LANG        the windows' language: zh (Chinese, the default), en\n"
    "                     (English), or system (the system's UI language, as\n"
    "                     the application chooses it)\n"
    "  --hid              use the real HID devices (no --seed, --trace,\n"
    "                     --silent-from or --pace)\n"
    "\n"
    "Actions: check:TEMPLATE:ID  uncheck:TEMPLATE:ID  text:TEMPLATE:ID=TEXT\n"
    "         tab:N  save  import:FILE  export:FILE  exit  apply\n"
    "         answer:save|discard|cancel\n"
    "         channel:OUTPUT  testscan  keys:TEXT  serial:TEXT\n"
    "         connect  open:FILE  pick:N  unplug:N  plug:N\n"
    "TEMPLATE is a page's template id: 130, 131, 132, 133 or 137.\n"
    "import: and export: press the window's import or export button and\n"
    "choose FILE, a profile as zrctl dump writes and zrctl restore reads it.\n"
    "open:FILE presses the connect dialog's open button and chooses FILE: a\n"
    "settings window on the profile, no scanner asked; as the first action it\n"
    "takes the place of the first connect. apply presses that window's apply\n"
    "button (a connect). Closing a file with unsaved edits asks, printed as\n"
    "'QUESTION text -> answer'; answer: gives the next answer (default\n"
    "discard).\n"
    "channel: changes the output channel as the output method page's button\n"
    "does (OUTPUT: com1, hid0, wifi0 or bluetooth0). testscan opens the test\n"
    "scan window; keys:TEXT types TEXT at it as a keyboard scanner would,\n"
    "serial:TEXT sends it on the scanner's serial port (a simulated one), one\n"
    "scan each; \\r \\n \\t \\\\ and \\xNN stand for those bytes.\n"
    "exit closes the settings window; after it only connect, open: (the\n"
    "connect dialog's buttons again), unplug: and plug: until the next\n"
    "connect or open:. pick:N chooses\n"
    "the Nth row of the scanner chooser (from 1); unplug:N and plug:N pull\n"
    "and plug the Nth simulated scanner.\n"
    "\n"
    "Exit status: 0 the run completed, 1 a connect failed, 2 usage error,\n"
    "3 an output file could not be written.\n";

bool WriteTrace(const std::deque<sim::SimulatedScanner>& scanners, const std::string& path) {
  std::string text;
  for (size_t i = 0; i < scanners.size(); ++i) {
    if (scanners.size() > 1) text += "SCANNER " + std::to_string(i + 1) + '\n';
    for (const sim::ReceivedCommand& command : scanners[i].Received()) {
      text += sim::FormatCommand(command) + '\n';
    }
  }
  std::string error;
  if (profile::CreateFileSafely(path, text, &error)) return true;
  std::fprintf(stderr, "lumiq-headless: %s\n", error.c_str());
  return false;
}

}  // namespace

bool WriteScreenshots(const std::string& folder, const std::vector<Screenshot>& shots) {
  std::error_code made;
  std::filesystem::create_directories(std::filesystem::u8path(folder), made);
  if (made) {
    std::fprintf(stderr, "lumiq-headless: cannot create %s: %s\n", folder.c_str(),
                 made.message().c_str());
    return false;
  }
  bool ok = true;
  for (const Screenshot& shot : shots) {
    const std::string path = folder + "/" + shot.name;
    std::string error;
    if (!shot.error.empty()) {
      error = "cannot take " + path + ": " + shot.error;
    } else if (profile::CreateFileSafely(path, shot.png, &error)) {
      continue;
    }
    std::fprintf(stderr, "lumiq-headless: %s\n", error.c_str());
    ok = false;
  }
  return ok;
}

const char* HeadlessUsage() { return kUsage; }

int UsageError(const std::string& message) {
  std::fprintf(stderr, "lumiq-headless: %s\n\n%s", message.c_str(), kUsage);
  return kRunUsageError;
}

namespace {
SettingsSession::CloseAnswer nextAnswer = SettingsSession::CloseAnswer::kDiscard;
const char* AnswerWord(SettingsSession::CloseAnswer answer) {
  switch (answer) {
    case SettingsSession::CloseAnswer::kSave: return "save";
    case SettingsSession::CloseAnswer::kCancel: return "cancel";
    case SettingsSession::CloseAnswer::kDiscard: break;
  }
  return "discard";
}
}  // namespace

SettingsSession::CloseAnswer AnswerQuestion(std::string_view text) {
  const std::string line = QuestionLine(text, AnswerWord(nextAnswer)) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
  return nextAnswer;
}

void PrintMessage(std::string_view text) {
  const std::string line = MessageLine(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

void PrintScan(const ScanReport& report) {
  const std::string line = report.RunnerLine() + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

int ParseHeadlessOptions(int argc, char** argv, HeadlessOptions* options) {
  // Each option but --seed holds one value: a second one would silently win.
  std::set<std::string> seen;
  bool windowEnded = false;
  bool cancels = false;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word.rfind("--", 0) == 0 && word != "--help" && word != "--seed" &&
        !seen.insert(word).second) {
      return UsageError(word + " given twice");
    }
    auto value = [&](std::string* into) {
      if (i + 1 >= argc) return false;
      *into = argv[++i];
      return !into->empty();
    };
    if (word == "--help" || word == "-h") {
      std::fputs(kUsage, stdout);
      return -1;
    } else if (word == "--seed") {
      std::string seed;
      if (!value(&seed)) return UsageError("--seed needs a file");
      options->seeds.push_back(seed);
    } else if (word == "--scanners") {
      std::string number;
      ProgramArguments demo;
      std::string error;
      if (!value(&number) || !ParseProgramArguments({"--scanners", number}, true, &demo, &error)) {
        return UsageError(error.empty() ? "--scanners needs a number" : error);
      }
      options->demoScanners = static_cast<int>(demo.seeds.size());
    } else if (word == "--trace") {
      if (!value(&options->trace)) return UsageError("--trace needs a file");
    } else if (word == "--screenshots") {
      if (!value(&options->screenshots)) return UsageError("--screenshots needs a folder");
    } else if (word == "--silent-from") {
      std::string number;
      if (!value(&number) || number.size() > 9 ||
          number.find_first_not_of("0123456789") != std::string::npos ||
          std::stoi(number) < 1) {
        return UsageError("--silent-from needs a command number from 1 on");
      }
      options->silentFrom = std::stoi(number);
    } else if (word == "--pace") {
      std::string text;
      if (!value(&text)) return UsageError("--pace needs a time such as 1ms");
      std::string error;
      if (!sim::ParsePace(text, &options->paceMicros, &error)) return UsageError(error);
    } else if (word == "--lang") {
      std::string name;
      if (!value(&name)) return UsageError("--lang needs zh, en or system");
      if (name == "system") {
        options->language = LanguageRequest::kSystem;
      } else if (const auto language = i18n::LanguageNamed(name)) {
        options->language = *language == i18n::Language::kEnglish ? LanguageRequest::kEnglish
                                                                   : LanguageRequest::kChinese;
      } else {
        return UsageError("--lang needs zh, en or system: " + name);
      }
    } else if (word == "--hid") {
      options->hid = true;
    } else if (word.rfind("--", 0) == 0) {
      return UsageError("unknown option " + word);
    } else {
      std::string error;
      const auto action = ParseUserAction(word, &error);
      if (!action) return UsageError(error);
      if (windowEnded &&
          (NeedsSettingsWindow(action->kind) || action->kind == UserAction::Kind::kPick)) {
        return UsageError("exit ends the settings window: only connect, open:, unplug: and "
                          "plug: may follow it: " + word);
      }
      // An exit answered with cancel may leave a file's window open.
      if (action->kind == UserAction::Kind::kAnswer) cancels = action->text == "cancel";
      if (action->kind == UserAction::Kind::kExit && !cancels) windowEnded = true;
      if (action->kind == UserAction::Kind::kConnect || action->kind == UserAction::Kind::kOpen) {
        windowEnded = false;
      }
      options->actions.push_back(*action);
    }
  }
  if (options->demoScanners && !options->seeds.empty()) {
    return UsageError("--scanners or --seed, not both");
  }
  if (options->demoScanners) options->seeds.assign(options->demoScanners, std::string());
  if (options->hid && (!options->seeds.empty() || !options->trace.empty() || options->silentFrom)) {
    return UsageError("--seed, --trace and --silent-from work on the simulated scanner, not --hid");
  }
  if (options->hid && options->paceMicros > 0) {
    return UsageError("--pace works on the simulated scanners, not --hid");
  }
  const int scanners = options->seeds.empty() ? 1 : static_cast<int>(options->seeds.size());
  for (const UserAction& action : options->actions) {
    if (action.kind != UserAction::Kind::kUnplug && action.kind != UserAction::Kind::kPlug) {
      continue;
    }
    if (options->hid) return UsageError("unplug: and plug: work on the simulated scanners, not --hid");
    if (action.number > scanners) {
      return UsageError("no simulated scanner " + std::to_string(action.number) + " (--seed gave " +
                        std::to_string(scanners) + ")");
    }
  }
  return 0;
}

i18n::Language ChosenLanguage(LanguageRequest request, i18n::Language (*systemLanguage)()) {
  switch (request) {
    case LanguageRequest::kEnglish: return i18n::Language::kEnglish;
    case LanguageRequest::kSystem: return systemLanguage();
    default: return i18n::Language::kChinese;
  }
}

namespace {

// The runner's side of the windows: the host, and what it printed.
class Run {
 public:
  Run(HeadlessHost& host, std::deque<sim::SimulatedScanner>& scanners)
      : host_(host), scanners_(scanners) {}

  // "连接设备"; false when it failed. The chooser's rows are printed.
  bool Connect() {
    const ConnectOutcome outcome = host_.Connect();
    if (outcome == ConnectOutcome::kChoosing) {
      PrintChoices();
      return true;
    }
    return outcome == ConnectOutcome::kConnected;
  }

  void PrintChoices() {
    const std::vector<std::string> rows = host_.ChooserRows();
    for (size_t i = 0; i < rows.size(); ++i) {
      const std::string line = ChoiceLine(static_cast<int>(i) + 1, rows[i]) + "\n";
      std::fwrite(line.data(), 1, line.size(), stdout);
    }
    std::fflush(stdout);
  }

  // One action; false with `note` when it changed nothing. `failed` is set
  // when it was a connect that failed.
  bool Apply(const UserAction& action, std::string* note, bool* failed) {
    auto nothing = [note](const char* why) {
      *note = why;
      return false;
    };
    switch (action.kind) {
      case UserAction::Kind::kUnplug:
        scanners_[static_cast<size_t>(action.number - 1)].Unplug();
        return true;
      case UserAction::Kind::kPlug:
        scanners_[static_cast<size_t>(action.number - 1)].Plug();
        return true;
      case UserAction::Kind::kConnect:
        if (host_.HasSettings()) return nothing(kSettingsWindowOpen);
        *failed = !Connect();
        return true;
      case UserAction::Kind::kOpen:
        if (host_.HasSettings()) return nothing(kSettingsWindowOpen);
        *failed = host_.OpenFile(action.text) != ConnectOutcome::kConnected;
        return true;
      case UserAction::Kind::kAnswer:
        nextAnswer = action.text == "save"     ? SettingsSession::CloseAnswer::kSave
                     : action.text == "cancel" ? SettingsSession::CloseAnswer::kCancel
                                               : SettingsSession::CloseAnswer::kDiscard;
        return true;
      case UserAction::Kind::kApply: {
        if (!host_.HasSettings()) return nothing(kNoSettingsWindow);
        const bool changed = host_.Apply(action, note);
        PrintChoices();
        return changed;
      }
      case UserAction::Kind::kPick: {
        const size_t rows = host_.ChooserRows().size();
        if (rows == 0) return nothing(kNoChooser);
        if (static_cast<size_t>(action.number) > rows) return nothing(kNoSuchChoice);
        host_.Pick(action.number - 1);
        *failed = !host_.HasSettings();
        return true;
      }
      default:
        if (!host_.HasSettings()) return nothing(kNoSettingsWindow);
        return host_.Apply(action, note);
    }
  }

 private:
  HeadlessHost& host_;
  std::deque<sim::SimulatedScanner>& scanners_;
};

}  // namespace

int HeadlessMain(int argc, char** argv, i18n::Language (*systemLanguage)(),
                 const std::function<std::unique_ptr<HeadlessHost>()>& makeHost) {
  HeadlessOptions options;
  if (const int status = ParseHeadlessOptions(argc, argv, &options)) {
    return status < 0 ? kRunCompleted : status;
  }
  // Before any window or message exists.
  i18n::SetLanguage(ChosenLanguage(options.language, systemLanguage));

  // A deque: the platform holds pointers to them.
  std::deque<sim::SimulatedScanner> scanners;
  const std::vector<std::string> seeds =
      options.seeds.empty() ? std::vector<std::string>{std::string()} : options.seeds;
  std::string seedError;
  if (!SeedDemoScanners(seeds, &scanners, &seedError)) return UsageError(seedError);
  for (sim::SimulatedScanner& scanner : scanners) scanner.Faults().silentFrom = options.silentFrom;

  std::unique_ptr<HeadlessHost> host = makeHost();
  if (!host) return kRunOutputFailed;

  int status = kRunCompleted;
  {
    sim::SimPlatform platform;
    platform.SetReportLatencyMicros(options.paceMicros);
    if (!options.hid) {
      for (sim::SimulatedScanner& scanner : scanners) platform.AddScanner(&scanner);
    }
    const sim::PluggedPlatform plugged(options.hid ? nullptr : &platform);
    SetScannersSimulated(!options.hid);
    Run run(*host, scanners);
    // A run that opens a file first asks nothing of a scanner.
    const bool opensFile =
        !options.actions.empty() && options.actions.front().kind == UserAction::Kind::kOpen;
    if (!opensFile && !run.Connect()) {
      status = kRunConnectFailed;
    } else {
      for (const UserAction& action : options.actions) {
        std::string note;
        bool failed = false;
        if (!run.Apply(action, &note, &failed)) {
          std::fprintf(stderr, "lumiq-headless: action changed nothing: %s\n", note.c_str());
        }
        if (failed) status = kRunConnectFailed;
      }
    }
    if (!options.screenshots.empty() &&
        !WriteScreenshots(options.screenshots, host->TakeScreenshots())) {
      status = status == kRunCompleted ? kRunOutputFailed : status;
    }
    host->CloseSettings();
    host.reset();
  }

  if (!options.trace.empty() && !WriteTrace(scanners, options.trace)) {
    status = status == kRunCompleted ? kRunOutputFailed : status;
  }
  return status;
}

}  // namespace lumiq::ui::app
