// Whatever values the scanner holds, opening the settings window and saving
// it must not crash, must send only sets the link can carry (a set that does
// not fit is reported, never cut), must name every failure in its message,
// and must never send a value other than what the pages show. Without user
// changes, a value the page understands goes back unchanged, and a second
// open-and-save of what the first one wrote sends exactly the same sets.
//
// The input seeds the simulated scanner (a value for every key the pages
// read), may pick one of its faults, and may add user clicks and typing
// between Load and Save. Everything below the pages runs for real: device
// commands, codec, HidLink, the simulated scanner as a HID backend.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "link/device_commands.h"
#include "profile/known_keys.h"
#include "res/dialog_template.h"
#include "res/ids/control_ids.h"
#include "res/ids/output_format_ids.h"
#include "res/ids/output_method_ids.h"
#include "res/ids/version_ids.h"
#include "sim/simulated_scanner.h"
#include "tests/support/fake_page_controls.h"
#include "tests/support/sim_fixture.h"
#include "ui/app/page_tabs.h"
#include "ui/pages/settings_sequence.h"

namespace {

using lumiq::test::FakePageControls;
using lumiq::test::SimScannerFixture;
namespace control = lumiq::res::control;
namespace output_format = lumiq::res::output_format;
namespace output_method = lumiq::res::output_method;
namespace version = lumiq::res::version;

// Every key a page reads.
const std::vector<std::string_view>& kReadKeys = lumiq::profile::KnownKeys();

// Values the pages recognise, and near misses.
const char* const kLiterals[] = {
    "", "0", "1", "2", "9", "01", "1 ", " 1", "com1", "hid0", "wifi0", "bluetooth0",
    "com1,hid0", "WIFI0", "HTTP", "TCP", "http", "hex", "char", "dec", "dec1", "dec2",
    "dec3", "char1", "hextochar", "phidtochar", "bra,cuff", "belt,bra,cuff", "cuff,bra",
    "7,11", "8,9,11", "7,9,11", "8,11", "1,26", "26", "26,1", "21", "PREFIX,CONTENT,POSTFIX",
    "PREFIX,CONTENT,POSTFIX,ENTER", "PREFIX,CONTENT,POSTFIX,WRAP",
    "PREFIX,CONTENT,POSTFIX,ENTER,WRAP", "WRAP,ENTER", "115200", "NONE", "\xC4\xE3",
};

// The controls whose text a key carries, as each page shows it, and the box
// that must be checked for the key to be sent at all (0: always sent).
enum Page { kSymbology, kOutputMethod, kOutputFormat, kControl, kVersion };
struct TextKey {
  const char* key;
  Page page;
  int id;
  int channelBox;
};
constexpr int kCom = output_method::kComOutput;
constexpr int kWifi = output_method::kWifiOutput;
constexpr int kBluetooth = output_method::kBluetoothOutput;
const TextKey kTextKeys[] = {
    {"com1_baudrate", kOutputMethod, output_method::kBaudRateCombo, kCom},
    {"com1_stopbits", kOutputMethod, output_method::kStopBitsCombo, kCom},
    {"com1_bytesizes", kOutputMethod, output_method::kDataBitsCombo, kCom},
    {"com1_paritys", kOutputMethod, output_method::kParityCombo, kCom},
    {"wifi0_wapssid", kOutputMethod, output_method::kDeviceSsidEdit, kWifi},
    {"wifi0_stassid", kOutputMethod, output_method::kJoinSsidEdit, kWifi},
    {"wifi0_stawskeykey", kOutputMethod, output_method::kKeyEdit, kWifi},
    {"wifi0_serveraddr", kOutputMethod, output_method::kServerAddressEdit, kWifi},
    {"wifi0_serverport", kOutputMethod, output_method::kServerPortEdit, kWifi},
    {"wifi0_httpph", kOutputMethod, output_method::kServerPathEdit, kWifi},
    {"wifi0_stawskeyauth", kOutputMethod, output_method::kAuthModeCombo, kWifi},
    {"wifi0_stawskeyencry", kOutputMethod, output_method::kEncryptionCombo, kWifi},
    {"bluetooth0_name", kOutputMethod, output_method::kBluetoothNameEdit, kBluetooth},
    {"codeprefix", kOutputFormat, output_format::kCodePrefixEdit, 0},
    {"codepostfix", kOutputFormat, output_format::kCodeSuffixEdit, 0},
    {"nfcprefix", kOutputFormat, output_format::kNfcPrefixEdit, 0},
    {"nfcpostfix", kOutputFormat, output_format::kNfcSuffixEdit, 0},
    {"hid0_presskeytime", kOutputFormat, output_format::kKeyDownTime, 0},
    {"hid0_upkeytime", kOutputFormat, output_format::kKeyUpTime, 0},
    {"intervaltime", kControl, control::kIntervalEdit, 0},
    {"nfccontentbegin", kControl, control::kNfcBeginEdit, 0},
    {"nfccontentend", kControl, control::kNfcEndEdit, 0},
    {"deviceno", kVersion, version::kDeviceNumber, 0},
};
// A prefix or suffix is sent empty while its box is unchecked.
const std::map<std::string, int> kAffixBoxes = {
    {"codeprefix", output_format::kCodePrefixBox},
    {"codepostfix", output_format::kCodeSuffixBox},
    {"nfcprefix", output_format::kNfcPrefixBox},
    {"nfcpostfix", output_format::kNfcSuffixBox},
};

// Keys tied to check boxes and radio buttons, with every value the pages
// send for them: a value read from this set goes back as it was.
const std::map<std::string, std::set<std::string>> kVocabularies = {
    {"qrcode", {"0", "1"}}, {"dmcode", {"0", "1"}}, {"onecode", {"0", "1"}},
    {"pdf417code", {"0", "1"}}, {"anticode", {"0", "1"}}, {"mirrorcode", {"0", "1"}},
    {"io_outputs", {"com1", "hid0", "wifi0", "bluetooth0"}},
    {"wifi0_protocol", {"HTTP", "TCP"}}, {"wifi0_apimothed", {"0", "9"}},
    {"contentorder",
     {"PREFIX,CONTENT,POSTFIX", "PREFIX,CONTENT,POSTFIX,ENTER", "PREFIX,CONTENT,POSTFIX,WRAP",
      "PREFIX,CONTENT,POSTFIX,ENTER,WRAP"}},
    {"codeprepostformat", {"hex", "char"}}, {"nfcprepostformat", {"hex", "char"}},
    {"nfcreadmethod", {"0", "1"}},
    {"reboothint", {"7,11", "8,9,11", "7,9,11", "8,11"}},
    {"workmode", {"0", "1", "2"}}, {"nfcable", {"0", "1"}},
    {"nfccontentformat",
     {"char", "hex", "dec", "dec1", "dec2", "dec3", "char1", "hextochar", "phidtochar"}},
    {"codecontentformat",
     {"char", "hex", "dec", "dec1", "dec2", "dec3", "char1", "hextochar", "phidtochar"}},
    {"contentformat",
     {"char", "hex", "dec", "dec1", "dec2", "dec3", "char1", "hextochar", "phidtochar"}},
    {"developctrl", {"0", "1", "2"}}, {"scanmode", {"0", "1"}},
    {"enginelist", {"bra,cuff", "belt,bra,cuff"}},
};

struct Pages : lumiq::test::FakeSettingsWindow {
  lumiq::ui::PageSet Set() { return FakeSettingsWindow::Pages(); }
  FakePageControls& Of(Page page) {
    switch (page) {
      case kSymbology: return symbology;
      case kOutputMethod: return outputMethod;
      case kOutputFormat: return outputFormat;
      case kControl: return control;
      default: return version;
    }
  }
  // The page made from template `templateId`.
  FakePageControls& OfTemplate(int templateId) {
    for (FakePageControls* page : {&symbology, &outputMethod, &outputFormat, &control, &version}) {
      if (page->TemplateId() == templateId) return *page;
    }
    FUZZ_CHECK(false);
    return version;
  }
};

struct Set {
  std::string key;
  std::string value;
  bool operator==(const Set& other) const { return key == other.key && value == other.value; }
};

std::vector<Set> ReceivedSets(const lumiq::sim::SimulatedScanner& scanner) {
  std::vector<Set> sets;
  for (const auto& command : scanner.Received()) {
    if (command.command == 0x07) sets.push_back({command.key, command.value});
  }
  return sets;
}

std::vector<std::string> ReceivedGets(const lumiq::sim::SimulatedScanner& scanner) {
  std::vector<std::string> gets;
  for (const auto& command : scanner.Received()) {
    if (command.command == 0x08) gets.push_back(command.key);
  }
  return gets;
}

bool Contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

// Whether `message` names `key` whole after its first line: keys are joined
// by ", " and wrapped into lines.
bool Names(const std::string& message, const std::string& key) {
  for (size_t at = message.find(key, message.find('\n')); at != std::string::npos;
       at = message.find(key, at + 1)) {
    const char before = message[at - 1];
    const size_t after = at + key.size();
    if ((before == '\n' || before == ' ') &&
        (after == message.size() || message[after] == ',' || message[after] == '\n')) {
      return true;
    }
  }
  return false;
}

// The message names every failed key after the failure text.
void CheckSaveMessage(const lumiq::ui::SaveOutcome& outcome) {
  const std::string message = lumiq::ui::SaveMessage(outcome);
  if (outcome.Succeeded()) {
    FUZZ_CHECK(message == lumiq::ui::kSaveSucceededText);
    return;
  }
  FUZZ_CHECK(message.compare(0, std::string(lumiq::ui::kSaveFailedText).size(),
                             lumiq::ui::kSaveFailedText) == 0);
  for (const std::string& key : outcome.failedKeys) {
    FUZZ_CHECK(Names(message, key));
  }
}

void CheckLoadMessage(const std::vector<std::string>& failed) {
  if (failed.empty()) return;
  const std::string message = lumiq::ui::LoadFailureMessage(failed);
  FUZZ_CHECK(message.compare(0, std::string(lumiq::ui::kLoadFailedText).size(),
                             lumiq::ui::kLoadFailedText) == 0);
  for (const std::string& key : failed) FUZZ_CHECK(Names(message, key));
}

std::string ConsumeValue(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return in.PickValueInArray(kLiterals);
    case 1:
      return in.ConsumeRandomLengthString(300);
    case 2: {
      // Around the limits: 255 fits a value buffer, 241 to 252 a set.
      static constexpr size_t kLengths[] = {238, 241, 242, 243, 247, 248, 252, 253,
                                            254, 255, 256, 1022, 1023, 1024};
      return std::string(in.PickValueInArray(kLengths), 'v');
    }
    default:
      return std::string(in.ConsumeIntegralInRange<size_t>(0, 1100), 'w');
  }
}

void ConsumeFaults(FuzzedDataProvider& in, lumiq::sim::ScannerFaults* faults,
                   bool* transportFault) {
  *transportFault = false;
  const int kind = in.ConsumeIntegralInRange(0, 15);
  // Command numbers: 1 is the handshake, the Load's gets follow, then the
  // Save's sets and the commit.
  const int at = in.ConsumeIntegralInRange(1, 130);
  switch (kind) {
    case 1:
    case 2:
      for (std::string_view key : kReadKeys) {
        if (in.ConsumeIntegralInRange(0, 7) == 0) faults->refusedKeys.emplace(key);
      }
      break;
    case 3: faults->silentFrom = at; *transportFault = true; break;
    case 4: faults->unplugFrom = at; *transportFault = true; break;
    case 5: faults->lateReplyAt = at; *transportFault = true; break;
    case 6: faults->strayReportAfter = at; *transportFault = true; break;
    case 7:
      faults->wrongSizeReportAt = at;
      faults->wrongReportSize = in.ConsumeIntegralInRange(0, 200);
      *transportFault = true;
      break;
    case 8: faults->nonZeroReportIdAt = at; *transportFault = true; break;
    case 9: faults->replyPadding = in.ConsumeIntegralInRange(0, 300); *transportFault = true; break;
    case 10: faults->refusedCommands.insert(0x09); break;
    default: break;
  }
}

// A few user clicks and keystrokes on any control of any page.
bool ConsumeUserActions(FuzzedDataProvider& in, Pages& pages) {
  const int actions = in.ConsumeIntegralInRange(0, 3) == 0 ? in.ConsumeIntegralInRange(1, 12) : 0;
  for (int i = 0; i < actions; ++i) {
    const int tab = in.ConsumeIntegralInRange(0, lumiq::ui::app::kPageCount - 1);
    const int templateId = lumiq::ui::app::kPageTabs[tab].templateId;
    const lumiq::res::DialogTemplate* dialog = lumiq::res::FindDialogTemplate(templateId);
    FUZZ_CHECK(dialog != nullptr && !dialog->controls.empty());
    const auto& item = dialog->controls[in.ConsumeIntegralInRange<size_t>(0, dialog->controls.size() - 1)];
    if (item.id == lumiq::res::kNoId) continue;
    FakePageControls& page = pages.OfTemplate(templateId);
    if (item.kind == lumiq::res::ControlKind::kEdit || item.kind == lumiq::res::ControlKind::kComboBox) {
      page.Type(item.id, in.ConsumeBool() ? in.ConsumeRandomLengthString(300) : std::string(253, 'u'));
    } else {
      page.Click(item.id);
    }
  }
  return actions > 0;
}

// Load the pages from the scanner; returns the keys the Load could not read.
std::vector<std::string> Load(Pages& pages) {
  auto set = pages.Set();
  std::vector<std::string> failed = lumiq::ui::LoadPages(set);
  CheckLoadMessage(failed);
  // Only keys the pages read can have failed.
  const std::vector<std::string> keys(kReadKeys.begin(), kReadKeys.end());
  for (const std::string& key : failed) FUZZ_CHECK(Contains(keys, key));
  return failed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  SimScannerFixture sim;
  std::map<std::string, std::string> original;
  for (std::string_view readKey : kReadKeys) {
    if (in.ConsumeIntegralInRange(0, 7) == 0) continue;  // not held: reads as empty
    const std::string key(readKey);
    original[key] = ConsumeValue(in);
    sim.scanner().Set(key, original[key]);
  }
  bool transportFault = false;
  ConsumeFaults(in, &sim.scanner().Faults(), &transportFault);
  const bool faulty = transportFault || !sim.scanner().Faults().refusedKeys.empty() ||
                      !sim.scanner().Faults().refusedCommands.empty();

  // --- first opening and Save ---
  sim.Connect();
  Pages pages;
  const std::vector<std::string> loadFailed = Load(pages);
  const std::vector<std::string> gets = ReceivedGets(sim.scanner());
  auto shownBefore = [&](const std::string& key) -> std::string {
    const bool read = Contains(gets, key) && !Contains(loadFailed, key);
    if (!read) return std::string();
    auto it = original.find(key);
    return it == original.end() ? std::string() : it->second;
  };
  if (!faulty) {
    // Only values too long for their buffer fail to load.
    for (const std::string& key : loadFailed) {
      const size_t buffer = key == "wifi0_httpph" ? lumiq::kLongValueBufferSize : lumiq::kValueBufferSize;
      FUZZ_CHECK(original[key].size() + 1 > buffer);
    }
  }
  // A text shows what its key held, or nothing when the read failed.
  for (const TextKey& text : kTextKeys) {
    if (!Contains(gets, text.key)) continue;
    if (kAffixBoxes.count(text.key) && !pages.Of(text.page).IsChecked(kAffixBoxes.at(text.key))) continue;
    FUZZ_CHECK(pages.Of(text.page).Text(text.id) == shownBefore(text.key));
  }

  const bool userChanged = ConsumeUserActions(in, pages);
  sim.scanner().ClearReceived();
  auto pageSet = pages.Set();
  const lumiq::ui::SaveOutcome outcome = lumiq::ui::SavePages(pageSet);
  CheckSaveMessage(outcome);
  const std::vector<Set> sets = ReceivedSets(sim.scanner());

  // Only sets the link can carry reach the scanner; a text that does not
  // fit is reported, not cut.
  for (const Set& set : sets) FUZZ_CHECK(lumiq::SetFits(set.key, set.value));
  for (const TextKey& text : kTextKeys) {
    const FakePageControls& page = pages.Of(text.page);
    const bool boxed = kAffixBoxes.count(text.key) > 0;
    const std::string shown =
        boxed && !page.IsChecked(kAffixBoxes.at(text.key)) ? std::string() : *page.Text(text.id);
    int sent = 0;
    for (const Set& set : sets) {
      if (set.key != text.key) continue;
      FUZZ_CHECK(set.value == shown);
      ++sent;
    }
    FUZZ_CHECK(sent <= 1);
    const bool failed = Contains(outcome.failedKeys, text.key);
    const bool attempted =
        text.channelBox == 0 || pages.outputMethod.IsChecked(text.channelBox);
    if (!attempted) {
      FUZZ_CHECK(sent == 0 && !failed);
    } else if (!lumiq::SetFits(text.key, shown)) {
      FUZZ_CHECK(sent == 0 && failed);
    } else if (!faulty) {
      FUZZ_CHECK(sent == 1 && !failed);
    }
  }
  if (!faulty) {
    FUZZ_CHECK(!outcome.commitFailed);
    for (const std::string& key : outcome.failedKeys) {
      const bool unfit = std::none_of(sets.begin(), sets.end(), [&](const Set& s) { return s.key == key; });
      FUZZ_CHECK(unfit);
    }
  }
  if (userChanged) {
    lumiq::CloseDevice();
    return 0;
  }

  // Values the pages understand go back as they were read.
  for (const auto& [key, vocabulary] : kVocabularies) {
    const std::string before = shownBefore(key);
    const bool understood = Contains(gets, key) && !Contains(loadFailed, key) && vocabulary.count(before);
    const Set* last = nullptr;
    for (const Set& set : sets) {
      if (set.key == key) last = &set;
    }
    if (last == nullptr) continue;
    FUZZ_CHECK(vocabulary.count(last->value));
    if (understood) FUZZ_CHECK(last->value == before);
  }
  if (faulty) {
    lumiq::CloseDevice();
    return 0;
  }

  // --- a second opening shows what the first Save wrote, and its Save
  // sends exactly the same ---
  lumiq::CloseDevice();
  sim.scanner().ClearReceived();
  sim.Connect();
  Pages again;
  Load(again);
  sim.scanner().ClearReceived();
  auto againSet = again.Set();
  const lumiq::ui::SaveOutcome second = lumiq::ui::SavePages(againSet);
  FUZZ_CHECK(ReceivedSets(sim.scanner()) == sets);
  FUZZ_CHECK(second.failedKeys == outcome.failedKeys);
  lumiq::CloseDevice();
  return 0;
}
