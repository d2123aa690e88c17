#include "ui/pages/symbology_page.h"

#include <string>

#include "res/ids/symbology_ids.h"

namespace lumiq::ui {

namespace {

namespace ids = res::symbology;

struct CodeType {
  const char* key;
  int box;
};

// Load and Store both walk this table, in this order.
constexpr CodeType kCodeTypes[] = {
    {"qrcode", ids::kQr},         {"dmcode", ids::kDm},
    {"onecode", ids::kLinear},    {"pdf417code", ids::kPdf417},
    {"anticode", ids::kInverse},  {"mirrorcode", ids::kMirror},
};

constexpr char kEnabled[] = "1";
constexpr char kDisabled[] = "0";

}  // namespace

void SymbologyPage::Load(PageControls& controls, SettingReader& reader) {
  for (const CodeType& type : kCodeTypes) {
    // Only exactly "1" enables: "01", "1 " or a failed read leave the box
    // as the template made it, and the next Save writes "0".
    if (reader.Get(type.key) == kEnabled) controls.SetChecked(type.box, true);
  }
}

void SymbologyPage::StoreS1(const PageControls& controls, SettingWriter& writer) {
  for (const CodeType& type : kCodeTypes) {
    writer.Set(type.key, controls.IsChecked(type.box) ? kEnabled : kDisabled);
  }
}

}  // namespace lumiq::ui
