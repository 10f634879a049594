#include "sysops/MountedHive.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "platform/UniqueHandle.h"
#include "sysops/AccessRecovery.h"
#include "sysops/Registry.h"

#include <windows.h>

#include <cwchar>

using WindowsPlatform::InjectedFault;

namespace {

const wchar_t kMountPrefix[] = L"ORVRemove-";

// Loading and unloading a hive need both privileges in the process token;
// they stay enabled for the rest of the process.
void EnableHivePrivileges() {
    WindowsPlatform::UniqueKernelHandle token;
    ThrowLastErrorIfFalse(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put()));
    EnablePrivilege(token.Get(), SE_BACKUP_NAME);
    EnablePrivilege(token.Get(), SE_RESTORE_NAME);
}

LONG UnloadHive(const std::wstring& name) {
    if (DWORD fault = InjectedFault("RegUnLoadKeyW")) return static_cast<LONG>(fault);
    try {
        EnableHivePrivileges();
    } catch (...) {
        // The unload itself reports what is missing.
    }
    return RegUnLoadKeyW(HKEY_USERS, name.c_str());
}

// The lead-in and the description of the unload's status as one line.
void WriteFailedUnload(const std::wstring& lead, LONG status, Remove::Log& log) {
    log.Write(lead);
    try {
        ThrowIfError(status);
    } catch (...) {
        log.WriteCurrentException();
    }
    log.EndLine();
}

}  // namespace

MountedHive MountedHive::Load(const std::wstring& name, const std::wstring& file) {
    EnableHivePrivileges();
    LONG status = static_cast<LONG>(InjectedFault("RegLoadKeyW"));
    if (status == ERROR_SUCCESS) status = RegLoadKeyW(HKEY_USERS, name.c_str(), file.c_str());
    ThrowIfError(status);
    return MountedHive(name);
}

MountedHive::~MountedHive() {
    if (!name_.empty()) UnloadHive(name_);
}

bool MountedHive::Unload(const std::wstring& file, Remove::Log& log) {
    if (name_.empty()) return true;
    const LONG status = UnloadHive(name_);
    if (status == ERROR_SUCCESS) {
        name_.clear();
        return true;
    }
    WriteFailedUnload(L"Unloading the registry hive \"" + file + L"\"...failed: ", status, log);
    return false;
}

std::wstring HiveMountName(const std::wstring& profileName) { return kMountPrefix + profileName; }

std::optional<std::wstring> ProfileNameOfMount(const std::wstring& name) {
    const size_t length = std::wcslen(kMountPrefix);
    if (name.size() <= length || _wcsnicmp(name.c_str(), kMountPrefix, length) != 0) return std::nullopt;
    return name.substr(length);
}

void UnloadStaleHives(Remove::Log& log) {
    for (const std::wstring& name : EnumerateSubkeys(HKEY_USERS, L"")) {
        if (!ProfileNameOfMount(name)) continue;
        const LONG status = UnloadHive(name);
        if (status == ERROR_SUCCESS) continue;
        WriteFailedUnload(L"Unloading the registry hive \"HKU\\" + name + L"\" that an earlier run left loaded...failed: ",
                          status, log);
    }
}
