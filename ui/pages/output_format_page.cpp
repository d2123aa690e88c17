#include "ui/pages/output_format_page.h"

#include <string>
#include <string_view>

#include "res/ids/output_format_ids.h"

namespace lumiq::ui {

namespace {

namespace ids = res::output_format;

constexpr char kContentOrderKey[] = "contentorder";
constexpr char kNfcContentOrderKey[] = "nfccontentorder";
constexpr char kNfcContentOrder[] = "NFCPREFIX,NFC,NFCPOSTFIX";
constexpr char kKeyDownTimeKey[] = "hid0_presskeytime";
constexpr char kKeyUpTimeKey[] = "hid0_upkeytime";

// A prefix or suffix: a text that counts only while its box is checked.
struct Affix {
  const char* key;
  int box;
  int edit;
};

constexpr Affix kCodePrefix{"codeprefix", ids::kCodePrefixBox, ids::kCodePrefixEdit};
constexpr Affix kCodeSuffix{"codepostfix", ids::kCodeSuffixBox, ids::kCodeSuffixEdit};
constexpr Affix kNfcPrefix{"nfcprefix", ids::kNfcPrefixBox, ids::kNfcPrefixEdit};
constexpr Affix kNfcSuffix{"nfcpostfix", ids::kNfcSuffixBox, ids::kNfcSuffixEdit};

// One radio button and the value of its key that it stands for.
struct Choice {
  int radio;
  const char* value;
};

struct RadioPair {
  const char* key;
  Choice first;
  Choice second;
};

constexpr RadioPair kCodeNotation{
    "codeprepostformat", {ids::kCodeNotationHex, "hex"}, {ids::kCodeNotationChar, "char"}};
constexpr RadioPair kNfcNotation{
    "nfcprepostformat", {ids::kNfcNotationHex, "hex"}, {ids::kNfcNotationChar, "char"}};
constexpr RadioPair kReadMethod{
    "nfcreadmethod", {ids::kReadNormal, "0"}, {ids::kReadContinuous, "1"}};

bool Contains(std::string_view value, std::string_view word) {
  return value.find(word) != std::string_view::npos;
}

// The order always starts with the prefix, content and suffix; a switched
// off prefix or suffix is an empty one, not a shorter order.
const char* ContentOrder(bool enter, bool wrap) {
  if (enter && wrap) return "PREFIX,CONTENT,POSTFIX,ENTER,WRAP";
  if (enter) return "PREFIX,CONTENT,POSTFIX,ENTER";
  if (wrap) return "PREFIX,CONTENT,POSTFIX,WRAP";
  return "PREFIX,CONTENT,POSTFIX";
}

// The words are looked for anywhere in the value, not as list items in
// place, so an order naming WRAP before ENTER still checks both boxes.
void LoadContentOrder(PageControls& controls, SettingReader& reader) {
  const std::string order = reader.Get(kContentOrderKey);
  if (Contains(order, "ENTER")) controls.SetChecked(ids::kEnter, true);
  if (Contains(order, "WRAP")) controls.SetChecked(ids::kWrap, true);
}

// Blanks are a prefix too: only the empty value means none.
void LoadAffix(PageControls& controls, SettingReader& reader, const Affix& affix) {
  const std::string text = reader.Get(affix.key);
  if (text.empty()) return;
  controls.SetText(affix.edit, text);
  controls.SetChecked(affix.box, true);
}

// A value outside the pair's two leaves both unselected, so Save will not
// overwrite what the scanner holds.
void LoadRadioPair(PageControls& controls, SettingReader& reader, const RadioPair& pair) {
  const std::string value = reader.Get(pair.key);
  if (value == pair.first.value) controls.SetChecked(pair.first.radio, true);
  if (value == pair.second.value) controls.SetChecked(pair.second.radio, true);
}

// Shown as read, even when it holds more than the digits a user could type.
void LoadText(PageControls& controls, SettingReader& reader, const char* key, int edit) {
  controls.SetText(edit, reader.Get(key));
}

// An unchecked box sends the empty value; its edit is not even read.
void StoreAffix(const PageControls& controls, SettingWriter& writer, const Affix& affix) {
  if (controls.IsChecked(affix.box)) {
    writer.SetText(affix.key, controls, affix.edit);
  } else {
    writer.Set(affix.key, "");
  }
}

// The NFC order goes out only together with a prefix; with a suffix alone
// the scanner keeps the order it holds.
void StoreNfcPrefix(const PageControls& controls, SettingWriter& writer) {
  if (controls.IsChecked(kNfcPrefix.box)) writer.Set(kNfcContentOrderKey, kNfcContentOrder);
  StoreAffix(controls, writer, kNfcPrefix);
}

void StoreChoice(const PageControls& controls, SettingWriter& writer, const char* key,
                 const Choice& choice) {
  if (controls.IsChecked(choice.radio)) writer.Set(key, choice.value);
}

void StoreRadioPair(const PageControls& controls, SettingWriter& writer, const RadioPair& pair) {
  StoreChoice(controls, writer, pair.key, pair.first);
  StoreChoice(controls, writer, pair.key, pair.second);
}

}  // namespace

void OutputFormatPage::Load(PageControls& controls, SettingReader& reader) {
  LoadContentOrder(controls, reader);
  LoadAffix(controls, reader, kCodePrefix);
  LoadAffix(controls, reader, kCodeSuffix);
  LoadAffix(controls, reader, kNfcPrefix);
  LoadAffix(controls, reader, kNfcSuffix);
  LoadRadioPair(controls, reader, kCodeNotation);
  LoadRadioPair(controls, reader, kNfcNotation);
  LoadRadioPair(controls, reader, kReadMethod);
  LoadText(controls, reader, kKeyDownTimeKey, ids::kKeyDownTime);
  LoadText(controls, reader, kKeyUpTimeKey, ids::kKeyUpTime);
}

void OutputFormatPage::StoreS3(const PageControls& controls, SettingWriter& writer) {
  writer.Set(kContentOrderKey,
             ContentOrder(controls.IsChecked(ids::kEnter), controls.IsChecked(ids::kWrap)));
  StoreAffix(controls, writer, kCodePrefix);
  StoreAffix(controls, writer, kCodeSuffix);
  StoreNfcPrefix(controls, writer);
  StoreAffix(controls, writer, kNfcSuffix);
}

// Each radio button is tested on its own; the read method goes out between
// the two notations, not in the order Load reads them.
void OutputFormatPage::StoreS5(const PageControls& controls, SettingWriter& writer) {
  StoreRadioPair(controls, writer, kCodeNotation);
  StoreRadioPair(controls, writer, kReadMethod);
  StoreRadioPair(controls, writer, kNfcNotation);
}

// Both times go out in every Save, even empty, exactly as the edits hold them.
void OutputFormatPage::StoreS8(const PageControls& controls, SettingWriter& writer) {
  writer.SetText(kKeyDownTimeKey, controls, ids::kKeyDownTime);
  writer.SetText(kKeyUpTimeKey, controls, ids::kKeyUpTime);
}

}  // namespace lumiq::ui
