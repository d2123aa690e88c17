// The host's serial ports on Windows: the COM ports the system lists,
// opened through the file functions and read without waiting.

#include <windows.h>

#include <algorithm>

#include "ui/app/serial_port.h"

namespace lumiq::ui::app {

namespace {

std::string SystemMessage(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length ? std::string(text, length) : "error " + std::to_string(code);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  return message;
}

class ComPort final : public SerialPort {
 public:
  explicit ComPort(HANDLE handle) : handle_(handle) {}
  ~ComPort() override { CloseHandle(handle_); }
  ComPort(const ComPort&) = delete;
  ComPort& operator=(const ComPort&) = delete;

  int Read(char* buffer, size_t size) override {
    DWORD count = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<size_t>(size, 0x10000));
    if (!ReadFile(handle_, buffer, wanted, &count, nullptr)) return -1;
    return static_cast<int>(count);
  }

 private:
  HANDLE handle_;
};

// The ones the serial drivers announce: the names under SERIALCOMM.
class ComPorts final : public SerialPorts {
 public:
  std::vector<std::string> List() override {
    std::vector<std::string> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
      return ports;
    }
    for (DWORD index = 0;; ++index) {
      char name[256];
      DWORD nameLength = sizeof(name);
      char value[256];
      DWORD valueLength = sizeof(value) - 1;
      DWORD type = 0;
      const LONG status = RegEnumValueA(key, index, name, &nameLength, nullptr, &type,
                                        reinterpret_cast<BYTE*>(value), &valueLength);
      if (status == ERROR_NO_MORE_ITEMS) break;
      if (status != ERROR_SUCCESS || type != REG_SZ) continue;
      value[valueLength] = '\0';
      ports.emplace_back(value);
    }
    RegCloseKey(key);
    // COM2 before COM10.
    std::sort(ports.begin(), ports.end(), [](const std::string& a, const std::string& b) {
      return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return ports;
  }

  std::unique_ptr<SerialPort> Open(const std::string& name, const SerialSettings& settings,
                                   std::string* error) override {
    auto fail = [error](DWORD code) -> std::unique_ptr<SerialPort> {
      if (error) *error = SystemMessage(code);
      return nullptr;
    };
    // The device namespace: COM10 and above have no plain name.
    const std::string path = "\\\\.\\" + name;
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return fail(GetLastError());
    auto port = std::make_unique<ComPort>(handle);
    DCB dcb = {};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(handle, &dcb)) return fail(GetLastError());
    using Parity = SerialSettings::Parity;
    dcb.BaudRate = settings.baudRate;
    dcb.ByteSize = static_cast<BYTE>(settings.dataBits);
    dcb.StopBits = settings.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    switch (settings.parity) {
      case Parity::kNone: dcb.Parity = NOPARITY; break;
      case Parity::kOdd: dcb.Parity = ODDPARITY; break;
      case Parity::kEven: dcb.Parity = EVENPARITY; break;
      case Parity::kMark: dcb.Parity = MARKPARITY; break;
      case Parity::kSpace: dcb.Parity = SPACEPARITY; break;
    }
    dcb.fParity = settings.parity != Parity::kNone;
    dcb.fBinary = TRUE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    if (!SetCommState(handle, &dcb)) return fail(GetLastError());
    // A read returns at once with what has arrived.
    COMMTIMEOUTS timeouts = {};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    if (!SetCommTimeouts(handle, &timeouts)) return fail(GetLastError());
    PurgeComm(handle, PURGE_RXCLEAR);
    return port;
  }
};

}  // namespace

SerialPorts& SystemSerialPorts() {
  static ComPorts ports;
  return ports;
}

}  // namespace lumiq::ui::app
