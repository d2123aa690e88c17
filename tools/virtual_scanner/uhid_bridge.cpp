#include "tools/virtual_scanner/uhid_bridge.h"

#include <linux/input.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

#include "link/report_channel.h"

namespace lumiq::vscan {

namespace {

void CopyText(const std::string& text, __u8* field, size_t size) {
  const size_t count = std::min(text.size(), size - 1);
  std::memcpy(field, text.data(), count);
  field[count] = 0;
}

uhid_event Event(uint32_t type) {
  uhid_event event;
  std::memset(&event, 0, sizeof event);
  event.type = type;
  return event;
}

}  // namespace

const std::vector<uint8_t>& ScannerReportDescriptor() {
  static const std::vector<uint8_t> descriptor = {
      0x06, 0x00, 0xFF,  // Usage Page (vendor-defined 0xFF00)
      0x09, 0x01,        // Usage (1)
      0xA1, 0x01,        // Collection (Application)
      0x15, 0x00,        //   Logical Minimum (0)
      0x26, 0xFF, 0x00,  //   Logical Maximum (255)
      0x75, 0x08,        //   Report Size (8)
      0x95, 0x40,        //   Report Count (64)
      0x09, 0x02,        //   Usage (2)
      0x81, 0x02,        //   Input (Data, Variable, Absolute)
      0x95, 0x40,        //   Report Count (64)
      0x09, 0x03,        //   Usage (3)
      0x91, 0x02,        //   Output (Data, Variable, Absolute)
      0xC0,              // End Collection
  };
  return descriptor;
}

uhid_event CreateRequest(const DeviceIdentity& identity) {
  uhid_event event = Event(UHID_CREATE2);
  uhid_create2_req& create = event.u.create2;
  CopyText(identity.name, create.name, sizeof create.name);
  CopyText(identity.phys, create.phys, sizeof create.phys);
  CopyText(identity.uniq, create.uniq, sizeof create.uniq);
  const std::vector<uint8_t>& descriptor = ScannerReportDescriptor();
  create.rd_size = static_cast<__u16>(descriptor.size());
  std::memcpy(create.rd_data, descriptor.data(), descriptor.size());
  create.bus = BUS_USB;
  create.vendor = identity.vendorId;
  create.product = identity.productId;
  create.version = 0x0100;
  create.country = 0;
  return event;
}

std::string InterfacePhys(int number, const std::string& device) {
  // By default what a host controller at 0000:00:14.0, port 1, would call
  // the interface.
  return device + "/input" + std::to_string(number);
}

void ScannerBridge::Handle(const uhid_event& event, std::vector<uhid_event>* replies) {
  switch (event.type) {
    case UHID_OUTPUT:
      HandleOutput(event.u.output, replies);
      break;
    case UHID_GET_REPORT: {
      // No feature or input report can be fetched on request; answering at
      // once keeps a caller from waiting out the kernel's time-out.
      uhid_event reply = Event(UHID_GET_REPORT_REPLY);
      reply.u.get_report_reply.id = event.u.get_report.id;
      reply.u.get_report_reply.err = EIO;
      replies->push_back(reply);
      break;
    }
    case UHID_SET_REPORT: {
      uhid_event reply = Event(UHID_SET_REPORT_REPLY);
      reply.u.set_report_reply.id = event.u.set_report.id;
      reply.u.set_report_reply.err = EIO;
      replies->push_back(reply);
      break;
    }
    default:
      // START, STOP, OPEN, CLOSE: the scanner keeps its state across them,
      // as the module does while it stays powered.
      break;
  }
}

void ScannerBridge::HandleOutput(const uhid_output_req& output,
                                 std::vector<uhid_event>* replies) {
  if (output.rtype != UHID_OUTPUT_REPORT || output.size == 0) return;
  ++outputReports_;
  if (scanner_ == nullptr || unplugged_) return;

  // The descriptor numbers no reports, so the first byte is the report id
  // the writer put in front (0), not data.
  const size_t available = std::min<size_t>(output.size, UHID_DATA_MAX) - 1;
  uint8_t report[kReportSize] = {};
  std::memcpy(report, output.data + 1, std::min<size_t>(available, kReportSize));
  if (!scanner_->AcceptReport(report)) {
    unplugged_ = true;
    return;
  }

  std::vector<uint8_t> transfer;
  while (scanner_->TakeInput(&transfer)) {
    if (transfer.empty()) continue;
    // A transfer starts with its report id; the device has unnumbered input,
    // so the kernel is given the bytes after it.
    uhid_event input = Event(UHID_INPUT2);
    const size_t size = std::min<size_t>(transfer.size() - 1, UHID_DATA_MAX);
    input.u.input2.size = static_cast<__u16>(size);
    std::memcpy(input.u.input2.data, transfer.data() + 1, size);
    replies->push_back(input);
    ++inputReports_;
  }
}

std::vector<std::string> ScannerBridge::TakeTraceLines() {
  std::vector<std::string> lines;
  if (scanner_ == nullptr) return lines;
  const std::vector<sim::ReceivedCommand>& received = scanner_->Received();
  for (; traced_ < received.size(); ++traced_) {
    lines.push_back(sim::FormatCommand(received[traced_]));
  }
  return lines;
}

}  // namespace lumiq::vscan
