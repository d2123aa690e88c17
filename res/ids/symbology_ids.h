#pragma once

// Controls of the symbology page (template 130), one check box per code type.
namespace lumiq::res::symbology {

inline constexpr int kTemplateId = 130;

inline constexpr int kQr = 1033;       // "QR"
inline constexpr int kDm = 1034;       // "DM"
inline constexpr int kLinear = 1035;   // "条码", one-dimensional barcodes
inline constexpr int kPdf417 = 1093;   // "PDF417码"
inline constexpr int kInverse = 1094;  // "反码", hidden
inline constexpr int kMirror = 1095;   // "镜像码", hidden

}  // namespace lumiq::res::symbology
