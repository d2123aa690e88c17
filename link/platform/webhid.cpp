#include "link/platform/webhid.h"

#include <emscripten.h>

#include <cstring>

#include "link/hid_transport.h"

// The JavaScript half is Module.lumiqHid (webhid.js). Calls that wait are
// EM_ASYNC_JS: Asyncify unwinds the stack, the page runs on, and the call
// returns when the promise settles. Each returns a number, never throws.

// clang-format off
EM_JS(int, lumiq_hid_available, (), { return Module.lumiqHid.available() ? 1 : 0; });
EM_ASYNC_JS(int, lumiq_hid_refresh, (), { return await Module.lumiqHid.refresh(); });
EM_JS(int, lumiq_hid_device_count, (), { return Module.lumiqHid.count(); });
EM_JS(int, lumiq_hid_attributes, (int device, int* vendor, int* product, int* interfaceNumber), {
  const a = Module.lumiqHid.attributes(device);
  if (!a) return 0;
  HEAP32[vendor >> 2] = a.vendorId;
  HEAP32[product >> 2] = a.productId;
  HEAP32[interfaceNumber >> 2] = a.interfaceNumber;
  return 1;
});
EM_ASYNC_JS(int, lumiq_hid_open, (int device, int forReading), {
  return await Module.lumiqHid.open(device, forReading !== 0);
});
EM_JS(void, lumiq_hid_close, (int device, int forReading), {
  Module.lumiqHid.close(device, forReading !== 0);
});
EM_ASYNC_JS(int, lumiq_hid_send, (int device, const uint8_t* report, int timeoutMs), {
  // Copied before the first await: the heap may move while the page runs.
  const bytes = HEAPU8.slice(report, report + 65);
  return await Module.lumiqHid.send(device, bytes, timeoutMs);
});
EM_JS(int, lumiq_hid_take, (int device, uint8_t* buffer), {
  return Module.lumiqHid.take(device, (bytes) => HEAPU8.set(bytes, buffer));
});
EM_ASYNC_JS(int, lumiq_hid_wait, (int device, int timeoutMs), {
  return await Module.lumiqHid.wait(device, timeoutMs);
});
// clang-format on

namespace lumiq {

namespace {

constexpr char kPathPrefix[] = "webhid:";
// The failure codes webhid.js answers an open with.
constexpr int kJsNotFound = -1;
constexpr int kJsDenied = -2;
constexpr int kJsInUse = -3;

int DeviceOf(const std::string& path) {
  if (path.rfind(kPathPrefix, 0) != 0) return -1;
  const std::string number = path.substr(sizeof kPathPrefix - 1);
  if (number.empty() || number.size() > 6 ||
      number.find_first_not_of("0123456789") != std::string::npos) {
    return -1;
  }
  const int device = std::atoi(number.c_str());
  return device < lumiq_hid_device_count() ? device : -1;
}

// A handle is the device number twice, plus one for the write handle.
HidHandle HandleOf(int device, HidAccess access) {
  return static_cast<HidHandle>(device) * 2 + (access == HidAccess::kWrite ? 1 : 0);
}
int DeviceOfHandle(HidHandle handle) {
  return handle < 0 ? -1 : static_cast<int>(handle / 2);
}
bool IsWriteHandle(HidHandle handle) { return handle >= 0 && handle % 2 == 1; }

}  // namespace

bool WebHidAvailable() { return lumiq_hid_available() != 0; }

int WebHidPlatform::ListInterfaces(std::vector<std::string>* paths) {
  paths->clear();
  const int count = lumiq_hid_refresh();
  for (int device = 0; device < count; ++device) {
    paths->push_back(kPathPrefix + std::to_string(device));
  }
  return 0;
}

bool WebHidPlatform::ReadAttributes(const std::string& path, HidAttributes* attributes) {
  const int device = DeviceOf(path);
  int vendor = 0, product = 0, interfaceNumber = -1;
  if (device < 0 || !lumiq_hid_attributes(device, &vendor, &product, &interfaceNumber)) {
    return false;
  }
  attributes->vendorId = static_cast<uint16_t>(vendor);
  attributes->productId = static_cast<uint16_t>(product);
  attributes->interfaceNumber = interfaceNumber;
  return true;
}

HidOpenResult WebHidPlatform::Open(const std::string& path, HidAccess access) {
  HidOpenResult result;
  const int device = DeviceOf(path);
  const int opened = device < 0 ? kJsNotFound
                                : lumiq_hid_open(device, access == HidAccess::kRead ? 1 : 0);
  if (opened >= 0) {
    result.handle = HandleOf(device, access);
    return result;
  }
  switch (opened) {
    case kJsNotFound: result.failure = OpenFailure::kNotFound; break;
    case kJsDenied: result.failure = OpenFailure::kPermissionDenied; break;
    case kJsInUse: result.failure = OpenFailure::kInUse; break;
    default: result.failure = OpenFailure::kUnknown; break;
  }
  return result;
}

int WebHidPlatform::WriteReport(HidHandle handle, const uint8_t* report, int timeoutMs) {
  if (!IsWriteHandle(handle) || report == nullptr) return -1;
  return lumiq_hid_send(DeviceOfHandle(handle), report, timeoutMs) == kHidReportSize
             ? kHidReportSize
             : -1;
}

int WebHidPlatform::ReadReport(HidHandle handle, uint8_t* buffer, int timeoutMs) {
  if (handle < 0 || IsWriteHandle(handle) || buffer == nullptr) return kHidReadFailed;
  const int device = DeviceOfHandle(handle);
  // What is queued is taken without waiting: the link's look for leftovers
  // before each request (a time-out of 0) never yields to the page.
  int taken = lumiq_hid_take(device, buffer);
  if (taken >= 0 || timeoutMs <= 0) return taken >= 0 ? taken : kHidReadFailed;
  if (lumiq_hid_wait(device, timeoutMs) <= 0) return kHidReadFailed;
  taken = lumiq_hid_take(device, buffer);
  return taken >= 0 ? taken : kHidReadFailed;
}

void WebHidPlatform::Close(HidHandle handle) {
  if (handle < 0) return;
  lumiq_hid_close(DeviceOfHandle(handle), IsWriteHandle(handle) ? 0 : 1);
}

HidPlatform& NativeHidPlatform() {
  static WebHidPlatform platform;
  return platform;
}

}  // namespace lumiq
