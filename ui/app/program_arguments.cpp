#include "ui/app/program_arguments.h"

namespace lumiq::ui::app {

namespace {

bool Fail(std::string* error, const std::string& message) {
  *error = message;
  return false;
}

}  // namespace

const char* ProgramUsage(bool demo) {
  return demo ? "LumiqConfigTool-demo [--scanners N | --seed FILE...] [PROFILE]"
              : "LumiqConfigTool [PROFILE]";
}

std::string ProgramHelp(bool demo) {
  std::string help = std::string("usage: ") + ProgramUsage(demo) + "\n\n";
  help += "  PROFILE       a profile file to show and edit without a scanner, as\n"
          "                the connect dialog's open button does\n";
  if (demo) {
    help += "  --scanners N  N simulated scanners with the demo configuration, each\n"
            "                its own device number (1 to 16; default 1)\n"
            "  --seed FILE   a simulated scanner with FILE's settings (KEY=VALUE\n"
            "                lines); once per scanner\n";
  }
  help += "  --help        this text\n";
  return help;
}

bool ParseProgramArguments(const std::vector<std::string>& arguments, bool demo,
                           ProgramArguments* parsed, std::string* error) {
  int scanners = 0;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    const bool option = word.size() > 1 && word[0] == '-';
    if (word == "--help" || word == "-h") {
      parsed->help = true;
    } else if (demo && word == "--scanners") {
      if (scanners || i + 1 >= arguments.size()) return Fail(error, "--scanners needs a number");
      const std::string& number = arguments[++i];
      if (number.empty() || number.size() > 2 ||
          number.find_first_not_of("0123456789") != std::string::npos) {
        return Fail(error, "--scanners needs a number from 1 to " +
                               std::to_string(kMostDemoScanners) + ": " + number);
      }
      scanners = std::stoi(number);
      if (scanners < 1 || scanners > kMostDemoScanners) {
        return Fail(error, "--scanners needs a number from 1 to " +
                               std::to_string(kMostDemoScanners) + ": " + number);
      }
    } else if (demo && word == "--seed") {
      if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
        return Fail(error, "--seed needs a file");
      }
      parsed->seeds.push_back(arguments[++i]);
    } else if (word == "--") {
      if (i + 2 != arguments.size() || !parsed->file.empty()) {
        return Fail(error, "one profile file at most");
      }
      parsed->file = arguments[++i];
    } else if (option) {
      return Fail(error, "unknown option " + word);
    } else if (!parsed->file.empty() || word.empty()) {
      return Fail(error, "one profile file at most");
    } else {
      parsed->file = word;
    }
  }
  if (scanners && !parsed->seeds.empty()) return Fail(error, "--scanners or --seed, not both");
  if (parsed->seeds.size() > static_cast<size_t>(kMostDemoScanners)) {
    return Fail(error, "at most " + std::to_string(kMostDemoScanners) + " scanners");
  }
  if (demo && parsed->seeds.empty()) parsed->seeds.assign(scanners ? scanners : 1, std::string());
  return true;
}

std::string DemoDeviceNumber(int number) {
  // GBK bytes: the scanner holds its settings as GBK.
  return "\xD1\xDD\xCA\xBE-" + std::to_string(number);
}

}  // namespace lumiq::ui::app
