#include "tests/zrctl/zrctl_test_support.h"

#include <fstream>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "tools/zrctl/zrctl.h"

namespace lumiq::test {

ZrctlResult RunZrctl(const std::vector<std::string>& args, HidPlatform* devices,
                     DeviceWatcher* watcher) {
  std::ostringstream out;
  std::ostringstream err;
  ZrctlResult result;
  result.status = zrctl::Run(args, out, err, devices, watcher);
  result.out = out.str();
  result.err = err.str();
  return result;
}

std::vector<std::string> Record(const sim::SimulatedScanner& scanner) {
  std::vector<std::string> lines;
  for (const sim::ReceivedCommand& command : scanner.Received()) {
    lines.push_back(sim::FormatCommand(command));
  }
  return lines;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TempFolder::TempFolder() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = "zrctl_tests";
  if (test != nullptr) name += std::string("_") + test->test_suite_name() + "_" + test->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  // Several build folders may run the same test at once.
  name += "_" + std::to_string(std::random_device()());
  path_ = std::filesystem::temp_directory_path() / name;
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void TempFolder::Write(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

std::string TempFolder::Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace lumiq::test
