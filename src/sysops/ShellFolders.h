#pragma once
// The shell folders that the components and the final cleanup build their
// default paths from. None of these throws: every failure gives absent.

#include <optional>
#include <string>

// The folder of a CSIDL value through shell32's SHGetFolderPathW (loaded at
// run time), the current path, no user token. Absent on any failure.
// Test seam: "SHGetFolderPathW" (an injected code fails the call).
std::optional<std::wstring> GetSpecialFolder(int csidl);

// The current user's Documents folder (CSIDL_PERSONAL). The first call looks
// it up and keeps the result for the life of the process, absent included;
// every call returns its own copy.
std::optional<std::wstring> DocumentsFolder();

// The current user's local application data folder (CSIDL_LOCAL_APPDATA),
// cached like DocumentsFolder.
std::optional<std::wstring> LocalAppDataFolder();

// The 32-bit program folder ("C:\\Program Files (x86)" on 64-bit Windows,
// what a 32-bit program gets for CSIDL_PROGRAM_FILES), cached like
// DocumentsFolder.
std::optional<std::wstring> ProgramFilesFolder();

// Test seam: empties the three caches above, so that the next call of each
// looks its folder up again. The program itself never calls it.
void ForgetSpecialFolders();
