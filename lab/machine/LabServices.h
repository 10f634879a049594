#pragma once
// Windows services of the lab: created through the service manager with an
// ImagePath chosen by the plan, started and waited for; removed by stopping
// (the lab service's control 128 stops it whatever its mode) and deleting.

#include <windows.h>

#include <string>
#include <vector>

namespace Lab {

struct ServiceState {
    std::wstring name;
    DWORD state = 0;  // SERVICE_RUNNING, ...
};

// Creates an auto-start service running imagePath and waits until it runs.
void CreateAndStartService(const std::wstring& name, const std::wstring& imagePath);
// Stops the service if it runs and deletes it; a missing service is fine.
// atOnce sends the lab service's own stop control first, which no stop
// mode ignores; without it only SERVICE_CONTROL_STOP is sent, as a setup
// would. Returns whether the service stopped.
bool StopAndDeleteService(const std::wstring& name, bool atOnce);
bool ServiceExists(const std::wstring& name);
std::vector<ServiceState> AllServices();
const wchar_t* StateName(DWORD state);

}  // namespace Lab
