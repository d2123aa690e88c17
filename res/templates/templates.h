#pragma once

#include "res/dialog_template.h"

namespace lumiq::res {

// One file per template, named by its resource id.
const DialogTemplate& AboutTemplate();         // 100, about_100.cpp
const DialogTemplate& ConnectTemplate();       // 102, connect_102.cpp
const DialogTemplate& ChooserTemplate();       // 103, chooser_103.cpp
const DialogTemplate& SymbologyTemplate();     // 130, symbology_130.cpp
const DialogTemplate& ControlPageTemplate();   // 131, control_131.cpp
const DialogTemplate& OutputFormatTemplate();  // 132, output_format_132.cpp
const DialogTemplate& OutputMethodTemplate();  // 133, output_method_133.cpp
const DialogTemplate& SettingsTemplate();      // 134, settings_134.cpp
const DialogTemplate& VersionTemplate();       // 137, version_137.cpp
const DialogTemplate& TestScanTemplate();        // 145, test_scan_145.cpp
const DialogTemplate& ChannelChooserTemplate();  // 146, channel_chooser_146.cpp

}  // namespace lumiq::res
