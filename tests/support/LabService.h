#pragma once
// Installs the lab service program (lab/programs/labservice) as a service
// of its own for one test, under a name unique to the test process, and
// stops and deletes it when the test ends, also when it fails, waiting until
// the service manager has let it go. The
// arguments choose how the service answers a stop control:
//   L""                   stops at once
//   L"--stop-after 1500"  reports stop pending, stops 1.5 s later
//   L"--ignore-stop"      stays running
// The fixture stops a service that still runs through the service's named
// stop event, which works in every mode.

#include "support/LabPaths.h"

#include <windows.h>

#include <stdexcept>
#include <string>

class LabService {
public:
    // A service named exactly so, for tests that need a real service name of
    // the suite; such a test must be the only one using that name.
    struct ExactName {
        std::wstring name;
    };

    // A service named "ORVLab" + baseName + the test process id.
    LabService(const std::wstring& baseName, const std::wstring& arguments)
        : LabService(ExactName{L"ORVLab" + baseName + std::to_wstring(GetCurrentProcessId())}, arguments) {}

    LabService(const ExactName& name, const std::wstring& arguments) : name_(name.name) {
        manager_ = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        if (manager_ == nullptr) throw std::runtime_error("OpenSCManagerW failed: " + std::to_string(GetLastError()));
        const std::wstring command = L"\"" + LabProgram(L"labservice.exe") + L"\" " + arguments;
        SC_HANDLE service = CreateServiceW(manager_, name_.c_str(), name_.c_str(), SERVICE_ALL_ACCESS,
                                           SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                           command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
        if (service == nullptr) {
            const DWORD error = GetLastError();
            CloseServiceHandle(manager_);
            throw std::runtime_error("CreateServiceW failed: " + std::to_string(error));
        }
        CloseServiceHandle(service);
    }

    // Stops the service if it still runs and deletes it if it still exists.
    ~LabService() {
        if (SC_HANDLE service = OpenServiceW(manager_, name_.c_str(), SERVICE_ALL_ACCESS)) {
            SERVICE_STATUS status{};
            if (QueryServiceStatus(service, &status) && status.dwCurrentState != SERVICE_STOPPED) {
                // Controls are refused once a stop has been sent, so the
                // service is told through its event.
                const std::wstring eventName = L"Global\\ORVLabServiceStop-" + name_;
                if (HANDLE stop = OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName.c_str())) {
                    SetEvent(stop);
                    CloseHandle(stop);
                }
                WaitFor(SERVICE_STOPPED, 5000);
            }
            DeleteService(service);
            CloseServiceHandle(service);
            WaitUntilGone(30000);
        }
        CloseServiceHandle(manager_);
    }
    LabService(const LabService&) = delete;
    LabService& operator=(const LabService&) = delete;

    const std::wstring& Name() const { return name_; }

    void Start() {
        const bool started = WithService([](SC_HANDLE service) { return StartServiceW(service, 0, nullptr) != FALSE; });
        if (!started) throw std::runtime_error("StartServiceW failed: " + std::to_string(GetLastError()));
        if (!WaitFor(SERVICE_RUNNING, 10000)) throw std::runtime_error("lab service did not start");
    }

    // Sends a control and returns the error code (0 on success).
    DWORD Control(DWORD control) {
        SERVICE_STATUS status{};
        DWORD error = ERROR_SERVICE_DOES_NOT_EXIST;
        WithService([&](SC_HANDLE service) {
            error = ControlService(service, control, &status) ? 0 : GetLastError();
            return true;
        });
        return error;
    }

    // The current state; 0 when the service cannot be opened or queried.
    DWORD State() const {
        SERVICE_STATUS status{};
        const bool queried =
            WithService([&](SC_HANDLE service) { return QueryServiceStatus(service, &status) != FALSE; });
        return queried ? status.dwCurrentState : 0;
    }

    bool WaitFor(DWORD state, DWORD milliseconds) const {
        for (DWORD waited = 0;; waited += 50) {
            if (State() == state) return true;
            if (waited >= milliseconds) return false;
            Sleep(50);
        }
    }

private:
    // The service manager removes a deleted service only once its process
    // has ended and every handle to it is closed. The next case of the
    // suite, in the same process, may install a service of the same name,
    // so the fixture waits until this one is really gone.
    void WaitUntilGone(DWORD milliseconds) const {
        for (DWORD waited = 0; waited < milliseconds; waited += 50) {
            SC_HANDLE service = OpenServiceW(manager_, name_.c_str(), SERVICE_QUERY_STATUS);
            if (service == nullptr) return;
            CloseServiceHandle(service);
            Sleep(50);
        }
    }

    // Opens the service for one call; the fixture keeps no service handle
    // open, so that a deleted service really goes away.
    template <class Call>
    bool WithService(Call call) const {
        SC_HANDLE service = OpenServiceW(manager_, name_.c_str(), SERVICE_ALL_ACCESS);
        if (service == nullptr) return false;
        const bool result = call(service);
        const DWORD error = GetLastError();
        CloseServiceHandle(service);
        SetLastError(error);
        return result;
    }

    std::wstring name_;
    SC_HANDLE manager_ = nullptr;
};
