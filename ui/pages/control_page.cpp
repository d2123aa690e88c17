#include "ui/pages/control_page.h"

#include <string>
#include <string_view>

#include "res/ids/control_ids.h"

namespace lumiq::ui {

namespace {
using namespace res::control;

// A radio button and the value that selects it.
struct TokenRadio {
  const char* token;
  int radio;
};

// The nine content-format tokens, in the order the page tests them on load
// and on save. Each radio's caption is its token.
constexpr TokenRadio kNfcFormats[] = {
    {"char", kNfcChar},   {"hex", kNfcHex},     {"dec", kNfcDec},
    {"dec1", kNfcDec1},   {"dec2", kNfcDec2},   {"dec3", kNfcDec3},
    {"char1", kNfcChar1}, {"hextochar", kNfcHexToChar}, {"phidtochar", kNfcPhidToChar},
};
constexpr TokenRadio kCodeFormats[] = {
    {"char", kCodeChar},   {"hex", kCodeHex},     {"dec", kCodeDec},
    {"dec1", kCodeDec1},   {"dec2", kCodeDec2},   {"dec3", kCodeDec3},
    {"char1", kCodeChar1}, {"hextochar", kCodeHexToChar}, {"phidtochar", kCodePhidToChar},
};
constexpr TokenRadio kContentFormats[] = {
    {"char", kContentChar},   {"hex", kContentHex},     {"dec", kContentDec},
    {"dec1", kContentDec1},   {"dec2", kContentDec2},   {"dec3", kContentDec3},
    {"char1", kContentChar1}, {"hextochar", kContentHexToChar},
    {"phidtochar", kContentPhidToChar},
};

constexpr TokenRadio kWorkModes[] = {
    {"0", kNormalMode}, {"1", kSingleMode}, {"2", kIntervalMode}};

constexpr TokenRadio kEngines[] = {{"bra,cuff", kEngine1}, {"belt,bra,cuff", kEngine2}};

// The reboot light also decides which hint parts the scanner keeps: with a
// coloured light at reboot the red-flash parts are not written.
struct RebootLight {
  const char* value;
  int radio;
  bool withRedFlash;
};
constexpr RebootLight kRebootLights[] = {
    {"7,11", kRebootLightOn, true},
    {"8,9,11", kRebootRedLight, false},
    {"7,9,11", kRebootPinkLight, false},
    {"8,11", kRebootLightOff, true},
};

// Develop mode is one choice stored in two keys.
struct DevelopMode {
  int radio;
  const char* developctrl;
  const char* scanmode;
};
constexpr DevelopMode kDevelopModes[] = {
    {kSerialDevelopMode, "1", "0"},
    {kHidDevelopMode, "2", "1"},
    {kNormalScanMode, "0", "0"},
};

// Hint parts: a value is a list of numbers, tested by substring.
constexpr char kBeepPart[] = "1";
constexpr char kRedFlashPart[] = "26";

struct HintBoxes {
  int beep;
  int redFlash;
};
constexpr HintBoxes kCodeHintBoxes = {kCodeBeep, kCodeRedFlash};
constexpr HintBoxes kNfcHintBoxes = {kNfcBeep, kNfcRedFlash};

constexpr char kNfcOn[] = "1";
constexpr char kNfcOff[] = "0";
constexpr char kNfcSerial[] = "com0";
constexpr char kNfcDevice[] = "/dev/ttyS2";

template <size_t N>
void SelectByToken(PageControls& controls, const TokenRadio (&table)[N],
                   std::string_view value) {
  for (const TokenRadio& row : table) {
    if (value == row.token) controls.SetChecked(row.radio, true);
  }
}

// The token of the first checked radio, or nullptr when none is.
template <size_t N>
const char* CheckedToken(const PageControls& controls, const TokenRadio (&table)[N]) {
  for (const TokenRadio& row : table) {
    if (controls.IsChecked(row.radio)) return row.token;
  }
  return nullptr;
}

template <size_t N>
void SetCheckedToken(const PageControls& controls, const TokenRadio (&table)[N],
                     const char* key, SettingWriter& writer) {
  if (const char* token = CheckedToken(controls, table)) writer.Set(key, token);
}

bool Contains(std::string_view value, std::string_view part) {
  return value.find(part) != std::string_view::npos;
}

// --- Load ---

void ShowHint(PageControls& controls, const HintBoxes& boxes, std::string_view hint) {
  if (Contains(hint, kBeepPart)) controls.SetChecked(boxes.beep, true);
  if (Contains(hint, kRedFlashPart)) controls.SetChecked(boxes.redFlash, true);
}

void ShowRebootLight(PageControls& controls, std::string_view value) {
  for (const RebootLight& light : kRebootLights) {
    if (value == light.value) controls.SetChecked(light.radio, true);
  }
}

void LoadNfc(PageControls& controls, SettingReader& reader) {
  // The format is read only when the reader is on.
  if (reader.Get("nfcable") != kNfcOn) return;
  controls.SetChecked(kNfcSwitch, true);
  SelectByToken(controls, kNfcFormats, reader.Get("nfccontentformat"));
}

void ShowDevelopMode(PageControls& controls, std::string_view developctrl,
                     std::string_view scanmode) {
  for (const DevelopMode& mode : kDevelopModes) {
    if (developctrl == mode.developctrl && scanmode == mode.scanmode) {
      controls.SetChecked(mode.radio, true);
    }
  }
}

// --- Store ---

std::string CombinedHint(const PageControls& controls, const HintBoxes& boxes,
                         bool withRedFlash) {
  const bool beep = controls.IsChecked(boxes.beep);
  const bool redFlash = withRedFlash && controls.IsChecked(boxes.redFlash);
  if (beep && redFlash) return std::string(kBeepPart) + "," + kRedFlashPart;
  if (beep) return kBeepPart;
  if (redFlash) return kRedFlashPart;
  return "";
}

// The hints go out only together with a reboot light: without one the
// scanner keeps all three.
void StoreRebootLightAndHints(const PageControls& controls, SettingWriter& writer) {
  for (const RebootLight& light : kRebootLights) {
    if (!controls.IsChecked(light.radio)) continue;
    writer.Set("nfchint", CombinedHint(controls, kNfcHintBoxes, light.withRedFlash));
    writer.Set("codehint", CombinedHint(controls, kCodeHintBoxes, light.withRedFlash));
    writer.Set("reboothint", light.value);
    return;
  }
}

void StoreNfc(const PageControls& controls, SettingWriter& writer) {
  if (!controls.IsChecked(kNfcSwitch)) {
    writer.Set("nfcable", kNfcOff);
    return;
  }
  writer.Set("nfcserial", kNfcSerial);
  writer.Set("nfcable", kNfcOn);
  writer.Set("com0_devname", kNfcDevice);
  SetCheckedToken(controls, kNfcFormats, "nfccontentformat", writer);
}

void StoreDevelopMode(const PageControls& controls, SettingWriter& writer) {
  for (const DevelopMode& mode : kDevelopModes) {
    if (!controls.IsChecked(mode.radio)) continue;
    writer.Set("developctrl", mode.developctrl);
    writer.Set("scanmode", mode.scanmode);
    return;
  }
}

}  // namespace

void ControlPage::Load(PageControls& controls, SettingReader& reader) {
  const std::string codehint = reader.Get("codehint");
  const std::string reboothint = reader.Get("reboothint");
  ShowHint(controls, kCodeHintBoxes, codehint);
  ShowHint(controls, kNfcHintBoxes, reader.Get("nfchint"));
  ShowRebootLight(controls, reboothint);

  SelectByToken(controls, kWorkModes, reader.Get("workmode"));
  controls.SetText(kIntervalEdit, reader.Get("intervaltime"));

  const std::string begin = reader.Get("nfccontentbegin");
  const std::string end = reader.Get("nfccontentend");
  controls.SetText(kNfcBeginEdit, begin);
  controls.SetText(kNfcEndEdit, end);
  LoadNfc(controls, reader);

  SelectByToken(controls, kCodeFormats, reader.Get("codecontentformat"));
  SelectByToken(controls, kContentFormats, reader.Get("contentformat"));

  const std::string developctrl = reader.Get("developctrl");
  const std::string scanmode = reader.Get("scanmode");
  ShowDevelopMode(controls, developctrl, scanmode);

  SelectByToken(controls, kEngines, reader.Get("enginelist"));
}

void ControlPage::StoreS4(const PageControls& controls, SettingWriter& writer) {
  // The interval and the NFC byte range go out on every Save, whatever the
  // work mode and the NFC switch.
  writer.SetText("intervaltime", controls, kIntervalEdit);
  writer.SetText("nfccontentbegin", controls, kNfcBeginEdit);
  writer.SetText("nfccontentend", controls, kNfcEndEdit);
  StoreRebootLightAndHints(controls, writer);
  SetCheckedToken(controls, kWorkModes, "workmode", writer);
  StoreNfc(controls, writer);
  SetCheckedToken(controls, kCodeFormats, "codecontentformat", writer);
  SetCheckedToken(controls, kContentFormats, "contentformat", writer);
}

void ControlPage::StoreS7(const PageControls& controls, SettingWriter& writer) {
  StoreDevelopMode(controls, writer);
  SetCheckedToken(controls, kEngines, "enginelist", writer);
}

}  // namespace lumiq::ui
