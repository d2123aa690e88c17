// lumiq-headless: the application, unseen, on the simulated scanner (or on
// the real devices with --hid). It connects as "连接设备" does, applies the
// given user actions to the settings window in order, and reports every
// message box on stdout. For tests, screenshots and replaying reports.

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>

#include "link/device_commands.h"
#include "sim/demo_configuration.h"
#include "sim/seed_file.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"
#include "ui/qt/about_dialog.h"
#include "ui/qt/connect_dialog.h"
#include "ui/qt/gbk_text.h"
#include "ui/qt/message_sink.h"
#include "ui/qt/settings_window.h"
#include "ui/qt/user_actions.h"

namespace {

using lumiq::ui::qt::UserAction;

constexpr int kCompleted = 0;
constexpr int kConnectFailed = 1;
constexpr int kUsageError = 2;
constexpr int kOutputFailed = 3;

constexpr char kUsage[] =
    "usage: lumiq-headless [--seed FILE] [--trace FILE] [--silent-from N]\n"
    "                      [--screenshots DIR] [--hid] [ACTION...]\n"
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
    "  --hid              use the real HID devices (no --seed, --trace,\n"
    "                     --silent-from)\n"
    "\n"
    "Actions: check:TEMPLATE:ID  uncheck:TEMPLATE:ID  text:TEMPLATE:ID=TEXT\n"
    "         tab:N  save  exit (last)\n"
    "TEMPLATE is a page's template id: 130, 131, 132, 133 or 137.\n"
    "\n"
    "Exit status: 0 the run completed, 1 the connect failed, 2 usage error,\n"
    "3 an output file could not be written.\n";

struct Options {
  std::string seed;
  std::string trace;
  std::string screenshots;
  int silentFrom = 0;
  bool hid = false;
  std::vector<UserAction> actions;
};

int UsageError(const std::string& message) {
  std::fprintf(stderr, "lumiq-headless: %s\n\n%s", message.c_str(), kUsage);
  return kUsageError;
}

// 0 when parsed; otherwise the exit status to end with.
int ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
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
    } else if (word == "--hid") {
      options->hid = true;
    } else if (word.rfind("--", 0) == 0) {
      return UsageError("unknown option " + word);
    } else {
      std::string error;
      const auto action = lumiq::ui::qt::ParseUserAction(word, &error);
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

// Prints each message box instead of showing it; OK is implied.
class PrintingSink final : public lumiq::ui::qt::MessageSink {
 public:
  void Show(QWidget* /*owner*/, const QString& text) override {
    std::printf("%s\n", lumiq::ui::qt::MessageLine(text).c_str());
    std::fflush(stdout);
  }
};

bool SaveShot(QWidget* widget, const QDir& dir, const QString& name) {
  QCoreApplication::processEvents();
  const QString path = dir.filePath(name);
  if (widget->grab().save(path, "PNG")) return true;
  std::fprintf(stderr, "lumiq-headless: cannot write %s\n", qPrintable(path));
  return false;
}

bool SaveScreenshots(lumiq::ui::qt::ConnectDialog& dialog, const std::string& folder) {
  const QDir dir(QString::fromLocal8Bit(folder.c_str()));
  if (!QDir().mkpath(dir.path())) {
    std::fprintf(stderr, "lumiq-headless: cannot create %s\n", folder.c_str());
    return false;
  }
  bool ok = SaveShot(&dialog, dir, QStringLiteral("connect.png"));
  {
    lumiq::ui::qt::AboutDialog about(&dialog);
    about.show();
    ok = SaveShot(&about, dir, QStringLiteral("about.png")) && ok;
  }
  if (lumiq::ui::qt::SettingsWindow* window = dialog.Settings()) {
    for (int tab = 0; tab < lumiq::ui::qt::SettingsWindow::kPageCount; ++tab) {
      window->Tabs()->setCurrentIndex(tab);
      ok = SaveShot(window, dir, QStringLiteral("settings-tab%1.png").arg(tab)) && ok;
    }
  }
  return ok;
}

bool WriteTrace(const lumiq::sim::SimulatedScanner& scanner, const std::string& path) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const lumiq::sim::ReceivedCommand& command : scanner.Received()) {
    out << lumiq::sim::FormatCommand(command) << '\n';
  }
  out.flush();
  if (out) return true;
  std::fprintf(stderr, "lumiq-headless: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const int status = ParseOptions(argc, argv, &options)) {
    return status < 0 ? kCompleted : status;
  }

  lumiq::sim::SimulatedScanner scanner;
  if (!options.seed.empty()) {
    lumiq::sim::SettingList settings;
    lumiq::sim::SeedError error;
    if (!lumiq::sim::ReadSeedFile(options.seed, &settings, &error)) {
      return UsageError(error.Describe());
    }
    for (const auto& [key, value] : settings) scanner.Set(key, value);
  } else {
    lumiq::sim::SeedDemoScanner(scanner);
  }
  scanner.Faults().silentFrom = options.silentFrom;

  // Never on a screen, whatever display there is.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);
  if (!lumiq::ui::qt::GbkAvailable()) {
    std::fputs("lumiq-headless: this Qt has no GBK text codec (Qt needs ICU)\n", stderr);
    return kOutputFailed;
  }

  lumiq::sim::SimPlatform platform;
  if (!options.hid) {
    platform.AddScanner(&scanner);
    lumiq::UseHidPlatform(&platform);
  }

  int status = kCompleted;
  {
    PrintingSink messages;
    lumiq::ui::qt::ConnectDialog dialog(messages);
    dialog.SetRunSettingsModally(false);
    dialog.show();
    QCoreApplication::processEvents();

    if (dialog.Connect() != lumiq::ui::qt::ConnectDialog::Outcome::kConnected) {
      status = kConnectFailed;
    } else {
      QCoreApplication::processEvents();  // the load message, if any
      lumiq::ui::qt::SettingsWindow& window = *dialog.Settings();
      for (const UserAction& action : options.actions) {
        std::string note;
        if (!lumiq::ui::qt::ApplyUserAction(window, action, &note)) {
          std::fprintf(stderr, "lumiq-headless: action changed nothing: %s\n", note.c_str());
        }
        QCoreApplication::processEvents();
      }
    }
    if (!options.screenshots.empty() && !SaveScreenshots(dialog, options.screenshots)) {
      status = status == kCompleted ? kOutputFailed : status;
    }
    // Ends as the close box would: nothing more is written.
    if (lumiq::ui::qt::SettingsWindow* window = dialog.Settings()) window->reject();
  }

  lumiq::CloseDevice();
  lumiq::UseHidPlatform(nullptr);
  if (!options.trace.empty() && !WriteTrace(scanner, options.trace)) {
    status = status == kCompleted ? kOutputFailed : status;
  }
  return status;
}
