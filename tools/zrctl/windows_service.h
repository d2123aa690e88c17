#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace lumiq::zrctl {

// The flag on the command line the service manager starts zrctl with:
//   zrctl.exe serve PROFILE --log FILE --windows-service
inline constexpr char kWindowsServiceFlag[] = "--windows-service";

// Takes the flag out of `args` (the command never sees it); true when it
// was there.
bool TakeWindowsServiceFlag(std::vector<std::string>& args);

// Where the service's lines go: beside the CSV that --log names, under the
// same name ending in .log ("station.csv": "station.log"); "" without --log.
std::string ServiceLogPath(const std::vector<std::string>& args);

// The command, given where its output and messages go; returns its status.
using ServiceCommand = std::function<int(std::ostream& out, std::ostream& err)>;

// Hands the process to the service manager and runs `command` as the
// service, its lines appended to the file `logPath` (UTF-8). A stop or
// shutdown control asks the command to stop as Ctrl+C would, and the service
// stays "stop pending" until the command has ended. The command's status is
// the service's exit code (0: stopped as asked; otherwise a service-specific
// code the service manager shows). Returns that status; kExitUsage, told on
// `err`, when the process was not started by the service manager or the log
// cannot be opened.
int RunAsWindowsService(const std::string& logPath, ServiceCommand command, std::ostream& err);

}  // namespace lumiq::zrctl
