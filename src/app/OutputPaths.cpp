#include "app/OutputPaths.h"

#include "platform/Errors.h"

#include <windows.h>

#include <vector>

std::wstring FullPath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) ThrowLastError();
    std::vector<wchar_t> buffer(needed);
    const DWORD length = GetFullPathNameW(path.c_str(), needed, buffer.data(), nullptr);
    if (length == 0 || length >= needed) ThrowLastError();
    return std::wstring(buffer.data(), length);
}

void CreateFolderTree(const std::wstring& folder) {
    DWORD lastError = ERROR_PATH_NOT_FOUND;
    for (size_t end = folder.find_first_of(L"\\/");; end = folder.find_first_of(L"\\/", end + 1)) {
        const std::wstring part = folder.substr(0, end);
        // Drive and share roots fail here harmlessly; the whole path decides.
        if (!part.empty() && !CreateDirectoryW(part.c_str(), nullptr)) {
            const DWORD error = GetLastError();
            if (error != ERROR_ALREADY_EXISTS) lastError = error;
        }
        if (end == std::wstring::npos) break;
    }
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) throw Windows::Error(lastError);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) throw Windows::Error(ERROR_DIRECTORY);
}

std::wstring PrepareFilePath(const std::wstring& path) {
    const std::wstring full = FullPath(path);
    const size_t slash = full.find_last_of(L"\\/");
    if (slash != std::wstring::npos && slash > 0) {
        try {
            CreateFolderTree(full.substr(0, slash));
        } catch (...) {
            // Creating the file reports what is wrong with its folder.
        }
    }
    return full;
}
