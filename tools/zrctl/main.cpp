#include <iostream>

#include "tools/zrctl/zrctl.h"

#ifdef _WIN32
#include <string>
#include <vector>

#include <windows.h>

#include "tools/zrctl/windows_service.h"

// Windows hands the arguments over as UTF-16 whatever the code page; zrctl
// takes them as UTF-8, as on Linux, so that the same command sends the same
// bytes on every system. The ANSI `main` would have put '?' or a look-alike
// in place of any character the code page lacks.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length > 0 ? length : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, utf8.data(), length, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    arguments.push_back(std::move(utf8));
  }
  const bool service = lumiq::zrctl::TakeWindowsServiceFlag(arguments);
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  pointers.push_back(nullptr);
  const int count = static_cast<int>(arguments.size());
  if (service) {
    return lumiq::zrctl::RunAsWindowsService(
        lumiq::zrctl::ServiceLogPath(arguments),
        [&](std::ostream& out, std::ostream& err) {
          return lumiq::zrctl::Main(count, pointers.data(), out, err);
        },
        std::cerr);
  }
  // What zrctl prints is UTF-8 too; a console shows it as such while zrctl
  // runs and gets its own code page back afterwards.
  const UINT consoleOutput = GetConsoleOutputCP();
  if (consoleOutput != 0) SetConsoleOutputCP(CP_UTF8);
  const int status = lumiq::zrctl::Main(count, pointers.data(), std::cout, std::cerr);
  std::cout.flush();
  std::cerr.flush();
  if (consoleOutput != 0) SetConsoleOutputCP(consoleOutput);
  return status;
}
#else
int main(int argc, char** argv) {
  return lumiq::zrctl::Main(argc, argv, std::cout, std::cerr);
}
#endif
