#include "HelperService.h"

namespace LabSetup {
namespace {

constexpr DWORD kStopNowControl = 128;  // as the lab service: stops whatever happens

SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE stopRequested = nullptr;

void Report(DWORD state) {
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI Handler(DWORD control, DWORD, void*, void*) {
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case kStopNowControl:
        SetEvent(stopRequested);
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI ServiceMain(DWORD argc, wchar_t** argv) {
    statusHandle = RegisterServiceCtrlHandlerExW(argc > 0 ? argv[0] : L"", Handler, nullptr);
    if (statusHandle == nullptr) return;
    Report(SERVICE_RUNNING);
    WaitForSingleObject(stopRequested, INFINITE);
    Report(SERVICE_STOPPED);
}

}  // namespace

DWORD RunHelperService() {
    stopRequested = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    wchar_t name[] = L"labhelper";  // ignored for an own-process service
    SERVICE_TABLE_ENTRYW table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherW(table) ? 0 : GetLastError();
}

}  // namespace LabSetup
