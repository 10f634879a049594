#pragma once
// Where the folders are that the deletion must never take, gathered from
// every source that names them (Windows calls, shell folders, the
// environment and the machine's registry) so that one failing or tampered
// source does not open a gap. The paths are returned as their sources give
// them; PathSafety compares them after resolving each spelling.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

enum class Protection {
    WindowsFolder,   // the Windows folder: refused, and so is everything below it
    WindowsData,     // Windows' own data in a service account's profile: refused with everything below it
    WindowsOwned,    // a system, program, data or user folder of Windows
    IisOwned,        // a web folder of IIS
    Profile,         // a user profile folder
    ProfileParent,   // a folder whose every subfolder is a profile (C:\Users)
};

struct ProtectedPath {
    std::wstring path;
    Protection kind;
};

// Every protected folder of this machine. Empty and relative paths are left
// out. Never throws for a failing source: that source is skipped.
std::vector<ProtectedPath> ProtectedPaths();

// The folders of the profiles that Windows keeps inside its own folder, in
// which the suite's folders may go: the data folders (AppData\Local,
// AppData\LocalLow, AppData\Roaming, Documents) of the system profile, in
// its System32 and its SysWOW64 spelling, and of the LocalService and
// NetworkService profiles. They are built by name from the Windows folder and
// never taken from ProfileList, whose entries are registry data that may be
// damaged or hostile.
std::vector<std::wstring> ServiceProfileDataFolders();

// The text of an HKEY_LOCAL_MACHINE value of type REG_SZ or REG_EXPAND_SZ,
// the latter with its environment variables expanded; absent when the key or
// value is missing or of another type. view is 0 (the program's own view) or
// KEY_WOW64_64KEY.
std::optional<std::wstring> MachineText(const wchar_t* subkey, const wchar_t* value, REGSAM view = 0);
