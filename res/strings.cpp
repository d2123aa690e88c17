#include "res/strings.h"

#include "res/ids/app_ids.h"

namespace lumiq::res {

const char* StringResource(int id) {
  switch (id) {
    case kAboutMenuStringId: return "关于 LumiqConfigTool(&A)...";
    case kAppTitleStringId: return kAppName;
    default: return "";
  }
}

}  // namespace lumiq::res
