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
  std::lock_guard<std::mutex> lock(mutex_);
  scanners_.push_back(scanner);
  if (port.empty()) port = "1-" + std::to_string(scanners_.size());
  ports_.push_back(std::move(port));
}

int SimPlatform::ScannerCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(scanners_.size());
}

SimulatedScanner& SimPlatform::Scanner(int index) {
  std::lock_guard<std::mutex> lock(mutex_);
  return *scanners_[static_cast<size_t>(index)];
}

void SimPlatform::SetAccessDenied(bool denied) {
  std::lock_guard<std::mutex> lock(mutex_);
  accessDenied_ = denied;
}

std::string SimPlatform::PortOf(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
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

SimulatedScanner* SimPlatform::Find(HidHandle handle, HidAccess access,
                                    OpenInterface* open) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (handle < 0 || handle >= static_cast<HidHandle>(handles_.size())) return nullptr;
  *open = handles_[static_cast<size_t>(handle)];
  if (open->scanner < 0 || open->access != access) return nullptr;
  SimulatedScanner* scanner = scanners_[static_cast<size_t>(open->scanner)];
  return open->plug == scanner->Plugs() ? scanner : nullptr;
}

void SimPlatform::Delay() {
  const int micros = latencyMicros_.load();
  if (micros <= 0) return;
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::microseconds(micros));
  latencySleptNanos_ += std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
}

int SimPlatform::ListInterfaces(std::vector<std::string>* paths) {
  std::lock_guard<std::mutex> lock(mutex_);
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
  std::lock_guard<std::mutex> lock(mutex_);
  int scanner = -1;
  int interfaceNumber = -1;
  if (!ParsePath(path, &scanner, &interfaceNumber)) return false;
  attributes->vendorId = kScannerVendorId;
  attributes->productId = kScannerProductId;
  attributes->interfaceNumber = interfaceNumber;
  return true;
}

HidOpenResult SimPlatform::Open(const std::string& path, HidAccess access) {
  std::lock_guard<std::mutex> lock(mutex_);
  HidOpenResult result;
  OpenInterface open;
  if (!ParsePath(path, &open.scanner, &open.interfaceNumber)) {
    result.failure = OpenFailure::kNotFound;
    return result;
  }
  if (accessDenied_) {
    result.failure = OpenFailure::kPermissionDenied;
    return result;
  }
  SimulatedScanner& scanner = *scanners_[static_cast<size_t>(open.scanner)];
  const long handle = static_cast<long>(handles_.size());
  if (access == HidAccess::kRead && open.interfaceNumber == kScannerInterface &&
      !scanner.Hold(this, handle)) {
    result.failure = OpenFailure::kInUse;
    return result;
  }
  open.access = access;
  open.plug = scanner.Plugs();
  handles_.push_back(open);
  result.handle = static_cast<HidHandle>(handle);
  return result;
}

int SimPlatform::WriteReport(HidHandle handle, const uint8_t* report, int /*timeoutMs*/) {
  OpenInterface open;
  SimulatedScanner* scanner = Find(handle, HidAccess::kWrite, &open);
  if (scanner == nullptr || report == nullptr || report[0] != 0) return -1;
  if (open.interfaceNumber == kScannerInterface) {
    if (!scanner->AcceptReport(report + 1)) return -1;
  } else if (scanner->IsUnplugged()) {
    return -1;
  }
  ++reportsExchanged_;
  Delay();
  return kHidReportSize;
}

int SimPlatform::ReadReport(HidHandle handle, uint8_t* buffer, int timeoutMs) {
  OpenInterface open;
  SimulatedScanner* scanner = Find(handle, HidAccess::kRead, &open);
  if (scanner == nullptr || buffer == nullptr) return kHidReadFailed;
  // The decoy never answers; its silence says nothing about the scanner's
  // replies, so it does not release a late one.
  if (open.interfaceNumber != kScannerInterface) return kHidReadFailed;
  std::vector<uint8_t> transfer;
  if (!scanner->TakeInput(&transfer, timeoutMs > 0)) {
    scanner->NoteReadTimedOut();
    return kHidReadFailed;
  }
  std::memcpy(buffer, transfer.data(), std::min<size_t>(transfer.size(), kHidReportSize));
  ++reportsExchanged_;
  Delay();
  return static_cast<int>(transfer.size());
}

void SimPlatform::Close(HidHandle handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (handle < 0 || handle >= static_cast<HidHandle>(handles_.size())) return;
  OpenInterface& open = handles_[static_cast<size_t>(handle)];
  if (open.scanner < 0) return;
  // A dead handle of an earlier plug holds nothing; releasing is harmless.
  scanners_[static_cast<size_t>(open.scanner)]->Release(this, static_cast<long>(handle));
  open.scanner = -1;
}

}  // namespace lumiq::sim
