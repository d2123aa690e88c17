// The virtual scanner's translation between uhid events and the simulated
// scanner, driven without a kernel. The kernel test runs the same code
// against a real HID stack; these pin down what it relies on.

#include <gtest/gtest.h>
#include <linux/input.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "link/frame_codec.h"
#include "link/hid_platform.h"
#include "profile/setting_text.h"
#include "sim/simulated_scanner.h"
#include "tools/virtual_scanner/uhid_bridge.h"

namespace lumiq::vscan {
namespace {

// What a hidraw write of one report becomes: the report id 0, then 64 bytes.
uhid_event OutputEvent(const uint8_t* report64, uint8_t reportId = 0,
                       size_t size = kHidReportSize) {
  uhid_event event;
  std::memset(&event, 0, sizeof event);
  event.type = UHID_OUTPUT;
  event.u.output.rtype = UHID_OUTPUT_REPORT;
  event.u.output.size = static_cast<__u16>(size);
  event.u.output.data[0] = reportId;
  std::memcpy(event.u.output.data + 1, report64, kReportSize);
  return event;
}

// Cuts a request frame into output events as the transport writes it.
std::vector<uhid_event> RequestEvents(uint8_t command, const std::string& payload) {
  uint8_t frame[CommandFrame::kFrameBufferSize] = {};
  const size_t length = CommandFrame::BuildRequest(
      command, 0, reinterpret_cast<const uint8_t*>(payload.data()),
      static_cast<uint16_t>(payload.size()), frame);
  std::vector<uhid_event> events;
  for (size_t offset = 0; offset < length; offset += kReportSize) {
    uint8_t report[kReportSize] = {};
    std::memcpy(report, frame + offset, std::min<size_t>(kReportSize, length - offset));
    events.push_back(OutputEvent(report));
  }
  return events;
}

std::vector<uhid_event> Send(ScannerBridge& bridge, const std::vector<uhid_event>& events) {
  std::vector<uhid_event> replies;
  for (const uhid_event& event : events) bridge.Handle(event, &replies);
  return replies;
}

std::string SetPayload(const std::string& key, const std::string& value) {
  std::string payload(1, static_cast<char>(key.size()));
  payload += key;
  payload += static_cast<char>(value.size() & 0xFF);
  payload += static_cast<char>(value.size() >> 8);
  return payload + value;
}

// The reply frame as a hidraw reader would see it: the input reports' bytes
// one after the other.
std::vector<uint8_t> Concatenate(const std::vector<uhid_event>& inputs) {
  std::vector<uint8_t> bytes;
  for (const uhid_event& input : inputs) {
    bytes.insert(bytes.end(), input.u.input2.data, input.u.input2.data + input.u.input2.size);
  }
  return bytes;
}

TEST(VirtualScannerDevice, DescriptorHasOneUnnumbered64ByteReportEachWay) {
  const std::vector<uint8_t>& descriptor = ScannerReportDescriptor();
  unsigned usagePage = 0;
  unsigned reportSize = 0;
  unsigned reportCount = 0;
  unsigned inputBits = 0;
  unsigned outputBits = 0;
  bool reportId = false;
  int depth = 0;
  for (size_t i = 0; i < descriptor.size();) {
    const uint8_t prefix = descriptor[i];
    const size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
    ASSERT_LE(i + 1 + size, descriptor.size()) << "item at " << i << " runs past the end";
    unsigned value = 0;
    for (size_t b = 0; b < size; ++b) value |= descriptor[i + 1 + b] << (8 * b);
    switch (prefix & 0xFC) {
      case 0x04: usagePage = value; break;
      case 0x74: reportSize = value; break;
      case 0x94: reportCount = value; break;
      case 0x84: reportId = true; break;
      case 0x80: inputBits += reportSize * reportCount; break;
      case 0x90: outputBits += reportSize * reportCount; break;
      case 0xA0: ++depth; break;
      case 0xC0: --depth; break;
      default: break;
    }
    i += 1 + size;
  }
  EXPECT_EQ(usagePage, 0xFF00u);
  EXPECT_FALSE(reportId) << "numbered reports would put an id byte in front of each read";
  EXPECT_EQ(inputBits, 64u * 8);
  EXPECT_EQ(outputBits, 64u * 8);
  EXPECT_EQ(depth, 0);
}

TEST(VirtualScannerDevice, CreateRequestCarriesIdentityOnUsbBus) {
  DeviceIdentity identity;
  identity.name = std::string(200, 'n');
  identity.phys = InterfacePhys(1);
  identity.uniq = "lumiq-vs-7-if1";
  identity.vendorId = 0x0525;
  identity.productId = 0xA4AC;
  const uhid_event event = CreateRequest(identity);

  EXPECT_EQ(event.type, static_cast<__u32>(UHID_CREATE2));
  EXPECT_EQ(event.u.create2.bus, BUS_USB);
  EXPECT_EQ(event.u.create2.vendor, 0x0525u);
  EXPECT_EQ(event.u.create2.product, 0xA4ACu);
  EXPECT_STREQ(reinterpret_cast<const char*>(event.u.create2.phys),
               "usb-0000:00:14.0-1/input1");
  EXPECT_STREQ(reinterpret_cast<const char*>(event.u.create2.uniq), "lumiq-vs-7-if1");
  // A name longer than the field is cut and still terminated.
  EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(event.u.create2.name)),
            sizeof event.u.create2.name - 1);
  const std::vector<uint8_t>& descriptor = ScannerReportDescriptor();
  ASSERT_EQ(event.u.create2.rd_size, descriptor.size());
  EXPECT_EQ(0, std::memcmp(event.u.create2.rd_data, descriptor.data(), descriptor.size()));
}

TEST(VirtualScannerBridge, HandshakeIsAnsweredWithOneReportWithoutId) {
  sim::SimulatedScanner scanner;
  ScannerBridge bridge(&scanner);
  std::vector<uhid_event> replies;
  uint8_t report[kReportSize] = {};
  std::memcpy(report, CommandFrame::kHandshake, sizeof CommandFrame::kHandshake);
  bridge.Handle(OutputEvent(report), &replies);

  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].type, static_cast<__u32>(UHID_INPUT2));
  ASSERT_EQ(replies[0].u.input2.size, 64);
  // The reply starts with the frame itself, not with a report id.
  EXPECT_EQ(replies[0].u.input2.data[0], 0x77);
  EXPECT_EQ(replies[0].u.input2.data[3], 0x01);
  EXPECT_EQ(replies[0].u.input2.data[CommandFrame::kStatusOffset], 0x00);
  EXPECT_EQ(bridge.TakeTraceLines(), std::vector<std::string>{"HANDSHAKE"});
  EXPECT_TRUE(bridge.TakeTraceLines().empty());
}

TEST(VirtualScannerBridge, RequestAndReplySpanningReportsCrossIntact) {
  sim::SimulatedScanner scanner;
  ScannerBridge bridge(&scanner);
  // A 100-byte value: the set request needs two output reports, and the get
  // reply two input reports.
  std::string value;
  for (int i = 0; i < 100; ++i) value += static_cast<char>(i == 0 ? 0xC9 : 'a' + i % 26);
  const std::vector<uhid_event> setEvents =
      RequestEvents(CommandFrame::kCommandSet, SetPayload("wifi0_httpph", value));
  ASSERT_EQ(setEvents.size(), 2u);
  EXPECT_TRUE(Send(bridge, {setEvents[0]}).empty()) << "answered half a request";
  EXPECT_EQ(Send(bridge, {setEvents[1]}).size(), 1u);
  EXPECT_EQ(scanner.Value("wifi0_httpph"), value);

  const std::vector<uhid_event> replies =
      Send(bridge, RequestEvents(CommandFrame::kCommandGet, "wifi0_httpph"));
  ASSERT_EQ(replies.size(), 2u);
  const std::vector<uint8_t> reply = Concatenate(replies);
  const size_t length = reply[6] | (reply[7] << 8);
  ASSERT_EQ(length, std::string("wifi0_httpph").size() + 3 + value.size());
  const std::string delivered(reply.begin() + 8 + 15, reply.begin() + 8 + length);
  EXPECT_EQ(delivered, value);
  EXPECT_EQ(bridge.TakeTraceLines(),
            (std::vector<std::string>{"SET wifi0_httpph=" + sim::EscapeBytes(value),
                                      "GET wifi0_httpph"}));
}

TEST(VirtualScannerBridge, OddOutputTransfersNeverReadPastTheEvent) {
  sim::SimulatedScanner scanner;
  scanner.Set("qrcode", "1");
  ScannerBridge bridge(&scanner);
  uint8_t zeros[kReportSize] = {};
  // Only the report id: an empty report, dropped between frames.
  EXPECT_TRUE(Send(bridge, {OutputEvent(zeros, 0, 1)}).empty());
  // A feature report is not the scanner's business.
  uhid_event feature = OutputEvent(zeros);
  feature.u.output.rtype = UHID_FEATURE_REPORT;
  EXPECT_TRUE(Send(bridge, {feature}).empty());
  // Longer than a report: the first 64 bytes after the id count.
  std::vector<uhid_event> get = RequestEvents(CommandFrame::kCommandGet, "qrcode");
  get[0].u.output.size = 300;
  get[0].u.output.data[100] = 0x66;
  EXPECT_EQ(Send(bridge, get).size(), 1u);
  EXPECT_EQ(scanner.Received().size(), 1u);
}

TEST(VirtualScannerBridge, GetAndSetReportRequestsAreRefusedAtOnce) {
  sim::SimulatedScanner scanner;
  ScannerBridge bridge(&scanner);
  uhid_event request;
  std::memset(&request, 0, sizeof request);
  request.type = UHID_GET_REPORT;
  request.u.get_report.id = 42;
  uhid_event set = request;
  set.type = UHID_SET_REPORT;
  set.u.set_report.id = 43;
  const std::vector<uhid_event> replies = Send(bridge, std::vector<uhid_event>{request, set});
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(replies[0].type, static_cast<__u32>(UHID_GET_REPORT_REPLY));
  EXPECT_EQ(replies[0].u.get_report_reply.id, 42u);
  EXPECT_EQ(replies[0].u.get_report_reply.err, EIO);
  EXPECT_EQ(replies[1].type, static_cast<__u32>(UHID_SET_REPORT_REPLY));
  EXPECT_EQ(replies[1].u.set_report_reply.id, 43u);
  EXPECT_EQ(replies[1].u.set_report_reply.err, EIO);
  EXPECT_TRUE(scanner.Received().empty());
}

TEST(VirtualScannerBridge, DecoyInterfaceNeverAnswers) {
  ScannerBridge decoy(nullptr);
  uint8_t report[kReportSize] = {};
  std::memcpy(report, CommandFrame::kHandshake, sizeof CommandFrame::kHandshake);
  EXPECT_TRUE(Send(decoy, {OutputEvent(report)}).empty());
  EXPECT_EQ(decoy.OutputReports(), 1);
  EXPECT_TRUE(decoy.TakeTraceLines().empty());
}

TEST(VirtualScannerBridge, UnplugWhenTheNamedCommandArrives) {
  sim::SimulatedScanner scanner;
  scanner.Faults().unplugFrom = 2;
  ScannerBridge bridge(&scanner);
  EXPECT_EQ(Send(bridge, RequestEvents(CommandFrame::kCommandGet, "qrcode")).size(), 1u);
  EXPECT_FALSE(bridge.Unplugged());
  EXPECT_TRUE(Send(bridge, RequestEvents(CommandFrame::kCommandCommit, "")).empty());
  EXPECT_TRUE(bridge.Unplugged());
  // Whatever still comes in is not answered.
  EXPECT_TRUE(Send(bridge, RequestEvents(CommandFrame::kCommandGet, "qrcode")).empty());
  EXPECT_EQ(bridge.TakeTraceLines(), std::vector<std::string>{"GET qrcode"});
}

TEST(VirtualScannerStore, SavedStoreKeepsSeedOrderAndCommentsAndAppendsNewKeys) {
  const std::string seedText = "# bench unit\r\nzeta=1\r\n\r\nalpha=2\r\nzeta=dup\r\n";
  sim::SettingList seed;
  ASSERT_TRUE(sim::ParseSeed(seedText, &seed, nullptr));
  sim::SimulatedScanner scanner;
  for (const auto& setting : seed) scanner.Set(setting.first, setting.second);
  scanner.Set("alpha", "changed");
  scanner.Set("new_b", "b");
  scanner.Set("new_a", "a\n");
  // Every line of a key takes its value; the file's own line ends are kept.
  EXPECT_EQ(profile::UpdateSettingText(seedText, scanner.Settings()),
            "# bench unit\r\nzeta=dup\r\n\r\nalpha=changed\r\nzeta=dup\r\n"
            "new_a=a\\x0A\r\nnew_b=b\r\n");
}

}  // namespace
}  // namespace lumiq::vscan
