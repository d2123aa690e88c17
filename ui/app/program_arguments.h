#pragma once

#include <string>
#include <vector>

namespace lumiq::ui::app {

// The command lines of LumiqConfigTool and LumiqConfigTool-demo, the same
// in both bindings:
//   LumiqConfigTool [FILE]
//   LumiqConfigTool-demo [--scanners N | --seed FILE...] [FILE]
// FILE is a profile the settings window opens on at once, as
// "打开配置文件..." opens one. The demo plugs in N simulated scanners with
// the demo configuration (each its own device number), or one per seed
// file, so that "连接设备" shows the chooser.
struct ProgramArguments {
  std::string file;                // UTF-8 on Windows, as given elsewhere; empty: none
  std::vector<std::string> seeds;  // the demo's scanners; "" is the demo configuration
  bool help = false;               // --help: ProgramHelp is shown, nothing runs
};

inline constexpr int kMostDemoScanners = 16;

// `arguments` without the program's name. false with a one-line `error`
// (for a message box) when they are not understood.
bool ParseProgramArguments(const std::vector<std::string>& arguments, bool demo,
                           ProgramArguments* parsed, std::string* error);

// The usage line for the message box of a command line not understood.
const char* ProgramUsage(bool demo);
// What --help prints: the usage line and what each part means.
std::string ProgramHelp(bool demo);

// The device number of the Nth demo scanner (from 1) when several are
// plugged in: "演示-N", so that the chooser's rows differ.
std::string DemoDeviceNumber(int number);

}  // namespace lumiq::ui::app
