#include "sysops/FileVersion.h"

#include "platform/Errors.h"
#include "sysops/Files.h"

#include <windows.h>

#include <vector>

std::wstring GetFileVersionString(const std::wstring& path) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0) ThrowLastError();
    std::vector<BYTE> buffer(size);
    ThrowLastErrorIfFalse(GetFileVersionInfoW(path.c_str(), handle, size, buffer.data()));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    ThrowLastErrorIfFalse(VerQueryValueW(buffer.data(), L"\\", reinterpret_cast<void**>(&info), &length));
    if (info == nullptr || length < sizeof(VS_FIXEDFILEINFO)) throw Windows::Error(ERROR_RESOURCE_DATA_NOT_FOUND);
    return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionMS)) +
           L"." + std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." +
           std::to_wstring(LOWORD(info->dwFileVersionLS));
}

std::optional<std::wstring> ReadFileVersion(const std::wstring& path, Remove::Log& log) {
    log.Write(L"Trying to read the version of file \"");
    log.Write(path);
    log.Write(L"\"...");
    std::optional<std::wstring> version;
    Remove::Log quiet;
    if (!FileExists(path, quiet)) {
        log.Write(L"file not found");
    } else {
        try {
            version = GetFileVersionString(path);
            log.Write(L"file has version ");
            log.Write(*version);
        } catch (...) {
            log.Write(L"file exists, but failed to read version: ");
            log.WriteCurrentException();
        }
    }
    log.EndLine();
    return version;
}
