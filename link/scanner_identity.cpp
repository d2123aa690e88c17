#include "link/scanner_identity.h"

#include <algorithm>
#include <utility>
#include <vector>


namespace lumiq {

namespace {

constexpr char kDeviceNumberKey[] = "deviceno";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// -1, 0 or 1 as `a` sorts before, with or after `b`, runs of digits taken
// as numbers.
int CompareNatural(const std::string& a, const std::string& b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      size_t endA = i;
      size_t endB = j;
      while (endA < a.size() && IsDigit(a[endA])) ++endA;
      while (endB < b.size() && IsDigit(b[endB])) ++endB;
      // Leading zeros aside, the longer run is the larger number.
      size_t startA = i;
      size_t startB = j;
      while (startA + 1 < endA && a[startA] == '0') ++startA;
      while (startB + 1 < endB && b[startB] == '0') ++startB;
      if (endA - startA != endB - startB) return endA - startA < endB - startB ? -1 : 1;
      const int digits = a.compare(startA, endA - startA, b, startB, endB - startB);
      if (digits != 0) return digits < 0 ? -1 : 1;
      i = endA;
      j = endB;
      continue;
    }
    if (a[i] != b[j]) {
      return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
    }
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

// One get into the window's longest value buffer.
bool ReadValue(ScannerLink& link, const char* key, std::string* value) {
  std::vector<char> buffer(kLongValueBufferSize, '\0');
  const int length = link.GetSetting(key, buffer.data(), buffer.size());
  if (length < 0) return false;
  value->assign(buffer.data(), static_cast<size_t>(length));
  return true;
}

}  // namespace

bool PortLess(const std::string& a, const std::string& b) {
  if (a.empty() != b.empty()) return b.empty();
  return CompareNatural(a, b) < 0;
}

std::vector<ScannerIdentity> SortedInterfaces(HidPlatform& platform) {
  std::vector<ScannerIdentity> scanners;
  for (ScannerInterfaceInfo& info : ListScannerInterfaces(platform)) {
    ScannerIdentity scanner;
    scanner.info = std::move(info);
    scanners.push_back(std::move(scanner));
  }
  std::stable_sort(scanners.begin(), scanners.end(),
                   [](const ScannerIdentity& a, const ScannerIdentity& b) {
                     if (a.info.port != b.info.port) return PortLess(a.info.port, b.info.port);
                     return a.info.path < b.info.path;
                   });
  return scanners;
}

void Identify(ScannerLink& link, ScannerIdentity* scanner) {
  if (!IsScannerInterface(scanner->info.attributes)) return;
  scanner->asked = true;
  const LinkOpenResult opened = link.OpenAt(scanner->info.path);
  if (!opened.Opened()) {
    scanner->failure = opened.cause;
    return;
  }
  scanner->opened = true;
  scanner->deviceNumberRead = ReadValue(link, kDeviceNumberKey, &scanner->deviceNumber);
  scanner->firmwareRead = ReadValue(link, kVersionKey, &scanner->firmware);
  link.Close();
}

}  // namespace lumiq
