#include "ui/app/headless_run.h"

#include <cstdio>
#include <set>

#include "profile/text_file.h"
#include "sim/scanner_setup.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"

namespace lumiq::ui::app {

namespace {

constexpr char kUsage[] =
    "usage: lumiq-headless [--seed FILE] [--trace FILE] [--silent-from N]\n"
    "                      [--screenshots DIR] [--lang zh|en|system] [--hid]\n"
    "                      [ACTION...]\n"
    "\n"
    "Connects as the connect button does, opens the settings window unseen,\n"
    "applies the actions in order and ends. Every message box is printed as\n"
    "'MESSAGE text' (line breaks as \\n) and closed with OK.\n"
    "\n"
    "  --seed FILE        the simulated scanner's settings (KEY=VALUE lines);\n"
    "                     default: the demo configuration\n"
    "  --trace FILE       write every command the scanner received, one a line\n"
    "  --silent-from N    the scanner stops answering from its N-th command on\n"
    "                     (the handshake is command 1)\n"
    "  --screenshots DIR  write connect.png, about.png and settings-tab0.png to\n"
    "                     settings-tab4.png after the actions\n"
    "  --lang LANG        the windows' language: zh (Chinese, the default), en\n"
    "                     (English), or system (the system's UI language, as\n"
    "                     the application chooses it)\n"
    "  --hid              use the real HID devices (no --seed, --trace,\n"
    "                     --silent-from)\n"
    "\n"
    "Actions: check:TEMPLATE:ID  uncheck:TEMPLATE:ID  text:TEMPLATE:ID=TEXT\n"
    "         tab:N  save  import:FILE  export:FILE  exit (last)\n"
    "TEMPLATE is a page's template id: 130, 131, 132, 133 or 137.\n"
    "import: and export: press the window's import or export button and\n"
    "choose FILE, a profile as zrctl dump writes and zrctl restore reads it.\n"
    "\n"
    "Exit status: 0 the run completed, 1 the connect failed, 2 usage error,\n"
    "3 an output file could not be written.\n";

bool WriteTrace(const sim::SimulatedScanner& scanner, const std::string& path) {
  std::string text;
  for (const sim::ReceivedCommand& command : scanner.Received()) {
    text += sim::FormatCommand(command) + '\n';
  }
  std::string error;
  if (profile::WriteFileSafely(path, text, &error)) return true;
  std::fprintf(stderr, "lumiq-headless: %s\n", error.c_str());
  return false;
}

}  // namespace

const char* HeadlessUsage() { return kUsage; }

int UsageError(const std::string& message) {
  std::fprintf(stderr, "lumiq-headless: %s\n\n%s", message.c_str(), kUsage);
  return kRunUsageError;
}

void PrintMessage(std::string_view text) {
  const std::string line = MessageLine(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

int ParseHeadlessOptions(int argc, char** argv, HeadlessOptions* options) {
  // Each option holds one value: a second one would silently win.
  std::set<std::string> seen;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word.rfind("--", 0) == 0 && word != "--help" && !seen.insert(word).second) {
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
      if (!value(&options->seed)) return UsageError("--seed needs a file");
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
      if (!options->actions.empty() && options->actions.back().kind == UserAction::Kind::kExit) {
        return UsageError("exit ends the settings window: it must be the last action");
      }
      options->actions.push_back(*action);
    }
  }
  if (options->hid && (!options->seed.empty() || !options->trace.empty() || options->silentFrom)) {
    return UsageError("--seed, --trace and --silent-from work on the simulated scanner, not --hid");
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

int HeadlessMain(int argc, char** argv, i18n::Language (*systemLanguage)(),
                 const std::function<std::unique_ptr<HeadlessHost>()>& makeHost) {
  HeadlessOptions options;
  if (const int status = ParseHeadlessOptions(argc, argv, &options)) {
    return status < 0 ? kRunCompleted : status;
  }
  // Before any window or message exists.
  i18n::SetLanguage(ChosenLanguage(options.language, systemLanguage));

  sim::SimulatedScanner scanner;
  sim::SeedError error;
  if (!sim::SeedScanner(options.seed, scanner, &error)) return UsageError(error.Describe());
  scanner.Faults().silentFrom = options.silentFrom;

  std::unique_ptr<HeadlessHost> host = makeHost();
  if (!host) return kRunOutputFailed;

  int status = kRunCompleted;
  {
    sim::SimPlatform platform;
    if (!options.hid) platform.AddScanner(&scanner);
    const sim::PluggedPlatform plugged(options.hid ? nullptr : &platform);
    if (!host->Connect()) {
      status = kRunConnectFailed;
    } else {
      for (const UserAction& action : options.actions) {
        std::string note;
        if (!host->Apply(action, &note)) {
          std::fprintf(stderr, "lumiq-headless: action changed nothing: %s\n", note.c_str());
        }
      }
    }
    if (!options.screenshots.empty() && !host->SaveScreenshots(options.screenshots)) {
      status = status == kRunCompleted ? kRunOutputFailed : status;
    }
    host->CloseSettings();
    host.reset();
  }

  if (!options.trace.empty() && !WriteTrace(scanner, options.trace)) {
    status = status == kRunCompleted ? kRunOutputFailed : status;
  }
  return status;
}

}  // namespace lumiq::ui::app
