#ifdef _WIN32

#include "link/platform/win32.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>
extern "C" {
#include <hidsdi.h>
}

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "link/hid_transport.h"
#include "link/platform/win32_path.h"

namespace lumiq {
namespace {

// What a HidHandle points at. The transfer buffer belongs to the handle, not
// to the caller, so the platform always writes into memory that is alive.
struct Win32Handle {
  HANDLE file = INVALID_HANDLE_VALUE;
  // A read handle's hold on the interface: the named mutex of its path,
  // which exists as long as some program keeps a handle to it.
  HANDLE exclusion = nullptr;
  HANDLE event = nullptr;
  OVERLAPPED overlapped = {};
  uint8_t buffer[kHidReportSize] = {};
};

Win32Handle* HandleOf(HidHandle handle) {
  if (handle == kInvalidHidHandle || handle == 0) return nullptr;
  return reinterpret_cast<Win32Handle*>(handle);
}

DWORD WaitTime(int timeoutMs) {
  return timeoutMs > 0 ? static_cast<DWORD>(timeoutMs) : 0;
}

struct DeviceListCloser {
  void operator()(void* list) const { SetupDiDestroyDeviceInfoList(list); }
};
using DeviceList = std::unique_ptr<void, DeviceListCloser>;

struct FreeDeleter {
  void operator()(void* block) const { std::free(block); }
};
using DetailRecord =
    std::unique_ptr<SP_DEVICE_INTERFACE_DETAIL_DATA_A, FreeDeleter>;

// Starts the handle's transfer afresh: the event is cleared before anything
// can signal it, and the record carries offset 0.
void PrepareTransfer(Win32Handle* h) {
  ResetEvent(h->event);
  std::memset(&h->overlapped, 0, sizeof h->overlapped);
  h->overlapped.hEvent = h->event;
}

// Waits for the transfer issued on `h` for at most `timeoutMs`. A transfer
// that is still under way then is cancelled, and its end awaited, before the
// handle's record and buffer can be used again. true with the byte count
// when the transfer completed (also when it did so just before the cancel).
bool FinishTransfer(Win32Handle* h, int timeoutMs, DWORD* count) {
  *count = 0;
  if (WaitForSingleObject(h->event, WaitTime(timeoutMs)) == WAIT_OBJECT_0) {
    return GetOverlappedResult(h->file, &h->overlapped, count, TRUE) != FALSE;
  }
  CancelIoEx(h->file, &h->overlapped);
  // Expected to fail with ERROR_OPERATION_ABORTED.
  return GetOverlappedResult(h->file, &h->overlapped, count, TRUE) != FALSE;
}

}  // namespace

int Win32HidPlatform::ListInterfaces(std::vector<std::string>* paths) {
  paths->clear();
  GUID hidClass;
  HidD_GetHidGuid(&hidClass);
  HDEVINFO raw = SetupDiGetClassDevsA(&hidClass, nullptr, nullptr,
                                      DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (raw == INVALID_HANDLE_VALUE) return 0;
  DeviceList list(raw);

  try {
    for (DWORD index = 0;; ++index) {
      SP_DEVICE_INTERFACE_DATA data = {};
      data.cbSize = sizeof data;
      if (!SetupDiEnumDeviceInterfaces(raw, nullptr, &hidClass, index,
                                       &data)) {
        break;
      }
      DWORD required = 0;
      SetupDiGetDeviceInterfaceDetailA(raw, &data, nullptr, 0, &required,
                                       nullptr);
      if (required == 0) continue;
      if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
        required = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
      }
      DetailRecord detail(static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(
          std::malloc(required)));
      if (!detail) {
        paths->clear();
        return -1;
      }
      // The fixed part of the record as this platform lays it out.
      detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
      if (!SetupDiGetDeviceInterfaceDetailA(raw, &data, detail.get(),
                                            required, nullptr, nullptr)) {
        continue;
      }
      const size_t capacity =
          required - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
      std::string path;
      if (win32::TakeDevicePath(detail->DevicePath, capacity,
                                kDevicePathSize, &path)) {
        paths->push_back(std::move(path));
      }
    }
  } catch (const std::bad_alloc&) {
    paths->clear();
    return -1;
  }
  return 0;
}

bool Win32HidPlatform::ReadAttributes(const std::string& path,
                                      HidAttributes* attributes) {
  HANDLE probe = CreateFileA(path.c_str(), 0,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return false;
  HIDD_ATTRIBUTES hid = {};
  hid.Size = sizeof hid;
  BOOLEAN ok = HidD_GetAttributes(probe, &hid);
  CloseHandle(probe);
  if (!ok) return false;
  attributes->vendorId = hid.VendorID;
  attributes->productId = hid.ProductID;
  attributes->interfaceNumber = win32::InterfaceFromDevicePath(path);
  return true;
}

std::string Win32HidPlatform::PortOf(const std::string& path) {
  HDEVINFO raw = SetupDiCreateDeviceInfoList(nullptr, nullptr);
  if (raw == INVALID_HANDLE_VALUE) return std::string();
  DeviceList list(raw);
  SP_DEVICE_INTERFACE_DATA data = {};
  data.cbSize = sizeof data;
  if (!SetupDiOpenDeviceInterfaceA(raw, path.c_str(), 0, &data)) return std::string();
  SP_DEVINFO_DATA device = {};
  device.cbSize = sizeof device;
  DWORD required = 0;
  // Fails for want of a detail buffer, but names the device all the same.
  SetupDiGetDeviceInterfaceDetailA(raw, &data, nullptr, 0, &required, &device);
  if (device.DevInst == 0) return std::string();

  char text[256] = {};
  if (SetupDiGetDeviceRegistryPropertyA(raw, &device, SPDRP_LOCATION_INFORMATION, nullptr,
                                        reinterpret_cast<BYTE*>(text), sizeof text - 1,
                                        nullptr) &&
      text[0] != '\0') {
    return text;
  }
  // The HID collection, the USB interface of a composite device, the USB
  // device: the port is on one of the first few levels up.
  DEVINST node = device.DevInst;
  for (int level = 0; level < 3; ++level) {
    DEVINST parent = 0;
    if (CM_Get_Parent(&parent, node, 0) != CR_SUCCESS) break;
    std::memset(text, 0, sizeof text);
    ULONG size = sizeof text - 1;
    if (CM_Get_DevNode_Registry_PropertyA(parent, CM_DRP_LOCATION_INFORMATION, nullptr, text,
                                          &size, 0) == CR_SUCCESS &&
        text[0] != '\0') {
      return text;
    }
    node = parent;
  }
  return std::string();
}

namespace {

HidOpenResult OpenFailed(DWORD error) {
  HidOpenResult result;
  result.failure = Win32HidPlatform::OpenFailureOf(error);
  if (result.failure == OpenFailure::kNone) result.failure = OpenFailure::kUnknown;
  result.systemError = static_cast<long>(error);
  return result;
}

}  // namespace

HidOpenResult Win32HidPlatform::Open(const std::string& path, HidAccess access) {
  // A file, a volume or a disk opens for writing as readily as a scanner
  // does; only a path that names a HID interface is opened at all.
  if (!win32::IsHidInterfacePath(path)) {
    HidOpenResult refused;
    refused.failure = OpenFailure::kNotAScanner;
    refused.refusal = "a path that names no HID interface";
    refused.systemError = ERROR_BAD_PATHNAME;
    return refused;
  }
  // Every program of ours that reads the scanner first creates the mutex
  // named after its path; finding it there means another program (or
  // another link of this one) holds the scanner, and both would take each
  // other's replies. The system removes the mutex with the last handle to
  // it, also when a program dies.
  HANDLE exclusion = nullptr;
  if (access == HidAccess::kRead) {
    const std::string name = win32::ExclusionMutexName(path);
    exclusion = CreateMutexA(nullptr, FALSE, name.c_str());
    if (exclusion == nullptr) return OpenFailed(GetLastError());
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
      CloseHandle(exclusion);
      return OpenFailed(ERROR_SHARING_VIOLATION);
    }
  }
  const DWORD rights =
      access == HidAccess::kRead ? GENERIC_READ : GENERIC_WRITE;
  HANDLE file = CreateFileA(path.c_str(), rights,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING,
                            FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (exclusion != nullptr) CloseHandle(exclusion);
    return OpenFailed(error);
  }
  Win32Handle* h = new (std::nothrow) Win32Handle;
  if (h == nullptr) {
    CloseHandle(file);
    if (exclusion != nullptr) CloseHandle(exclusion);
    return OpenFailed(ERROR_NOT_ENOUGH_MEMORY);
  }
  h->file = file;
  h->exclusion = exclusion;
  // Manual reset, so the event stays signalled until the result is fetched.
  h->event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (h->event == nullptr) {
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (exclusion != nullptr) CloseHandle(exclusion);
    delete h;
    return OpenFailed(error);
  }
  HidOpenResult result;
  result.handle = reinterpret_cast<HidHandle>(h);
  return result;
}

OpenFailure Win32HidPlatform::OpenFailureOf(unsigned long error) {
  switch (error) {
    case ERROR_SUCCESS:
      return OpenFailure::kNone;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEV_NOT_EXIST:
      return OpenFailure::kNotFound;
    case ERROR_ACCESS_DENIED:
      return OpenFailure::kPermissionDenied;
    case ERROR_SHARING_VIOLATION:
      return OpenFailure::kInUse;
    default:
      return OpenFailure::kUnknown;
  }
}

int Win32HidPlatform::WriteReport(HidHandle handle, const uint8_t* report,
                                  int timeoutMs) {
  Win32Handle* h = HandleOf(handle);
  if (h == nullptr || report == nullptr) return -1;
  std::memcpy(h->buffer, report, kHidReportSize);
  PrepareTransfer(h);
  if (!WriteFile(h->file, h->buffer, kHidReportSize, nullptr,
                 &h->overlapped)) {
    const DWORD error = GetLastError();
    // A failure without an error code is waited for like a write under way;
    // if nothing is under way the wait runs out and the write counts as
    // failed (no bytes were transferred).
    if (error != ERROR_IO_PENDING && error != ERROR_SUCCESS) return -1;
  }
  DWORD written = 0;
  if (!FinishTransfer(h, timeoutMs, &written)) return -1;
  return written == kHidReportSize ? kHidReportSize : -1;
}

int Win32HidPlatform::ReadReport(HidHandle handle, uint8_t* buffer,
                                 int timeoutMs) {
  Win32Handle* h = HandleOf(handle);
  if (h == nullptr || buffer == nullptr) return kHidReadFailed;
  PrepareTransfer(h);
  std::memset(h->buffer, 0, sizeof h->buffer);
  if (!ReadFile(h->file, h->buffer, kHidReportSize, nullptr,
                &h->overlapped) &&
      GetLastError() != ERROR_IO_PENDING) {
    // Not started (device gone, handle broken): nothing can arrive.
    return kHidReadFailed;
  }
  DWORD received = 0;
  if (!FinishTransfer(h, timeoutMs, &received)) return kHidReadFailed;
  if (received > kHidReportSize) received = kHidReportSize;
  std::memcpy(buffer, h->buffer, received);
  return static_cast<int>(received);
}

void Win32HidPlatform::Close(HidHandle handle) {
  Win32Handle* h = HandleOf(handle);
  if (h == nullptr) return;
  // No transfer outlives its call, so nothing is pending on the handle here.
  CloseHandle(h->file);
  CloseHandle(h->event);
  if (h->exclusion != nullptr) CloseHandle(h->exclusion);
  delete h;
}

Win32HidPlatform& NativeWin32HidPlatform() {
  static Win32HidPlatform platform;
  return platform;
}

HidPlatform& NativeHidPlatform() { return NativeWin32HidPlatform(); }

}  // namespace lumiq

#endif  // _WIN32
