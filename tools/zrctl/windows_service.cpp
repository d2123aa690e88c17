#include "tools/zrctl/windows_service.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <thread>
#include <utility>

#include "tools/zrctl/commands.h"
#include "tools/zrctl/service_log.h"
#include "tools/zrctl/signal_stop.h"

namespace lumiq::zrctl {

namespace {

// A command that finishes the scanners under way may take a while to stop:
// the service manager waits as long as the check point moves.
constexpr DWORD kStopHintMillis = 3000;
constexpr DWORD kStopPollMillis = 500;

// The service manager runs one service in this process and calls back on
// threads of its own: what they share.
struct Service {
  std::string logPath;
  ServiceCommand command;
  int status = kExitOk;
  SERVICE_STATUS_HANDLE handle = nullptr;
  SERVICE_STATUS reported{};
  HANDLE stopAsked = nullptr;
  bool logOpened = false;
};
Service* current = nullptr;

void Report(DWORD state, DWORD waitHint = 0) {
  SERVICE_STATUS& reported = current->reported;
  reported.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  reported.dwCurrentState = state;
  reported.dwControlsAccepted =
      state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
  reported.dwWaitHint = waitHint;
  if (state == SERVICE_RUNNING || state == SERVICE_STOPPED) {
    reported.dwCheckPoint = 0;
  } else {
    ++reported.dwCheckPoint;
  }
  if (state == SERVICE_STOPPED && current->status != kExitOk) {
    reported.dwWin32ExitCode = ERROR_SERVICE_SPECIFIC_ERROR;
    reported.dwServiceSpecificExitCode = static_cast<DWORD>(current->status);
  } else {
    reported.dwWin32ExitCode = NO_ERROR;
    reported.dwServiceSpecificExitCode = 0;
  }
  SetServiceStatus(current->handle, &reported);
}

DWORD WINAPI OnControl(DWORD control, DWORD /*type*/, void* /*data*/, void* /*context*/) {
  switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
      SetEvent(current->stopAsked);
      return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
      return NO_ERROR;
    default:
      return ERROR_CALL_NOT_IMPLEMENTED;
  }
}

// The command runs on a thread of its own so that this one can keep asking
// it to stop: a stop asked for before the command set up its own handling
// would otherwise be forgotten.
int RunUntilStopped(ServiceLog& log) {
  HANDLE ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (ended == nullptr) {
    log.Err() << "zrctl: cannot run the service: error " << GetLastError() << "\n";
    return kExitFailed;
  }
  int status = kExitFailed;
  std::thread worker([&] {
    status = current->command(log.Out(), log.Err());
    SetEvent(ended);
  });
  Report(SERVICE_RUNNING);
  HANDLE waited[] = {current->stopAsked, ended};
  if (WaitForMultipleObjects(2, waited, FALSE, INFINITE) == WAIT_OBJECT_0) {
    log.Err() << "zrctl: stop asked for by the service manager\n";
    do {
      Report(SERVICE_STOP_PENDING, kStopHintMillis);
      SignalStop::Request();
    } while (WaitForSingleObject(ended, kStopPollMillis) == WAIT_TIMEOUT);
  }
  worker.join();
  CloseHandle(ended);
  return status;
}

void WINAPI ServiceMain(DWORD argc, wchar_t** argv) {
  current->handle =
      RegisterServiceCtrlHandlerExW(argc > 0 ? argv[0] : L"", OnControl, nullptr);
  if (current->handle == nullptr) {
    current->status = kExitFailed;
    return;
  }
  Report(SERVICE_START_PENDING, kStopHintMillis);
  std::ofstream file;
  if (!current->logPath.empty()) {
    file.open(std::filesystem::u8path(current->logPath), std::ios::app);
  }
  current->logOpened = file.is_open();
  if (!current->logOpened) {
    current->status = kExitUsage;
  } else {
    ServiceLog log(file);
    log.Err() << "zrctl: service started\n";
    current->status = RunUntilStopped(log);
    log.Err() << "zrctl: service stopped with status " << current->status << "\n";
  }
  Report(SERVICE_STOPPED);
}

}  // namespace

bool TakeWindowsServiceFlag(std::vector<std::string>& args) {
  bool found = false;
  for (auto it = args.begin(); it != args.end();) {
    if (*it == kWindowsServiceFlag) {
      found = true;
      it = args.erase(it);
    } else if (*it == "--") {
      break;  // an operand from here on, whatever it looks like
    } else {
      ++it;
    }
  }
  return found;
}

std::string ServiceLogPath(const std::vector<std::string>& args) {
  std::string csv;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--") break;
    if (args[i] == "--log" && i + 1 < args.size()) {
      csv = args[i + 1];
    } else if (args[i].compare(0, 6, "--log=") == 0) {
      csv = args[i].substr(6);
    }
  }
  if (csv.empty()) return "";
  std::filesystem::path path = std::filesystem::u8path(csv);
  const std::filesystem::path original = path;
  path.replace_extension(".log");
  if (path == original) path += ".log";
  return path.u8string();
}

int RunAsWindowsService(const std::string& logPath, ServiceCommand command, std::ostream& err) {
  // Even without a log the service manager is answered: a service that
  // never reports is only "did not respond in time" to the administrator;
  // one that stops says with which status.
  Service service;
  service.logPath = logPath;
  service.command = std::move(command);
  service.stopAsked = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  current = &service;
  wchar_t noName[] = L"";  // a service of its own process: the name is not looked at
  SERVICE_TABLE_ENTRYW table[] = {{noName, ServiceMain}, {nullptr, nullptr}};
  int status = kExitOk;
  if (!StartServiceCtrlDispatcherW(table)) {
    const DWORD error = GetLastError();
    if (error == ERROR_FAILED_SERVICE_CONTROLLER_CONNECT) {
      err << "zrctl: " << kWindowsServiceFlag << " is for the service manager: start the "
          << "service (sc start NAME), or run the command without it\n";
    } else {
      err << "zrctl: cannot reach the service manager: error " << error << "\n";
    }
    status = kExitUsage;
  } else {
    status = service.status;
  }
  if (logPath.empty()) {
    err << "zrctl: " << kWindowsServiceFlag << " needs --log FILE: the service's lines go "
        << "beside it\n";
  } else if (service.handle != nullptr && !service.logOpened) {
    err << "zrctl: cannot open the service's log " << logPath << "\n";
  }
  current = nullptr;
  CloseHandle(service.stopAsked);
  return status;
}

}  // namespace lumiq::zrctl
