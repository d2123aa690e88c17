#include "res/ids/symbology_ids.h"
#include "res/templates/templates.h"

namespace lumiq::res {

const DialogTemplate& SymbologyTemplate() {
  using namespace symbology;
  // Inverse and mirror-image codes are not offered to the user, yet their
  // boxes carry the scanner's values through Load and Save.
  static const DialogTemplate dialog{
      kTemplateId, "", 302, 179, "System", 10, true,
      {
          {kQr, ControlKind::kCheckBox, "QR", {7, 7, 26, 10}, kTabStop, {}},
          {kDm, ControlKind::kCheckBox, "DM", {7, 18, 27, 10}, kTabStop, {}},
          {kLinear, ControlKind::kCheckBox, "条码", {7, 29, 32, 10}, kTabStop, {}},
          {kPdf417, ControlKind::kCheckBox, "PDF417码", {7, 40, 50, 10}, kTabStop, {}},
          {kInverse, ControlKind::kCheckBox, "反码", {7, 51, 42, 10}, kTabStop | kHidden, {}},
          {kMirror, ControlKind::kCheckBox, "镜像码", {7, 62, 40, 10}, kTabStop | kHidden, {}},
      }};
  return dialog;
}

}  // namespace lumiq::res
