#include "tests/link/link_fakes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <sstream>

namespace lumiq::test {

Bytes Hex(const std::string& text) {
  Bytes bytes;
  std::istringstream in(text);
  std::string item;
  while (in >> item) bytes.push_back(static_cast<uint8_t>(std::strtoul(item.c_str(), nullptr, 16)));
  return bytes;
}

Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes ReplyFrame(uint8_t status, const Bytes& data) {
  // Sized once and filled in place: GCC 12 at -O3 misreads a range insert
  // after a small initializer list as a write out of bounds.
  const uint8_t header[] = {0x12, 0x34, 0x56, 0x78, 0x9A, status,
                            static_cast<uint8_t>(data.size() & 0xFF),
                            static_cast<uint8_t>(data.size() >> 8)};
  Bytes frame(sizeof header + data.size() + 1);
  std::copy(std::begin(header), std::end(header), frame.begin());
  std::copy(data.begin(), data.end(), frame.begin() + sizeof header);
  uint8_t checksum = 0;
  for (size_t i = 0; i + 1 < frame.size(); ++i) checksum ^= frame[i];
  frame.back() = checksum;
  return frame;
}

std::vector<Bytes> CutReports(const Bytes& frame) {
  std::vector<Bytes> reports;
  for (size_t offset = 0; offset < frame.size(); offset += kReportSize) {
    Bytes report(kReportSize, 0);
    const size_t take = std::min<size_t>(kReportSize, frame.size() - offset);
    std::copy(frame.begin() + offset, frame.begin() + offset + take, report.begin());
    reports.push_back(report);
  }
  return reports;
}

Bytes GetReplyData(const std::string& key, const std::string& value) {
  Bytes data;
  data.push_back(static_cast<uint8_t>(key.size()));
  data.insert(data.end(), key.begin(), key.end());
  data.push_back(static_cast<uint8_t>(value.size() & 0xFF));
  data.push_back(static_cast<uint8_t>(value.size() >> 8));
  data.insert(data.end(), value.begin(), value.end());
  return data;
}

bool GuardedBuffer::GuardsIntact() const {
  for (size_t i = 0; i < kGuard; ++i) {
    if (storage_[i] != kFill || storage_[kGuard + size_ + i] != kFill) return false;
  }
  return true;
}

bool GuardedBuffer::Untouched() const {
  return std::all_of(storage_.begin(), storage_.end(), [](uint8_t b) { return b == kFill; });
}

void FakeChannel::QueueReports(const std::vector<Bytes>& reports) {
  for (const Bytes& report : reports) reads.push_back({kReportSize, report});
}

int FakeChannel::WriteReports(const uint8_t* data, int count) {
  writes.emplace_back(data, data + std::max(count, 0));
  return writeResult != 0 ? writeResult : count;
}

int FakeChannel::ReadReport(uint8_t* report, int timeoutMs) {
  readTimeouts.push_back(timeoutMs);
  if (reads.empty()) return endlessInvalid ? 0 : -3;
  Read read = reads.front();
  reads.pop_front();
  if (read.result == kReportSize) std::memcpy(report, read.report.data(), kReportSize);
  return read.result;
}

void FakePlatform::AddScanner(const std::string& prefix) {
  AddInterface(ScannerPath(prefix, 0), 0x0525, 0xA4AC, 0);
  AddInterface(ScannerPath(prefix, 1), 0x0525, 0xA4AC, 1);
}

void FakePlatform::AddInterface(const std::string& path, uint16_t vendor, uint16_t product,
                                int interfaceNumber, bool readable) {
  Interface entry;
  entry.path = path;
  entry.attributes.vendorId = vendor;
  entry.attributes.productId = product;
  entry.attributes.interfaceNumber = interfaceNumber;
  entry.attributesReadable = readable;
  interfaces.push_back(entry);
}

std::string FakePlatform::ScannerPath(const std::string& prefix, int interfaceNumber) {
  return prefix + "&mi_0" + std::to_string(interfaceNumber);
}

void FakePlatform::ScriptReply(uint8_t status, const Bytes& data) {
  std::vector<Bytes> transfers;
  for (const Bytes& report : CutReports(ReplyFrame(status, data))) {
    transfers.push_back(Transfer(report));
  }
  ScriptTransfers(std::move(transfers));
}

void FakePlatform::ScriptTransfers(std::vector<Bytes> transfers) {
  script_.push_back(std::move(transfers));
}

Bytes FakePlatform::Transfer(const Bytes& report, uint8_t reportId) {
  Bytes transfer(1 + report.size());
  transfer[0] = reportId;
  std::copy(report.begin(), report.end(), transfer.begin() + 1);
  return transfer;
}

int FakePlatform::ListInterfaces(std::vector<std::string>* paths) {
  if (listResult != 0) return listResult;
  paths->clear();
  for (const Interface& entry : interfaces) paths->push_back(entry.path);
  return 0;
}

bool FakePlatform::ReadAttributes(const std::string& path, HidAttributes* attributes) {
  for (const Interface& entry : interfaces) {
    if (entry.path != path) continue;
    if (!entry.attributesReadable) return false;
    *attributes = entry.attributes;
    return true;
  }
  return false;
}

HidOpenResult FakePlatform::Open(const std::string& path, HidAccess access) {
  opens.emplace_back(path, access);
  HidOpenResult result;
  if ((access == HidAccess::kRead && failReadOpen) ||
      (access == HidAccess::kWrite && failWriteOpen)) {
    result.failure = openFailure;
    return result;
  }
  result.handle = nextHandle_++;
  open.emplace_back(result.handle, access);
  return result;
}

int FakePlatform::WriteReport(HidHandle handle, const uint8_t* report, int timeoutMs) {
  (void)handle;
  writeTimeouts.push_back(timeoutMs);
  std::array<uint8_t, kHidReportSize> copy;
  std::memcpy(copy.data(), report, kHidReportSize);
  written.push_back(copy);
  if (failWriteNumber == static_cast<int>(written.size())) return -1;

  // The device side: gather one request frame, then answer it.
  pending_.insert(pending_.end(), report + 1, report + kHidReportSize);
  const size_t frameSize = pending_[0] == 0x77
                               ? 8
                               : CommandFrame::kRequestOverhead + pending_[5] + (pending_[6] << 8);
  if (pending_.size() >= frameSize) {
    pending_.resize(frameSize);
    frames.push_back(pending_);
    pending_.clear();
    if (!script_.empty()) {
      for (Bytes& transfer : script_.front()) input.push_back(std::move(transfer));
      script_.pop_front();
    }
  }
  return kHidReportSize;
}

int FakePlatform::ReadReport(HidHandle handle, uint8_t* buffer, int timeoutMs) {
  reads.push_back({handle, timeoutMs});
  if (input.empty()) {
    if (!endlessInput) return -3;
    Bytes valid(kHidReportSize, 0);
    std::memcpy(buffer, valid.data(), valid.size());
    return kHidReportSize;
  }
  Bytes transfer = std::move(input.front());
  input.pop_front();
  const size_t size = std::min<size_t>(transfer.size(), kHidReportSize);
  std::memcpy(buffer, transfer.data(), size);
  return static_cast<int>(transfer.size());
}

void FakePlatform::Close(HidHandle handle) {
  closed.push_back(handle);
  open.erase(std::remove_if(open.begin(), open.end(),
                            [handle](const std::pair<HidHandle, HidAccess>& entry) {
                              return entry.first == handle;
                            }),
             open.end());
}

std::vector<int> FakePlatform::ReplyReadTimeouts() const {
  std::vector<int> timeouts;
  for (const ReadCall& call : reads) {
    if (call.timeoutMs != 0) timeouts.push_back(call.timeoutMs);
  }
  return timeouts;
}

}  // namespace lumiq::test
