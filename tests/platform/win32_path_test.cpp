#include "link/platform/win32_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <string>

#include "link/hid_transport.h"

namespace lumiq {
namespace {

const char kPrefix[] = R"(\\?\hid#vid_0525&pid_a4ac)";
const char kSuffix[] = R"(#7&2f1a9c3&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})";

std::string DevicePath(const std::string& marker) {
  return kPrefix + marker + kSuffix;
}

TEST(Win32PathRules, InterfaceMarker) {
  EXPECT_EQ(win32::InterfaceFromDevicePath(DevicePath("&mi_01")), 1);
  EXPECT_EQ(win32::InterfaceFromDevicePath(DevicePath("&mi_00")), 0);
  EXPECT_EQ(win32::InterfaceFromDevicePath(DevicePath("&mi_0a")), 10);
  EXPECT_EQ(win32::InterfaceFromDevicePath(DevicePath("")), -1);
  // The test is case-sensitive: capitals name no interface.
  EXPECT_EQ(win32::InterfaceFromDevicePath(DevicePath("&MI_01")), -1);
  EXPECT_EQ(win32::InterfaceFromDevicePath(DevicePath("&mi_0A")), -1);
  EXPECT_EQ(win32::InterfaceFromDevicePath(DevicePath("&mi_1")), -1);
  EXPECT_EQ(win32::InterfaceFromDevicePath("x&mi_0"), -1);
  EXPECT_EQ(win32::InterfaceFromDevicePath("x&mi_"), -1);
  // "&mi_01" anywhere wins over an earlier marker.
  EXPECT_EQ(win32::InterfaceFromDevicePath("a&mi_00b&mi_01"), 1);
}

// The marker rule decides, together with the ids, which interface the tool
// talks to.
TEST(Win32PathRules, OnlyLowerCaseInterfaceOneIsTheScanner) {
  HidAttributes attributes;
  attributes.vendorId = kScannerVendorId;
  attributes.productId = kScannerProductId;
  attributes.interfaceNumber =
      win32::InterfaceFromDevicePath(DevicePath("&mi_01"));
  EXPECT_TRUE(IsScannerInterface(attributes));
  attributes.interfaceNumber =
      win32::InterfaceFromDevicePath(DevicePath("&MI_01"));
  EXPECT_FALSE(IsScannerInterface(attributes));
  attributes.interfaceNumber =
      win32::InterfaceFromDevicePath(DevicePath("&mi_00"));
  EXPECT_FALSE(IsScannerInterface(attributes));
}

// Only a HID interface (or a test's pipe) is ever opened for writing: a
// mistyped file, volume or disk path is refused before it is opened.
TEST(Win32PathRules, OnlyHidInterfacesAndPipesAreOpened) {
  const std::string hid =
      "\\\\?\\hid#vid_0525&pid_a4ac&mi_01#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
  std::string upper = hid;
  std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
  for (const std::string& path : {hid, upper, std::string("\\\\.\\pipe\\lumiq-test")}) {
    EXPECT_TRUE(win32::IsHidInterfacePath(path)) << path;
  }
  for (const std::string& path : {
           std::string("C:\\golden.profile"),
           std::string("golden.profile"),
           std::string("\\\\.\\PhysicalDrive0"),
           std::string("\\\\.\\C:"),
           std::string("\\\\.\\COM1"),
           std::string("\\\\?\\usb#vid_0525&pid_a4ac#x#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"),
           std::string("\\\\?\\hid#vid_0525&pid_a4ac&mi_01#x"),
           std::string("\\\\?\\hid#x\\..\\..\\C:\\f#{4d1e55b2-f16f-11cf-88cb-001111000030}"),
           std::string("\\\\.\\pipe\\..\\C:\\f"),
           std::string("\\\\.\\pipe\\"),
       }) {
    EXPECT_FALSE(win32::IsHidInterfacePath(path)) << path;
  }
}

TEST(Win32PathRules, DevicePathMustBeTerminatedAndFitTheBuffer) {
  std::string path;
  // Field of exactly `capacity` bytes on the heap, so reading past it shows
  // under the sanitizers.
  auto field = [](const std::string& text, size_t capacity) {
    std::unique_ptr<char[]> bytes(new char[capacity]);
    std::memset(bytes.get(), 'x', capacity);
    std::memcpy(bytes.get(), text.data(), std::min(text.size(), capacity));
    return bytes;
  };

  std::unique_ptr<char[]> fits = field(std::string(1023, 'p') + '\0', 1024);
  ASSERT_TRUE(win32::TakeDevicePath(fits.get(), 1024, kDevicePathSize, &path));
  EXPECT_EQ(path.size(), 1023u);

  std::unique_ptr<char[]> tooLong = field(std::string(1024, 'p') + '\0', 1025);
  path = "unchanged";
  EXPECT_FALSE(
      win32::TakeDevicePath(tooLong.get(), 1025, kDevicePathSize, &path));
  EXPECT_EQ(path, "unchanged");

  std::unique_ptr<char[]> unterminated = field("abc", 3);
  EXPECT_FALSE(win32::TakeDevicePath(unterminated.get(), 3, 1024, &path));

  std::unique_ptr<char[]> shortPath = field(std::string("ab\0cd", 5), 5);
  ASSERT_TRUE(win32::TakeDevicePath(shortPath.get(), 5, 1024, &path));
  EXPECT_EQ(path, "ab");
}

// One mutex per interface, whatever the letter case of the path; a name the
// system accepts (no backslash after the namespace, well under MAX_PATH).
TEST(Win32PathRules, ExclusionMutexNamesTheInterface) {
  const std::string path =
      "\\\\?\\hid#vid_0525&pid_a4ac&mi_01#7&1b2c3d4e&0&0000#"
      "{4d1e55b2-f16f-11cf-88cb-001111000030}";
  std::string upper = path;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  const std::string name = win32::ExclusionMutexName(path);
  EXPECT_EQ(name, win32::ExclusionMutexName(upper));
  EXPECT_NE(name, win32::ExclusionMutexName(
                      "\\\\?\\hid#vid_0525&pid_a4ac&mi_01#7&1b2c3d4e&0&0001#"
                      "{4d1e55b2-f16f-11cf-88cb-001111000030}"));
  EXPECT_EQ(name.rfind("Global\\", 0), 0u);
  EXPECT_EQ(name.find('\\', 7), std::string::npos);
  EXPECT_LT(win32::ExclusionMutexName(std::string(2000, 'x')).size(), 100u);
}

}  // namespace
}  // namespace lumiq
