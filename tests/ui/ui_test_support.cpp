#include "tests/ui/ui_test_support.h"

#include <map>

#include "link/device_commands.h"
#include "tests/support/fake_page_controls.h"
#include "ui/pages/settings_sequence.h"

namespace lumiq::test {

QStringList CapturingSink::Texts() const {
  QStringList texts;
  for (const Shown& message : shown) texts << message.text;
  return texts;
}

PageReference RunPagesWithoutWindows(UiScanner& rig) {
  sim::SimulatedScanner& scanner = rig.scanner();
  const std::map<std::string, std::string> settings = scanner.Settings();
  const int discoveries = rig.platform().discoveries;

  PageReference reference;
  OpenDevice();
  scanner.ClearReceived();
  FakePageControls symbology(130), outputMethod(133), outputFormat(132), control(131),
      version(137);
  ui::PageSet pages{symbology, outputMethod, outputFormat, control, version};
  reference.loadFailedKeys = ui::LoadPages(pages);
  reference.loadTrace = rig.Trace();
  scanner.ClearReceived();
  ui::SavePages(pages);
  reference.saveTrace = rig.Trace();

  CloseDevice();
  scanner.ClearReceived();
  scanner.Settings() = settings;
  rig.platform().discoveries = discoveries;
  return reference;
}

std::string SourcePath(const std::string& relative) {
  return std::string(LUMIQ_SOURCE_DIR) + "/" + relative;
}

}  // namespace lumiq::test
