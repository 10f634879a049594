#include "sysops/ProtectedFolders.h"

#include "platform/Text.h"
#include "platform/UniqueHandle.h"
#include "sysops/PathSafety.h"
#include "sysops/ShellFolders.h"

#include <shlobj.h>

#include <iterator>

namespace {

using WindowsPlatform::UniqueRegistryKey;

const wchar_t kCurrentVersion[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const wchar_t kProfileList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
const wchar_t kIisSetup[] = L"SOFTWARE\\Microsoft\\InetStp";

// Both registry views: on 64-bit Windows some of these keys are kept apart
// for 32-bit programs, and a value that only one view holds still counts.
const REGSAM kViews[] = {0, KEY_WOW64_64KEY};

std::optional<std::wstring> KeyText(HKEY key, const wchar_t* value) {
    // RRF_RT_REG_EXPAND_SZ is only accepted together with RRF_NOEXPAND; the
    // expansion is done below instead.
    const DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegGetValueW(key, nullptr, value, flags, &type, nullptr, &bytes) != ERROR_SUCCESS) return std::nullopt;
    std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegGetValueW(key, nullptr, value, flags, &type, buffer.data(), &bytes) != ERROR_SUCCESS) return std::nullopt;
    buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
    if (type != REG_EXPAND_SZ) return buffer;
    try {
        return TranscodeU8ToU16(ExpandEnvironmentText(TranscodeU16ToU8(buffer)));
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<std::wstring> Environment(const wchar_t* name) {
    wchar_t buffer[32768];
    const DWORD length = GetEnvironmentVariableW(name, buffer, static_cast<DWORD>(std::size(buffer)));
    if (length == 0 || length >= std::size(buffer)) return std::nullopt;
    return std::wstring(buffer, length);
}

std::optional<std::wstring> WindowsCall(UINT(WINAPI* query)(LPWSTR, UINT)) {
    wchar_t buffer[MAX_PATH * 2];
    const UINT length = query(buffer, static_cast<UINT>(std::size(buffer)));
    if (length == 0 || length >= std::size(buffer)) return std::nullopt;
    return std::wstring(buffer, length);
}

std::optional<std::wstring> TemporaryFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetTempPathW(static_cast<DWORD>(std::size(buffer)), buffer);
    if (length == 0 || length >= std::size(buffer)) return std::nullopt;
    return std::wstring(buffer, length);
}

class PathList {
public:
    void Add(const std::optional<std::wstring>& path, Protection kind) {
        // A relative value would be taken from the current folder: it names
        // nothing of Windows.
        if (path && !path->empty() && IsFullPath(*path)) paths_.push_back({*path, kind});
    }
    void AddBelow(const std::optional<std::wstring>& folder, const wchar_t* name, Protection kind) {
        if (folder) Add(*folder + L"\\" + name, kind);
    }
    void AddMachineText(const wchar_t* subkey, const wchar_t* value, Protection kind) {
        for (REGSAM view : kViews) Add(MachineText(subkey, value, view), kind);
    }
    std::vector<ProtectedPath> Take() { return std::move(paths_); }

private:
    std::vector<ProtectedPath> paths_;
};

void AddWindowsFolders(PathList& list) {
    const auto windows = WindowsCall(GetWindowsDirectoryW);
    for (const auto& folder : {windows, WindowsCall(GetSystemWindowsDirectoryW), GetSpecialFolder(CSIDL_WINDOWS),
                               Environment(L"SystemRoot"), Environment(L"windir")})
        list.Add(folder, Protection::WindowsFolder);
    // Below the Windows folder anyway; named so that the refusal says what they are.
    list.Add(WindowsCall(GetSystemDirectoryW), Protection::WindowsOwned);
    list.Add(WindowsCall(GetSystemWow64DirectoryW), Protection::WindowsOwned);
    for (const wchar_t* name : {L"System32", L"SysWOW64", L"Sysnative", L"System"})
        list.AddBelow(windows, name, Protection::WindowsOwned);
    for (int csidl : {CSIDL_SYSTEM, CSIDL_SYSTEMX86}) list.Add(GetSpecialFolder(csidl), Protection::WindowsOwned);
}

void AddProgramFolders(PathList& list) {
    for (int csidl : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON,
                      CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_COMMON_APPDATA})
        list.Add(GetSpecialFolder(csidl), Protection::WindowsOwned);
    for (const wchar_t* name : {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"CommonProgramFiles",
                                L"CommonProgramFiles(x86)", L"CommonProgramW6432", L"ProgramData",
                                L"ALLUSERSPROFILE"})
        list.Add(Environment(name), Protection::WindowsOwned);
    for (const wchar_t* value : {L"ProgramFilesDir", L"ProgramFilesDir (x86)", L"ProgramW6432Dir",
                                 L"CommonFilesDir", L"CommonFilesDir (x86)", L"CommonW6432Dir"})
        list.AddMachineText(kCurrentVersion, value, Protection::WindowsOwned);
}

// Every profile that ProfileList names, wherever it lies.
void AddListedProfiles(PathList& list, REGSAM view) {
    UniqueRegistryKey profiles;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProfileList, 0, KEY_READ | view, profiles.Put()) != ERROR_SUCCESS) return;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = static_cast<DWORD>(std::size(name));
        const LONG status = RegEnumKeyExW(profiles.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return;
        UniqueRegistryKey profile;
        if (RegOpenKeyExW(profiles.Get(), name, 0, KEY_QUERY_VALUE, profile.Put()) == ERROR_SUCCESS)
            list.Add(KeyText(profile.Get(), L"ProfileImagePath"), Protection::Profile);
    }
}

void AddUserFolders(PathList& list) {
    list.AddMachineText(kProfileList, L"ProfilesDirectory", Protection::ProfileParent);
    for (const wchar_t* value : {L"Default", L"Public"}) list.AddMachineText(kProfileList, value, Protection::Profile);
    for (REGSAM view : kViews) AddListedProfiles(list, view);
    for (const auto& profile : {GetSpecialFolder(CSIDL_PROFILE), Environment(L"USERPROFILE"), Environment(L"PUBLIC")}) {
        list.Add(profile, Protection::Profile);
        if (profile) list.Add(*profile + L"\\..", Protection::ProfileParent);
    }
    for (int csidl : {CSIDL_PERSONAL, CSIDL_DESKTOPDIRECTORY, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA})
        list.Add(GetSpecialFolder(csidl), Protection::WindowsOwned);
    for (const wchar_t* name : {L"APPDATA", L"LOCALAPPDATA", L"TEMP", L"TMP"})
        list.Add(Environment(name), Protection::WindowsOwned);
    list.Add(TemporaryFolder(), Protection::WindowsOwned);
}

// The profiles that Windows keeps inside its own folder. The system profile
// is in two places on 64-bit Windows: 64-bit programs keep their data in the
// System32 one, 32-bit programs in the SysWOW64 one, which is also where
// their System32 spelling leads.
std::vector<std::wstring> ServiceProfiles() {
    const auto windows = WindowsCall(GetSystemWindowsDirectoryW);
    if (!windows) return {};
    return {*windows + L"\\System32\\config\\systemprofile", *windows + L"\\SysWOW64\\config\\systemprofile",
            *windows + L"\\ServiceProfiles\\LocalService", *windows + L"\\ServiceProfiles\\NetworkService"};
}

const wchar_t* const kProfileDataFolders[] = {L"AppData\\Local", L"AppData\\LocalLow", L"AppData\\Roaming",
                                              L"Documents"};

// The service profiles, their shell folders, and Windows' own data in them
// (the accounts' keys, certificates, credentials and temporary files), which
// stays refused with everything below it.
void AddServiceProfiles(PathList& list) {
    for (const auto& profile : ServiceProfiles()) {
        list.Add(profile, Protection::Profile);
        list.AddBelow(profile, L"AppData", Protection::WindowsOwned);
        for (const wchar_t* data : kProfileDataFolders) {
            list.AddBelow(profile, data, Protection::WindowsOwned);
            list.AddBelow(profile + L"\\" + data, L"Microsoft", Protection::WindowsData);
        }
        list.AddBelow(profile, L"AppData\\Local\\Temp", Protection::WindowsData);
    }
}

// IIS keeps every site of the machine below %SystemDrive%\inetpub; its own
// setup names the default web root.
void AddWebFolders(PathList& list) {
    std::vector<std::wstring> drives;
    if (const auto drive = Environment(L"SystemDrive")) drives.push_back(*drive);
    if (const auto windows = WindowsCall(GetWindowsDirectoryW)) drives.push_back(windows->substr(0, 2));
    for (const auto& drive : drives) {
        const std::wstring inetpub = drive + L"\\inetpub";
        list.Add(inetpub, Protection::IisOwned);
        for (const wchar_t* name : {L"wwwroot", L"ftproot", L"mailroot", L"custerr", L"logs", L"temp", L"history",
                                    L"AdminScripts"})
            list.AddBelow(inetpub, name, Protection::IisOwned);
    }
    list.AddMachineText(kIisSetup, L"PathWWWRoot", Protection::IisOwned);
}

}  // namespace

std::vector<ProtectedPath> ProtectedPaths() {
    PathList list;
    AddWindowsFolders(list);
    AddProgramFolders(list);
    AddUserFolders(list);
    AddServiceProfiles(list);
    AddWebFolders(list);
    return list.Take();
}

std::vector<std::wstring> ServiceProfileDataFolders() {
    std::vector<std::wstring> folders;
    for (const auto& profile : ServiceProfiles())
        for (const wchar_t* data : kProfileDataFolders) folders.push_back(profile + L"\\" + data);
    return folders;
}

std::optional<std::wstring> MachineText(const wchar_t* subkey, const wchar_t* value, REGSAM view) {
    UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey, 0, KEY_QUERY_VALUE | view, key.Put()) != ERROR_SUCCESS)
        return std::nullopt;
    return KeyText(key.Get(), value);
}
