#include "ui/win32/program_icon.h"

#include "res/ids/app_ids.h"

namespace lumiq::ui::win32 {

ProgramIcons LoadProgramIcons(HINSTANCE instance) {
  ProgramIcons icons;
  icons.big = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(res::kProgramIconId),
                                            IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                            GetSystemMetrics(SM_CYICON), LR_SHARED));
  icons.small = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(res::kProgramIconId),
                                              IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  return icons;
}

}  // namespace lumiq::ui::win32
