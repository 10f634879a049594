// A Windows service whose answer to the stop control is chosen by the
// arguments in its ImagePath:
//
//   labservice.exe                     stops as soon as it is asked
//   labservice.exe --stop-after <ms>   reports SERVICE_STOP_PENDING, then
//                                      stops <ms> milliseconds later
//   labservice.exe --ignore-stop       accepts the stop control and stays
//                                      running
//
// It also accepts pause and continue. The user control 128 stops it at once
// whatever the mode, and so does setting the named event
// "Global\\ORVLabServiceStop-" + the service name: Wine's service manager
// refuses every control once a stop has been sent, even to a service that
// ignored it, so a test takes such a service down through the event.

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

constexpr DWORD kStopNowControl = 128;

enum class StopMode { Now, After, Ignore };

StopMode mode = StopMode::Now;
DWORD stopDelay = 0;
SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE stopRequested = nullptr;
volatile LONG stopAtOnce = 0;
DWORD currentState = SERVICE_START_PENDING;

void Report(DWORD state, DWORD waitHint = 0) {
    static DWORD checkPoint = 0;
    currentState = state;
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted =
        state == SERVICE_START_PENDING ? 0 : SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PAUSE_CONTINUE;
    status.dwWaitHint = waitHint;
    status.dwCheckPoint = (state == SERVICE_RUNNING || state == SERVICE_STOPPED) ? 0 : ++checkPoint;
    SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI Handler(DWORD control, DWORD, void*, void*) {
    switch (control) {
    case SERVICE_CONTROL_STOP:
        if (mode == StopMode::Ignore) return NO_ERROR;
        if (mode == StopMode::After) Report(SERVICE_STOP_PENDING, stopDelay + 2000);
        SetEvent(stopRequested);
        return NO_ERROR;
    case kStopNowControl:
        InterlockedExchange(&stopAtOnce, 1);
        SetEvent(stopRequested);
        return NO_ERROR;
    case SERVICE_CONTROL_PAUSE:
        Report(SERVICE_PAUSED);
        return NO_ERROR;
    case SERVICE_CONTROL_CONTINUE:
        Report(SERVICE_RUNNING);
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        Report(currentState);
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI ServiceMain(DWORD argc, wchar_t** argv) {
    statusHandle = RegisterServiceCtrlHandlerExW(argc > 0 ? argv[0] : L"", Handler, nullptr);
    if (statusHandle == nullptr) return;
    const std::wstring eventName = std::wstring(L"Global\\ORVLabServiceStop-") + (argc > 0 ? argv[0] : L"");
    HANDLE stopEvent = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
    Report(SERVICE_RUNNING);
    const HANDLE waits[] = {stopRequested, stopEvent};
    if (WaitForMultipleObjects(stopEvent ? 2 : 1, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1)
        InterlockedExchange(&stopAtOnce, 1);
    if (mode == StopMode::After && !stopAtOnce) Sleep(stopDelay);
    Report(SERVICE_STOPPED);
    if (stopEvent != nullptr) CloseHandle(stopEvent);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        if (wcscmp(argv[i], L"--stop-after") == 0 && i + 1 < argc) {
            mode = StopMode::After;
            stopDelay = static_cast<DWORD>(_wtoi(argv[++i]));
        } else if (wcscmp(argv[i], L"--ignore-stop") == 0) {
            mode = StopMode::Ignore;
        }
    }
    stopRequested = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    wchar_t name[] = L"labservice";  // ignored for an own-process service
    SERVICE_TABLE_ENTRYW table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherW(table) ? 0 : static_cast<int>(GetLastError());
}
