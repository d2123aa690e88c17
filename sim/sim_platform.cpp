#include "sim/sim_platform.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#include "link/hid_transport.h"

namespace lumiq::sim {

namespace {

constexpr char kPathPrefix[] = "sim:scanner";
constexpr char kInterfaceMarker[] = "/if";
constexpr int kDecoyInterface = 0;

// Reads a non-negative decimal number from the front of `text`.
bool TakeNumber(std::string_view* text, int* number) {
  size_t digits = 0;
  long value = 0;
  while (digits < text->size() && (*text)[digits] >= '0' && (*text)[digits] <= '9') {
    value = value * 10 + ((*text)[digits] - '0');
    if (value > 1000000) return false;
    ++digits;
  }
  if (digits == 0) return false;
  *number = static_cast<int>(value);
  text->remove_prefix(digits);
  return true;
}

}  // namespace

void SimPlatform::AddScanner(SimulatedScanner* scanner, std::string port) {
  scanners_.push_back(scanner);
  if (port.empty()) port = "1-" + std::to_string(scanners_.size());
  ports_.push_back(std::move(port));
}

std::string SimPlatform::PortOf(const std::string& path) {
  int scanner = -1;
  int interfaceNumber = -1;
  if (!ParsePath(path, &scanner, &interfaceNumber)) return std::string();
  return ports_[static_cast<size_t>(scanner)];
}

std::string SimPlatform::PathOf(int scannerIndex, int interfaceNumber) {
  return kPathPrefix + std::to_string(scannerIndex) + kInterfaceMarker +
         std::to_string(interfaceNumber);
}

bool SimPlatform::ParsePath(const std::string& path, int* scanner,
                            int* interfaceNumber) const {
  std::string_view rest(path);
  if (rest.substr(0, sizeof kPathPrefix - 1) != kPathPrefix) return false;
  rest.remove_prefix(sizeof kPathPrefix - 1);
  if (!TakeNumber(&rest, scanner)) return false;
  if (rest.substr(0, sizeof kInterfaceMarker - 1) != kInterfaceMarker) return false;
  rest.remove_prefix(sizeof kInterfaceMarker - 1);
  if (!TakeNumber(&rest, interfaceNumber) || !rest.empty()) return false;
  return *scanner < static_cast<int>(scanners_.size()) &&
         (*interfaceNumber == kDecoyInterface || *interfaceNumber == kScannerInterface) &&
         !scanners_[*scanner]->IsUnplugged();
}

const SimPlatform::OpenInterface* SimPlatform::Find(HidHandle handle) const {
  if (handle < 0 || handle >= static_cast<HidHandle>(handles_.size())) return nullptr;
  const OpenInterface& open = handles_[static_cast<size_t>(handle)];
  if (open.scanner < 0 || open.plug != scanners_[static_cast<size_t>(open.scanner)]->Plugs()) {
    return nullptr;
  }
  return &open;
}

void SimPlatform::Delay() {
  if (latencyMicros_ <= 0) return;
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::microseconds(latencyMicros_));
  latencySleptNanos_ += std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
}

int SimPlatform::ListInterfaces(std::vector<std::string>* paths) {
  paths->clear();
  for (size_t i = 0; i < scanners_.size(); ++i) {
    if (scanners_[i]->IsUnplugged()) continue;
    // The decoy comes first, as a composite device lists its interfaces, so
    // discovery that takes the first id match picks the wrong one.
    paths->push_back(PathOf(static_cast<int>(i), kDecoyInterface));
    paths->push_back(PathOf(static_cast<int>(i), kScannerInterface));
  }
  return 0;
}

bool SimPlatform::ReadAttributes(const std::string& path, HidAttributes* attributes) {
  int scanner = -1;
  int interfaceNumber = -1;
  if (!ParsePath(path, &scanner, &interfaceNumber)) return false;
  attributes->vendorId = kScannerVendorId;
  attributes->productId = kScannerProductId;
  attributes->interfaceNumber = interfaceNumber;
  return true;
}

HidHandle SimPlatform::Open(const std::string& path, HidAccess access) {
  OpenInterface open;
  if (!ParsePath(path, &open.scanner, &open.interfaceNumber)) {
    lastFailure_ = OpenFailure::kNotFound;
    return kInvalidHidHandle;
  }
  if (accessDenied_) {
    lastFailure_ = OpenFailure::kPermissionDenied;
    return kInvalidHidHandle;
  }
  const long handle = static_cast<long>(handles_.size());
  if (access == HidAccess::kRead && open.interfaceNumber == kScannerInterface &&
      !scanners_[open.scanner]->Hold(this, handle)) {
    lastFailure_ = OpenFailure::kInUse;
    return kInvalidHidHandle;
  }
  open.access = access;
  open.plug = scanners_[open.scanner]->Plugs();
  handles_.push_back(open);
  lastFailure_ = OpenFailure::kNone;
  return static_cast<HidHandle>(handle);
}

int SimPlatform::WriteReport(HidHandle handle, const uint8_t* report, int /*timeoutMs*/) {
  const OpenInterface* open = Find(handle);
  if (!open || open->access != HidAccess::kWrite) return -1;
  SimulatedScanner& scanner = *scanners_[open->scanner];
  if (scanner.IsUnplugged() || report[0] != 0) return -1;
  if (open->interfaceNumber == kScannerInterface && !scanner.AcceptReport(report + 1)) {
    return -1;
  }
  ++reportsExchanged_;
  Delay();
  return kHidReportSize;
}

int SimPlatform::ReadReport(HidHandle handle, uint8_t* buffer, int timeoutMs) {
  const OpenInterface* open = Find(handle);
  if (!open || open->access != HidAccess::kRead) return kHidReadFailed;
  SimulatedScanner& scanner = *scanners_[open->scanner];
  // The decoy never answers; its silence says nothing about the scanner's
  // replies, so it does not release a late one.
  if (open->interfaceNumber != kScannerInterface || scanner.IsUnplugged()) return kHidReadFailed;
  std::vector<uint8_t> transfer;
  if (!scanner.TakeInput(&transfer, timeoutMs > 0)) {
    scanner.NoteReadTimedOut();
    return kHidReadFailed;
  }
  std::memcpy(buffer, transfer.data(), std::min<size_t>(transfer.size(), kHidReportSize));
  ++reportsExchanged_;
  Delay();
  return static_cast<int>(transfer.size());
}

void SimPlatform::Close(HidHandle handle) {
  if (handle < 0 || handle >= static_cast<HidHandle>(handles_.size())) return;
  OpenInterface& open = handles_[static_cast<size_t>(handle)];
  if (open.scanner < 0) return;
  // A dead handle of an earlier plug holds nothing; releasing is harmless.
  scanners_[static_cast<size_t>(open.scanner)]->Release(this, static_cast<long>(handle));
  open.scanner = -1;
}

}  // namespace lumiq::sim
