#include "sim/demo_configuration.h"

#include <cstdlib>

#include "sim/seed_file.h"

namespace lumiq::sim {

namespace {

const char kDemoSeed[] = R"(# ZR-series demo module: Wi-Fi output to a TCP server, NFC reader on.

# Code types (anticode is set, so the hidden inverse-code box is checked)
qrcode=1
dmcode=1
onecode=1
pdf417code=0
anticode=1
mirrorcode=0

# Output channel
io_outputs=wifi0
io_inits=wifi0,hid1,com0,com2
io_monitors=wifi0,hid1
wifi0_wapssid=ZR-Scanner-0417
wifi0_stassid=Warehouse-2F
wifi0_stawskeykey=scan#2024=ok
wifi0_stawskeyauth=WPA2PSK
wifi0_stawskeyencry=AES
wifi0_serveraddr=192.168.10.20
wifi0_serverport=9100
wifi0_httpph=/api/v1/scan?device=ZR0417&format=json
wifi0_protocol=TCP
wifi0_apimothed=9
com1_baudrate=115200
com1_stopbits=1
com1_bytesizes=8
com1_paritys=NONE
bluetooth0_name=ZR-BT-0417

# Output format
contentorder=PREFIX,CONTENT,POSTFIX,ENTER
codeprefix=SN:
codepostfix=;
nfccontentorder=NFCPREFIX,NFC,NFCPOSTFIX
nfcprefix=02
nfcpostfix=03
codeprepostformat=char
nfcprepostformat=hex
nfcreadmethod=0
hid0_presskeytime=20
hid0_upkeytime=10

# Control
codehint=1,26
nfchint=1
reboothint=7,11
workmode=2
intervaltime=800
nfccontentbegin=0
nfccontentend=8
nfcable=1
nfcserial=com0
com0_devname=/dev/ttyS2
nfccontentformat=hex
codecontentformat=char
contentformat=char1
developctrl=0
scanmode=0
enginelist=bra,cuff

# About
masterver=V2.0.7
deviceno=ZR2404170032
)";

}  // namespace

const char* DemoSeedText() { return kDemoSeed; }

void SeedDemoScanner(SimulatedScanner& scanner) {
  SettingList settings;
  // The text is part of the program; a line it cannot parse is a build fault
  // that must not go unnoticed as a half-seeded demo.
  if (!ParseSeed(kDemoSeed, &settings, nullptr)) std::abort();
  for (const auto& [key, value] : settings) scanner.Set(key, value);
}

}  // namespace lumiq::sim
