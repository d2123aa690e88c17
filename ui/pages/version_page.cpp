#include "ui/pages/version_page.h"

#include "res/ids/version_ids.h"

namespace lumiq::ui {

namespace {
namespace ids = res::version;
constexpr char kDeviceNumberKey[] = "deviceno";
}  // namespace

void VersionPage::Load(PageControls& controls, SettingReader& reader) {
  const std::string version = reader.Get(kVersionKey);
  const std::string deviceNumber = reader.Get(kDeviceNumberKey);
  controls.SetText(ids::kFirmwareVersion, version);
  controls.SetText(ids::kDeviceNumber, deviceNumber);
}

// The whole text, also when empty or blank. A number too long for one set
// is refused by the link and reported by Save rather than cut here: a
// shortened device number would be a different device number.
void VersionPage::StoreS6(const PageControls& controls, SettingWriter& writer) {
  writer.SetText(kDeviceNumberKey, controls, ids::kDeviceNumber);
}

}  // namespace lumiq::ui
