#include "LabServices.h"

#include "LabError.h"
#include "platform/UniqueHandle.h"

using WindowsPlatform::UniqueServiceHandle;

namespace Lab {
namespace {

constexpr DWORD kStopNowControl = 128;

UniqueServiceHandle OpenManager(DWORD access) {
    UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, access));
    if (!manager) ThrowLastError(L"OpenSCManagerW", L"");
    return manager;
}

DWORD CurrentState(SC_HANDLE service) {
    SERVICE_STATUS status{};
    return QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
}

bool WaitForState(SC_HANDLE service, DWORD wanted, DWORD timeoutMs) {
    for (DWORD waited = 0;; waited += 50) {
        if (CurrentState(service) == wanted) return true;
        if (waited >= timeoutMs) return false;
        Sleep(50);
    }
}

}  // namespace

void CreateAndStartService(const std::wstring& name, const std::wstring& imagePath) {
    auto manager = OpenManager(SC_MANAGER_ALL_ACCESS);
    UniqueServiceHandle service(CreateServiceW(manager.Get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                               SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                                               SERVICE_ERROR_NORMAL, imagePath.c_str(), nullptr, nullptr, nullptr,
                                               nullptr, nullptr));
    if (!service) ThrowLastError(L"CreateServiceW", name);
    // Wine's service manager now and then fails a start on a loaded machine
    // (1359, 1053) though the next try works: the lab retries before it
    // gives up, so a test does not fail for a reason it is not about.
    for (int attempt = 1;; ++attempt) {
        if (StartServiceW(service.Get(), 0, nullptr)) break;
        const DWORD error = GetLastError();
        if (attempt > 1 && error == ERROR_SERVICE_ALREADY_RUNNING) break;
        if (attempt == 3 || (error != ERROR_INTERNAL_ERROR && error != ERROR_SERVICE_REQUEST_TIMEOUT)) {
            SetLastError(error);
            ThrowLastError(L"StartServiceW", name);
        }
        Sleep(500);
    }
    if (!WaitForState(service.Get(), SERVICE_RUNNING, 10000)) {
        throw Error(L"the service " + name + L" did not reach the running state");
    }
}

bool StopAndDeleteService(const std::wstring& name, bool atOnce) {
    auto manager = OpenManager(SC_MANAGER_ALL_ACCESS);
    UniqueServiceHandle service(OpenServiceW(manager.Get(), name.c_str(), SERVICE_ALL_ACCESS));
    if (!service) {
        if (GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST) return true;
        ThrowLastError(L"OpenServiceW", name);
    }
    SERVICE_STATUS status{};
    if (CurrentState(service.Get()) != SERVICE_STOPPED) {
        if (atOnce) ControlService(service.Get(), kStopNowControl, &status);
        ControlService(service.Get(), SERVICE_CONTROL_STOP, &status);
    }
    const bool stopped = WaitForState(service.Get(), SERVICE_STOPPED, 10000);
    if (!DeleteService(service.Get()) && GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE) {
        ThrowLastError(L"DeleteService", name);
    }
    return stopped;
}

bool ServiceExists(const std::wstring& name) {
    auto manager = OpenManager(SC_MANAGER_CONNECT);
    UniqueServiceHandle service(OpenServiceW(manager.Get(), name.c_str(), SERVICE_QUERY_STATUS));
    return service.Valid();
}

std::vector<ServiceState> AllServices() {
    auto manager = OpenManager(SC_MANAGER_ENUMERATE_SERVICE);
    DWORD needed = 0;
    DWORD count = 0;
    DWORD resume = 0;
    EnumServicesStatusExW(manager.Get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_STATE_ALL, nullptr, 0,
                          &needed, &count, &resume, nullptr);
    std::vector<BYTE> buffer(needed + 1024);
    resume = 0;
    if (!EnumServicesStatusExW(manager.Get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_STATE_ALL,
                               buffer.data(), static_cast<DWORD>(buffer.size()), &needed, &count, &resume,
                               nullptr)) {
        ThrowLastError(L"EnumServicesStatusExW", L"");
    }
    const auto* entries = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSW*>(buffer.data());
    std::vector<ServiceState> services;
    for (DWORD i = 0; i < count; ++i) {
        services.push_back({entries[i].lpServiceName, entries[i].ServiceStatusProcess.dwCurrentState});
    }
    return services;
}

const wchar_t* StateName(DWORD state) {
    switch (state) {
    case SERVICE_STOPPED: return L"STOPPED";
    case SERVICE_START_PENDING: return L"START_PENDING";
    case SERVICE_STOP_PENDING: return L"STOP_PENDING";
    case SERVICE_RUNNING: return L"RUNNING";
    case SERVICE_CONTINUE_PENDING: return L"CONTINUE_PENDING";
    case SERVICE_PAUSE_PENDING: return L"PAUSE_PENDING";
    case SERVICE_PAUSED: return L"PAUSED";
    default: return L"UNKNOWN";
    }
}

}  // namespace Lab
