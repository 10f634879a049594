#include "platform/MiniDump.h"

#include "platform/Errors.h"
#include "platform/UniqueHandle.h"

#include <dbghelp.h>
#include <shlobj.h>

#include <exception>

namespace WindowsPlatform {

namespace {

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);
using SHGetFolderPathWFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);

constexpr const wchar_t* kSettingsKey = L"Software\\Orvalis";
constexpr const wchar_t* kCounterKey = L"Software\\Orvalis\\Minidumps";
constexpr DWORD kCppExceptionCode = 0xE06D7363;
constexpr size_t kPathLimit = MAX_PATH - 1;

template <class Fn>
Fn Lookup(const wchar_t* moduleName, const char* name) {
    // Loaded for the rest of the process, as a crash may come again.
    const HMODULE module = LoadLibraryW(moduleName);
    if (!module) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A REG_DWORD value; false when the key or the value cannot be read as one.
bool ReadDword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD& value) {
    UniqueRegistryKey key;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof data)
        return false;
    value = data;
    return true;
}

std::wstring ModulePath() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(path, length);
}

std::wstring FileNamePart(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The path the dump is named after: the executable itself for SYSTEM,
// else the executable's name in the user's dump folder, created here.
std::wstring BasePath(const std::wstring& userName) {
    const std::wstring executable = ModulePath();
    if (executable.empty() || executable.find_last_of(L"\\/") == std::wstring::npos) return {};
    if (userName == L"SYSTEM") return executable;

    const auto getFolderPath = Lookup<SHGetFolderPathWFn>(L"shell32.dll", "SHGetFolderPathW");
    if (!getFolderPath) return {};
    wchar_t folder[MAX_PATH];
    if (FAILED(getFolderPath(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder))) return {};
    std::wstring path(folder);
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    path += L"Orvalis";
    CreateDirectoryW(path.c_str(), nullptr);  // an existing folder is fine
    return path + L"\\" + FileNamePart(executable);
}

// Takes the next dump number of this executable from the counter and moves
// the counter on, wrapping at maxFiles. A stored number at or beyond the
// limit (the limit was lowered) wraps too, so no more files than the limit
// are ever made. 0 when the counter key cannot be opened.
DWORD TakeDumpNumber(const std::wstring& valueName, DWORD maxFiles) {
    if (maxFiles == 0) maxFiles = 0xFFFFFFFF;
    UniqueRegistryKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kCounterKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(),
                        nullptr) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0;
    DWORD stored = 0;
    DWORD size = sizeof stored;
    if (RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&stored), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof stored)
        stored = 0;
    const DWORD number = stored % maxFiles;
    const DWORD next = (number + 1) % maxFiles;
    RegSetValueExW(key.Get(), valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&next), sizeof next);
    return number;
}

std::wstring CurrentUserName() {
    wchar_t name[257];
    DWORD size = 257;
    if (!GetUserNameW(name, &size)) return {};
    return name;
}

bool WriteDump(const std::wstring& path, DWORD type) {
    const auto writeDump = Lookup<MiniDumpWriteDumpFn>(L"dbghelp.dll", "MiniDumpWriteDump");
    if (!writeDump) return false;
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;

    // The record stands for the C++ exception being handled; the context is
    // that of the handler, since the frames of the throw are unwound by now.
    CONTEXT context{};
    RtlCaptureContext(&context);
    EXCEPTION_RECORD record{};
    record.ExceptionCode = kCppExceptionCode;
    record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
#ifdef _WIN64
    record.ExceptionAddress = reinterpret_cast<void*>(context.Rip);
#else
    record.ExceptionAddress = reinterpret_cast<void*>(context.Eip);
#endif
    EXCEPTION_POINTERS pointers{&record, &context};
    MINIDUMP_EXCEPTION_INFORMATION exception{GetCurrentThreadId(), &pointers, FALSE};
    return writeDump(GetCurrentProcess(), GetCurrentProcessId(), file.Get(), static_cast<MINIDUMP_TYPE>(type),
                     &exception, nullptr, nullptr) != FALSE;
}

}  // namespace

bool IsDumpableCurrentException() noexcept {
    const std::exception_ptr current = std::current_exception();
    if (!current) return false;
    try {
        std::rethrow_exception(current);
    } catch (const NonDumpableException&) {
        return false;
    } catch (...) {
        return true;
    }
}

MiniDumpSettings ReadMiniDumpSettings() noexcept {
    MiniDumpSettings settings;
    DWORD value = 0;
    if (ReadDword(HKEY_LOCAL_MACHINE, kSettingsKey, L"WriteMiniDumps", value)) settings.enabled = value != 0;
    if (ReadDword(HKEY_CURRENT_USER, kSettingsKey, L"MINIDUMP_TYPE", value)) settings.type = value;
    if (ReadDword(HKEY_LOCAL_MACHINE, kSettingsKey, L"MaxDumpFiles", value))
        settings.maxFiles = value == 0 ? 0xFFFFFFFF : value;
    return settings;
}

std::wstring DumpFileName(const std::wstring& executableName, const DWORD* number) {
    std::wstring stem = executableName;
    const size_t dot = stem.rfind(L'.');
    if (dot != std::wstring::npos) stem.erase(dot);
    if (number) stem += L"_" + std::to_wstring(*number);
    return stem + L".dmp";
}

std::wstring NextMiniDumpPath(const std::wstring& userName, DWORD maxFiles) noexcept {
    try {
        const std::wstring base = BasePath(userName);
        if (base.empty()) return {};
        const size_t slash = base.find_last_of(L"\\/");
        const std::wstring folder = base.substr(0, slash + 1);
        const std::wstring name = base.substr(slash + 1);
        std::wstring path;
        if (maxFiles == 1) {
            path = folder + DumpFileName(name, nullptr);
        } else {
            const DWORD number = TakeDumpNumber(name, maxFiles);
            path = folder + DumpFileName(name, &number);
        }
        return path.size() > kPathLimit ? std::wstring() : path;
    } catch (...) {
        return {};
    }
}

bool WriteMiniDumpForCurrentException() noexcept {
    try {
        if (!IsDumpableCurrentException()) return false;
        const MiniDumpSettings settings = ReadMiniDumpSettings();
        if (!settings.enabled) return false;
        const std::wstring user = CurrentUserName();
        if (user.empty()) return false;
        const std::wstring path = NextMiniDumpPath(user, settings.maxFiles);
        if (path.empty()) return false;
        return WriteDump(path, settings.type);
    } catch (...) {
        return false;
    }
}

}  // namespace WindowsPlatform
