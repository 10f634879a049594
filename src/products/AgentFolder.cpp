#include "products/AgentFolder.h"

#include "sysops/UninstallEntries.h"

#include <windows.h>

std::optional<std::wstring> FindAgentFolder(Remove::Log& log) {
    if (auto folder = GetInstallLocation(L"Orvalis Enterprise Client", log)) return folder;
    return GetInstallLocationFromKey(HKEY_LOCAL_MACHINE,
                                     L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ORVClient.exe",
                                     L"Path", log);
}
