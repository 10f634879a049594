#pragma once
// Imports a .reg file the way an administrator restores a backup: with
// Windows' own 64-bit reg.exe ("reg import FILE"), the one an administrator's
// prompt runs on 64-bit Windows, in a process of its own. The tests are
// 32-bit programs: they reach it through the Sysnative folder.

#include "platform/UniqueHandle.h"

#include <windows.h>

#include <string>

// reg.exe's exit code (0: imported), or the error of CreateProcessW.
inline DWORD ImportRegFile(const std::wstring& path, const std::wstring& extra = L"") {
    wchar_t windows[MAX_PATH];
    const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    std::wstring commandLine =
        L"\"" + std::wstring(windows, length) + L"\\Sysnative\\reg.exe\" import \"" + path + L"\"" + extra;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &info)) {
        return GetLastError();
    }
    WindowsPlatform::UniqueKernelHandle process(info.hProcess);
    WindowsPlatform::UniqueKernelHandle thread(info.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.Get(), &exitCode);
    return exitCode;
}
