#pragma once

// Controls of the version page (template 137).
namespace lumiq::res::version {

inline constexpr int kTemplateId = 137;

inline constexpr int kFirmwareVersion = 1001;  // edit, disabled
inline constexpr int kDeviceNumber = 1103;     // edit

}  // namespace lumiq::res::version
