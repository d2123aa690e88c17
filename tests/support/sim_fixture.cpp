#include "tests/support/sim_fixture.h"

#include "link/device_commands.h"

namespace lumiq::test {

SimLinkFixture::SimLinkFixture() { platform_.AddScanner(&scanner_); }

int SimLinkFixture::Connect() {
  const int result = link_.Open().code;
  scanner_.ClearReceived();
  return result;
}

SimScannerFixture::SimScannerFixture() { UseHidPlatform(&platform_); }

SimScannerFixture::~SimScannerFixture() {
  CloseDevice();
  UseHidPlatform(nullptr);
}

int SimScannerFixture::Connect() {
  const int result = OpenDevice();
  scanner_.ClearReceived();
  return result;
}

std::vector<std::string> SimLinkFixture::Trace() const {
  std::vector<std::string> lines;
  for (const sim::ReceivedCommand& command : scanner_.Received()) {
    lines.push_back(sim::FormatCommand(command));
  }
  return lines;
}

namespace {
std::vector<std::string> WithPrefix(const std::vector<std::string>& lines,
                                    const std::string& prefix) {
  std::vector<std::string> kept;
  for (const std::string& line : lines) {
    if (line.compare(0, prefix.size(), prefix) == 0) kept.push_back(line);
  }
  return kept;
}
}  // namespace

std::vector<std::string> SimLinkFixture::Sets() const { return WithPrefix(Trace(), "SET "); }
std::vector<std::string> SimLinkFixture::Gets() const { return WithPrefix(Trace(), "GET "); }

}  // namespace lumiq::test
