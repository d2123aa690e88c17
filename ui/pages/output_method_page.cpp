#include "ui/pages/output_method_page.h"

#include <string>
#include <vector>

#include "res/ids/output_method_ids.h"

namespace lumiq::ui {

namespace {
using namespace res::output_method;

// One output channel: the value of `io_outputs` that names it, its check
// box, the other controls shown with it, and the I/O lists written for it.
struct Channel {
  const char* output;
  int box;
  std::vector<int> parameterControls;
  const char* inits;
  const char* monitors;
  void (*loadParameters)(PageControls&, SettingReader&);
};

// --- Load of each channel's parameters ---

void LoadCom(PageControls& controls, SettingReader& reader) {
  const std::string baudrate = reader.Get("com1_baudrate");
  const std::string stopbits = reader.Get("com1_stopbits");
  const std::string bytesizes = reader.Get("com1_bytesizes");
  const std::string paritys = reader.Get("com1_paritys");
  // Into the combo boxes' edit fields as they are, listed or not.
  controls.SetText(kBaudRateCombo, baudrate);
  controls.SetText(kStopBitsCombo, stopbits);
  controls.SetText(kDataBitsCombo, bytesizes);
  controls.SetText(kParityCombo, paritys);
}

void LoadNothing(PageControls&, SettingReader&) {}

void LoadWifi(PageControls& controls, SettingReader& reader) {
  const std::string wapssid = reader.Get("wifi0_wapssid");
  const std::string stassid = reader.Get("wifi0_stassid");
  const std::string key = reader.Get("wifi0_stawskeykey");
  const std::string serveraddr = reader.Get("wifi0_serveraddr");
  const std::string serverport = reader.Get("wifi0_serverport");
  // The server path is the one value that may run past 255 bytes.
  const std::string httpph = reader.Get("wifi0_httpph", kLongValueBufferSize);
  const std::string auth = reader.Get("wifi0_stawskeyauth");
  const std::string encry = reader.Get("wifi0_stawskeyencry");

  controls.SetText(kAuthModeCombo, auth);
  controls.SetText(kEncryptionCombo, encry);
  controls.SetText(kDeviceSsidEdit, wapssid);
  controls.SetText(kJoinSsidEdit, stassid);
  controls.SetText(kKeyEdit, key);
  controls.SetText(kServerAddressEdit, serveraddr);
  controls.SetText(kServerPortEdit, serverport);
  controls.SetText(kServerPathEdit, httpph);

  const std::string protocol = reader.Get("wifi0_protocol");
  if (protocol == "HTTP") controls.SetChecked(kHttpRadio, true);
  if (protocol == "TCP") controls.SetChecked(kTcpRadio, true);

  if (reader.Get("wifi0_apimothed") == "9") controls.SetChecked(kProtocolModeBox, true);
}

void LoadBluetooth(PageControls& controls, SettingReader& reader) {
  controls.SetText(kBluetoothNameEdit, reader.Get("bluetooth0_name"));
}

// In the order the Save writes them.
const Channel kChannels[] = {
    {"com1", kComOutput,
     {kBaudRateCombo, kStopBitsCombo, kDataBitsCombo, kParityCombo, kBaudRateLabel,
      kDataBitsLabel, kStopBitsLabel, kParityLabel},
     "com0,com1,hid1,com2", "com1,hid1", LoadCom},
    {"hid0", kHidOutput, {}, "com0,hid0,hid1,com2", "hid1", LoadNothing},
    {"wifi0", kWifiOutput,
     {kDeviceWifiLabel, kDeviceSsidLabel, kJoinWifiLabel, kJoinSsidLabel, kAuthModeLabel,
      kEncryptionLabel, kKeyLabel, kProtocolLabel, kServerAddressLabel, kServerPortLabel,
      kServerPathLabel, kDeviceSsidEdit, kJoinSsidEdit, kKeyEdit, kServerAddressEdit,
      kServerPortEdit, kServerPathEdit, kAuthModeCombo, kEncryptionCombo, kHttpRadio,
      kTcpRadio, kProtocolModeBox},
     "wifi0,hid1,com0,com2", "wifi0,hid1", LoadWifi},
    // Bluetooth lists hid1 first among the monitors, unlike Wi-Fi.
    {"bluetooth0", kBluetoothOutput, {kBluetoothNameLabel, kBluetoothNameEdit},
     "bluetooth0,hid1,com0,com2", "hid1,bluetooth0", LoadBluetooth},
};
const Channel& kComChannel = kChannels[0];
const Channel& kHidChannel = kChannels[1];
const Channel& kWifiChannel = kChannels[2];
const Channel& kBluetoothChannel = kChannels[3];

void HideChannel(PageControls& controls, const Channel& channel) {
  controls.SetShown(channel.box, false);
  for (int id : channel.parameterControls) controls.SetShown(id, false);
}

// --- Store of each channel's block ---

void SetIoLists(const Channel& channel, SettingWriter& writer) {
  writer.Set("io_inits", channel.inits);
  writer.Set("io_monitors", channel.monitors);
  writer.Set("io_outputs", channel.output);
}

void StoreCom(const PageControls& controls, SettingWriter& writer) {
  SetIoLists(kComChannel, writer);
  writer.SetText("com1_baudrate", controls, kBaudRateCombo);
  writer.SetText("com1_bytesizes", controls, kDataBitsCombo);
  writer.SetText("com1_stopbits", controls, kStopBitsCombo);
  writer.SetText("com1_paritys", controls, kParityCombo);
}

void StoreHid(SettingWriter& writer) { SetIoLists(kHidChannel, writer); }

void StoreWifi(const PageControls& controls, SettingWriter& writer) {
  // The API method goes out twice: cleared before the channel lists change,
  // and its real value once everything else is in place.
  writer.Set("wifi0_apimothed", "0");
  SetIoLists(kWifiChannel, writer);
  writer.SetText("wifi0_wapssid", controls, kDeviceSsidEdit);
  writer.SetText("wifi0_stassid", controls, kJoinSsidEdit);
  writer.SetText("wifi0_stawskeykey", controls, kKeyEdit);
  writer.SetText("wifi0_serveraddr", controls, kServerAddressEdit);
  writer.SetText("wifi0_serverport", controls, kServerPortEdit);
  writer.SetText("wifi0_httpph", controls, kServerPathEdit);
  writer.SetText("wifi0_stawskeyauth", controls, kAuthModeCombo);
  writer.SetText("wifi0_stawskeyencry", controls, kEncryptionCombo);
  if (controls.IsChecked(kHttpRadio)) writer.Set("wifi0_protocol", "HTTP");
  if (controls.IsChecked(kTcpRadio)) writer.Set("wifi0_protocol", "TCP");
  writer.Set("wifi0_apimothed", controls.IsChecked(kProtocolModeBox) ? "9" : "0");
}

void StoreBluetooth(const PageControls& controls, SettingWriter& writer) {
  SetIoLists(kBluetoothChannel, writer);
  writer.SetText("bluetooth0_name", controls, kBluetoothNameEdit);
}

}  // namespace

void OutputMethodPage::Load(PageControls& controls, SettingReader& reader) {
  // Only a single channel name, exactly, selects a channel; anything else
  // (a list, other case, a failed read) leaves the page as built.
  const std::string output = reader.Get("io_outputs");
  for (const Channel& channel : kChannels) {
    if (output != channel.output) continue;
    for (const Channel& other : kChannels) {
      if (&other != &channel) HideChannel(controls, other);
    }
    controls.SetChecked(channel.box, true);
    channel.loadParameters(controls, reader);
    return;
  }
}

void OutputMethodPage::StoreS2(const PageControls& controls, SettingWriter& writer) {
  if (controls.IsChecked(kComOutput)) StoreCom(controls, writer);
  if (controls.IsChecked(kHidOutput)) StoreHid(writer);
  if (controls.IsChecked(kWifiOutput)) StoreWifi(controls, writer);
  if (controls.IsChecked(kBluetoothOutput)) StoreBluetooth(controls, writer);
}

}  // namespace lumiq::ui
