#include "sysops/Services.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "platform/UniqueHandle.h"
#include "sysops/ActionPlan.h"

#include <windows.h>

using WindowsPlatform::InjectedFault;
using WindowsPlatform::UniqueServiceHandle;

namespace {

constexpr int kStopPolls = 100;
constexpr DWORD kStopPollMilliseconds = 100;

// The manager and one of its services. Members are destroyed in reverse
// order, so the service handle is always closed before the manager's.
struct ServiceHandles {
    UniqueServiceHandle manager;
    UniqueServiceHandle service;
};

UniqueServiceHandle OpenManager() {
    SC_HANDLE manager = nullptr;
    if (DWORD fault = InjectedFault("OpenSCManagerW")) SetLastError(fault);
    else manager = OpenSCManagerW(nullptr, SERVICES_ACTIVE_DATABASEW, SC_MANAGER_ALL_ACCESS);
    if (manager == nullptr) ThrowLastError();
    return UniqueServiceHandle(manager);
}

// Opens the manager and the service with full access. False when the
// service does not exist; every other failure throws Windows::Error.
bool OpenNamedService(const std::wstring& name, ServiceHandles& handles) {
    handles.manager = OpenManager();
    try {
        handles.service.Reset(OpenServiceW(handles.manager.Get(), name.c_str(), SERVICE_ALL_ACCESS));
        if (!handles.service) ThrowLastError();
    } catch (const Windows::Error& e) {
        if (e.Code() == ERROR_SERVICE_DOES_NOT_EXIST) return false;
        throw;
    }
    return true;
}

DWORD CurrentState(SC_HANDLE service) {
    SERVICE_STATUS status{};
    ThrowLastErrorIfFalse(QueryServiceStatus(service, &status));
    return status.dwCurrentState;
}

void SendStop(SC_HANDLE service) {
    SERVICE_STATUS status{};
    if (DWORD fault = InjectedFault("ControlService")) throw Windows::Error(fault);
    ThrowLastErrorIfFalse(ControlService(service, SERVICE_CONTROL_STOP, &status));
}

void Delete(SC_HANDLE service) {
    if (DWORD fault = InjectedFault("DeleteService")) throw Windows::Error(fault);
    ThrowLastErrorIfFalse(DeleteService(service));
}

void WriteLine(Remove::Log& log, const wchar_t* text) {
    log.Write(text);
    log.EndLine();
}

void WriteFailure(Remove::Log& log, const wchar_t* prefix) {
    log.Write(prefix);
    log.WriteCurrentException();
    log.EndLine();
}

// Waits for the stop, appending "." to the open line after every tenth poll.
bool WaitUntilStopped(SC_HANDLE service, Remove::Log& log) {
    for (int poll = 0; poll < kStopPolls; ++poll) {
        if (CurrentState(service) == SERVICE_STOPPED) {
            WriteLine(log, L"stopped");
            return true;
        }
        Sleep(kStopPollMilliseconds);
        if (poll % 10 == 0) log.Write(L".");
    }
    WriteLine(log, L"abandoning wait.  Service not stopped.");
    return false;
}

}  // namespace

bool ServiceExists(const std::wstring& name, Remove::Log& log) {
    log.Write(L"Checking for \"");
    log.Write(name);
    log.Write(L"\" service...");
    try {
        ServiceHandles handles;
        const bool exists = OpenNamedService(name, handles);
        WriteLine(log, exists ? L"exists" : L"not found");
        return exists;
    } catch (...) {
        WriteFailure(log, L"");
        return false;
    }
}

bool IsServiceRunning(const std::wstring& name, Remove::Log& log) {
    log.Write(L"Checking if \"");
    log.Write(name);
    log.Write(L"\" is running...");
    try {
        ServiceHandles handles;
        if (!OpenNamedService(name, handles)) {
            WriteLine(log, L"service does not exist");
            return false;
        }
        const bool running = CurrentState(handles.service.Get()) == SERVICE_RUNNING;
        WriteLine(log, running ? L"service is running" : L"service not running");
        return running;
    } catch (...) {
        WriteFailure(log, L"");
        return false;
    }
}

namespace {

// Whether to act on the service. In plan mode nothing is done: the action is
// described when there is something to do (the service exists and, for a
// stop, is not stopped).
bool ActOnService(const std::wstring& name, ActionKind kind, Remove::Log& log) {
    if (Planning()) {
        try {
            ServiceHandles handles;
            if (!OpenNamedService(name, handles)) return false;
            if (kind == ActionKind::ServiceStop && CurrentState(handles.service.Get()) == SERVICE_STOPPED) return false;
        } catch (...) {
            // What cannot be looked at is planned as it is asked for.
        }
    }
    PlannedAction action{kind, name};
    if (kind == ActionKind::ServiceDeletion && !name.empty() && name.find(L'\\') == std::wstring::npos) {
        // The service's registration goes with it: a backup made from the
        // plan keeps it, and importing that brings the service back at the
        // next restart. The service manager keeps it in the 64-bit view.
        // (A name that is no service name must not stand for the whole
        // Services key.)
        action.root = HKEY_LOCAL_MACHINE;
        action.path = L"SYSTEM\\CurrentControlSet\\Services\\" + name;
        action.view = RegistryView::Native64;
    }
    return ActOrDescribe(action, log);
}

}  // namespace

bool StopService(const std::wstring& name, Remove::Log& log) {
    if (!ActOnService(name, ActionKind::ServiceStop, log)) return true;
    log.Write(L"Stopping service \"");
    log.Write(name);
    log.Write(L"\"...");
    try {
        ServiceHandles handles;
        if (!OpenNamedService(name, handles)) {
            WriteLine(log, L"service does not exist");
            return true;
        }
        const DWORD state = CurrentState(handles.service.Get());
        if (state == SERVICE_STOPPED) {
            WriteLine(log, L"service is already stopped");
            return true;
        }
        // A stop already under way gets no second control.
        if (state != SERVICE_STOP_PENDING) SendStop(handles.service.Get());
        return WaitUntilStopped(handles.service.Get(), log);
    } catch (...) {
        WriteFailure(log, L"error encountered: ");
        return false;
    }
}

bool RemoveService(const std::wstring& name, Remove::Log& log) {
    if (!ActOnService(name, ActionKind::ServiceDeletion, log)) return true;
    if (!StopService(name, log)) return false;
    log.Write(L"Deleting service \"");
    log.Write(name);
    log.Write(L"\"...");
    try {
        ServiceHandles handles;
        if (!OpenNamedService(name, handles)) {
            WriteLine(log, L"service does not exist");
            return true;
        }
        try {
            // Windows removes the service once the last handle to it closes,
            // which happens right after this call.
            Delete(handles.service.Get());
        } catch (...) {
            WriteFailure(log, L"failed to delete service: ");
            return false;
        }
        WriteLine(log, L"done");
        return true;
    } catch (...) {
        WriteFailure(log, L"error encountered: ");
        return false;
    }
}
