#include "sysops/ShellFolders.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

#include <shlobj.h>

namespace {

using GetFolderPathFunction = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);

HRESULT CallGetFolderPath(GetFolderPathFunction getFolderPath, int csidl, wchar_t* buffer) {
    if (DWORD fault = WindowsPlatform::InjectedFault("SHGetFolderPathW")) return HRESULT_FROM_WIN32(fault);
    return getFolderPath(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer);
}

}  // namespace

std::optional<std::wstring> GetSpecialFolder(int csidl) {
    try {
        WindowsPlatform::UniqueModule shell(LoadLibraryW(L"shell32.dll"));
        if (!shell) ThrowLastError();
        // Through a plain function pointer type: FARPROC has no parameters.
        const auto getFolderPath = reinterpret_cast<GetFolderPathFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(shell.Get(), "SHGetFolderPathW")));
        if (getFolderPath == nullptr) return std::nullopt;
        wchar_t buffer[MAX_PATH] = {};
        if (FAILED(CallGetFolderPath(getFolderPath, csidl, buffer))) return std::nullopt;
        buffer[MAX_PATH - 1] = L'\0';
        return std::wstring(buffer);
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<std::wstring> DocumentsFolder() {
    static const std::optional<std::wstring> folder = GetSpecialFolder(CSIDL_PERSONAL);
    return folder;
}

std::optional<std::wstring> LocalAppDataFolder() {
    static const std::optional<std::wstring> folder = GetSpecialFolder(CSIDL_LOCAL_APPDATA);
    return folder;
}

std::optional<std::wstring> ProgramFilesFolder() {
    // The program is 32-bit: on 64-bit Windows this is the x86 folder, where
    // the suite's 32-bit setups install.
    static const std::optional<std::wstring> folder = GetSpecialFolder(CSIDL_PROGRAM_FILES);
    return folder;
}
