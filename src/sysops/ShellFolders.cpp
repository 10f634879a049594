#include "sysops/ShellFolders.h"

#include "platform/CriticalSection.h"
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

namespace {

// One cached folder: looked up on first use, kept until the process ends
// (or a test forgets it). Absent results are kept too.
class CachedFolder {
public:
    explicit CachedFolder(int csidl) : csidl_(csidl) {}

    std::optional<std::wstring> Get() {
        WindowsPlatform::CriticalSectionLock hold(lock_);
        if (!known_) {
            folder_ = GetSpecialFolder(csidl_);
            known_ = true;
        }
        return folder_;
    }

    void Forget() {
        WindowsPlatform::CriticalSectionLock hold(lock_);
        known_ = false;
        folder_.reset();
    }

private:
    const int csidl_;
    WindowsPlatform::CriticalSection lock_;
    bool known_ = false;
    std::optional<std::wstring> folder_;
};

CachedFolder& Documents() {
    static CachedFolder folder(CSIDL_PERSONAL);
    return folder;
}

CachedFolder& LocalAppData() {
    static CachedFolder folder(CSIDL_LOCAL_APPDATA);
    return folder;
}

// The program is 32-bit: on 64-bit Windows this is the x86 folder, where
// the suite's 32-bit setups install.
CachedFolder& ProgramFiles() {
    static CachedFolder folder(CSIDL_PROGRAM_FILES);
    return folder;
}

}  // namespace

std::optional<std::wstring> DocumentsFolder() { return Documents().Get(); }

std::optional<std::wstring> LocalAppDataFolder() { return LocalAppData().Get(); }

std::optional<std::wstring> ProgramFilesFolder() { return ProgramFiles().Get(); }

void ForgetSpecialFolders() {
    Documents().Forget();
    LocalAppData().Forget();
    ProgramFiles().Forget();
}
