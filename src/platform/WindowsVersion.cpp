#include "platform/WindowsVersion.h"

#include "platform/Errors.h"
#include "platform/FileLocation.h"
#include "platform/Text.h"
#include "platform/UniqueHandle.h"

#include <vector>

namespace {

using GetFileVersionInfoSizeExWFn = DWORD(WINAPI*)(DWORD, LPCWSTR, LPDWORD);
using GetFileVersionInfoExWFn = BOOL(WINAPI*)(DWORD, LPCWSTR, DWORD, DWORD, LPVOID);
using VerQueryValueWFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
using Wow64DisableFn = BOOL(WINAPI*)(PVOID*);
using Wow64RevertFn = BOOL(WINAPI*)(PVOID);

constexpr DWORD kFileVerGetNeutral = 2;  // FILE_VER_GET_NEUTRAL

// Switches WOW64 file-system redirection off for its lifetime, so a 32-bit
// process reads the real System32 rather than SysWOW64. Does nothing where
// the functions do not exist (32-bit Windows) or the switch fails.
class Wow64RedirectionOff {
public:
    Wow64RedirectionOff() {
        const HMODULE kernel = GetModuleHandleW(L"Kernel32.dll");
        if (!kernel) return;
        const auto disable = reinterpret_cast<Wow64DisableFn>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
        revert_ = reinterpret_cast<Wow64RevertFn>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
        if (disable && revert_) disabled_ = disable(&oldValue_) != FALSE;
    }
    ~Wow64RedirectionOff() {
        if (disabled_) revert_(oldValue_);
    }
    Wow64RedirectionOff(const Wow64RedirectionOff&) = delete;
    Wow64RedirectionOff& operator=(const Wow64RedirectionOff&) = delete;

private:
    Wow64RevertFn revert_ = nullptr;
    PVOID oldValue_ = nullptr;
    bool disabled_ = false;
};

template <class Fn>
Fn Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The fixed file information of a version resource; false when there is
// none. mingw's import library lacks the Ex functions, so all three are
// looked up in version.dll.
bool ReadFixedFileInfo(const std::wstring& path, VS_FIXEDFILEINFO& info) {
    const WindowsPlatform::UniqueModule version(LoadLibraryW(L"version.dll"));
    if (!version) return false;
    const auto getSize = Lookup<GetFileVersionInfoSizeExWFn>(version.Get(), "GetFileVersionInfoSizeExW");
    const auto getInfo = Lookup<GetFileVersionInfoExWFn>(version.Get(), "GetFileVersionInfoExW");
    const auto query = Lookup<VerQueryValueWFn>(version.Get(), "VerQueryValueW");
    if (!getSize || !getInfo || !query) return false;

    const Wow64RedirectionOff redirectionOff;
    DWORD handle = 0;
    const DWORD size = getSize(kFileVerGetNeutral, path.c_str(), &handle);
    if (size == 0) return false;
    std::vector<BYTE> buffer(size);
    if (!getInfo(kFileVerGetNeutral, path.c_str(), 0, size, buffer.data())) return false;
    void* block = nullptr;
    UINT length = 0;
    if (!query(buffer.data(), L"\\", &block, &length) || length != sizeof(VS_FIXEDFILEINFO)) return false;
    info = *static_cast<const VS_FIXEDFILEINFO*>(block);
    return true;
}

// The update build revision; 0 when the key or the value cannot be read.
DWORD ReadUpdateBuildRevision() {
    WindowsPlatform::UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                      KEY_READ, key.Put()) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key.Get(), L"UBR", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return 0;
    return value & 0xFFFF;
}

std::wstring Kernel32Path() {
    wchar_t folder[261];
    const UINT length = GetSystemDirectoryW(folder, 261);
    if (length == 0 || length >= 261) return {};
    const FileLocation location(TranscodeU16ToU8(std::wstring(folder, length)) + "\\kernel32.dll");
    return WindowsPath(location, kFilePathLimit);
}

WindowsVersionNumber ReadWindowsVersion() {
    WindowsVersionNumber version;
    try {
        const std::wstring path = Kernel32Path();
        if (path.empty()) return version;
        version = ReadProductVersion(path.c_str());
        if (version.major != 0 || version.minor != 0 || version.build != 0)
            version.revision = ReadUpdateBuildRevision();
    } catch (...) {
        // A path that cannot be converted counts as an unreadable resource.
        version = WindowsVersionNumber();
    }
    return version;
}

// GetVersionExW's record with the version numbers of kernel32.dll.
const OSVERSIONINFOEXW& VersionInfo() {
    static const struct Record {
        OSVERSIONINFOEXW info{};
        bool gathered = false;
        Record() {
            info.dwOSVersionInfoSize = sizeof info;
            gathered = GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)) != FALSE;
            const WindowsVersionNumber& version = WindowsVersion();
            info.dwMajorVersion = version.major;
            info.dwMinorVersion = version.minor;
            info.dwBuildNumber = version.build;
        }
    } record;
    if (!record.gathered) throw ExceptionPL("Unable to gather OSVERSIONINFOEX");
    return record.info;
}

}  // namespace

WindowsVersionNumber ReadProductVersion(const wchar_t* path) {
    WindowsVersionNumber version;
    VS_FIXEDFILEINFO info{};
    if (!ReadFixedFileInfo(path, info)) return version;
    version.major = HIWORD(info.dwProductVersionMS);
    version.minor = LOWORD(info.dwProductVersionMS);
    version.build = HIWORD(info.dwProductVersionLS);
    return version;
}

const WindowsVersionNumber& WindowsVersion() {
    static const WindowsVersionNumber version = ReadWindowsVersion();
    return version;
}

bool IsWindowsVersionAtLeast(DWORD major, DWORD minor) {
    const OSVERSIONINFOEXW& info = VersionInfo();
    if (info.dwMajorVersion != major) return info.dwMajorVersion > major;
    return info.dwMinorVersion >= minor;
}
