#include "LabFiles.h"

#include "LabError.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

using WindowsPlatform::UniqueFileHandle;
using WindowsPlatform::UniqueFindHandle;

namespace Lab {
namespace {

bool Missing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Runs the deletion until it succeeds, the target is gone, or about five
// seconds have passed with the target in use.
void Retrying(const std::wstring& path, const wchar_t* call, BOOL (*remove)(const wchar_t*)) {
    for (int attempt = 0;; ++attempt) {
        if (remove(LongPath(path).c_str())) return;
        const DWORD error = GetLastError();
        if (Missing(error)) return;
        const bool busy = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
        if (!busy || attempt == 50) ThrowIfFailed(static_cast<LONG>(error), call, path);
        Sleep(100);
    }
}

BOOL RemoveFile(const wchar_t* path) {
    SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(path);
}

BOOL RemoveFolder(const wchar_t* path) {
    SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryW(path);
}

}  // namespace

std::wstring LongPath(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\", 0) == 0 || path.size() < 3 || path[1] != L':') return path;
    return L"\\\\?\\" + path;
}

std::wstring ParentFolder(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring FileName(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFolders(const std::wstring& folder) {
    if (folder.size() <= 3 || PathExists(folder)) return;
    MakeFolders(ParentFolder(folder));
    if (!CreateDirectoryW(LongPath(folder).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        ThrowLastError(L"CreateDirectoryW", folder);
    }
}

void WriteBytes(const std::wstring& path, const std::string& bytes, bool readOnly) {
    MakeFolders(ParentFolder(path));
    SetFileAttributesW(LongPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    UniqueFileHandle file(CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowLastError(L"CreateFileW", path);
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        ThrowLastError(L"WriteFile", path);
    }
    file.Reset();
    if (readOnly && !SetFileAttributesW(LongPath(path).c_str(), FILE_ATTRIBUTE_READONLY)) {
        ThrowLastError(L"SetFileAttributesW", path);
    }
}

void CopyFileTo(const std::wstring& source, const std::wstring& target) {
    MakeFolders(ParentFolder(target));
    if (!CopyFileW(LongPath(source).c_str(), LongPath(target).c_str(), FALSE)) {
        ThrowLastError(L"CopyFileW", source + L" -> " + target);
    }
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    UniqueFileHandle file(CreateFileW(LongPath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    return bytes;
}

void AppendBytes(const std::wstring& path, const std::string& bytes) {
    MakeFolders(ParentFolder(path));
    UniqueFileHandle file(CreateFileW(LongPath(path).c_str(), FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowLastError(L"CreateFileW", path);
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        ThrowLastError(L"WriteFile", path);
    }
}

void DeleteFileAt(const std::wstring& path) { Retrying(path, L"DeleteFileW", RemoveFile); }

std::vector<std::wstring> FolderEntries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    UniqueFindHandle find(FindFirstFileExW(LongPath(folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0));
    if (!find) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find.Get(), &found));
    return names;
}

void DeleteFolderTree(const std::wstring& folder) {
    const DWORD attributes = GetFileAttributesW(LongPath(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileAt(folder);
    // Under Wine a reparse point is a Unix link, and deleting it deletes its
    // target: the lab never makes one, so finding one is an error.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) throw Error(L"refusing to delete the link " + folder);
    for (const auto& name : FolderEntries(folder)) DeleteFolderTree(folder + L"\\" + name);
    Retrying(folder, L"RemoveDirectoryW", RemoveFolder);
}

void DeleteFolderIfEmpty(const std::wstring& folder) {
    if (PathExists(folder) && FolderEntries(folder).empty()) Retrying(folder, L"RemoveDirectoryW", RemoveFolder);
}

}  // namespace Lab
