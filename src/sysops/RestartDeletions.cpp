#include "sysops/RestartDeletions.h"

#include "platform/UniqueHandle.h"
#include "sysops/RestartNeed.h"

#include <algorithm>
#include <vector>

using WindowsPlatform::UniqueFileHandle;
using WindowsPlatform::UniqueRegistryKey;

namespace {

const wchar_t kSessionManagerKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t* const kPendingValues[] = {L"PendingFileRenameOperations", L"PendingFileRenameOperations2"};

// The path as Windows resolves it, without "\\?\" or "\??\", without a
// trailing backslash, in upper case.
std::wstring Comparable(const std::wstring& path) {
    std::wstring plain = path;
    for (const wchar_t* prefix : {L"\\\\?\\", L"\\??\\"}) {
        if (plain.compare(0, 4, prefix) == 0) {
            plain.erase(0, 4);
            if (plain.compare(0, 4, L"UNC\\") == 0) plain.replace(0, 4, L"\\\\");
            break;
        }
    }
    const DWORD needed = GetFullPathNameW(plain.c_str(), 0, nullptr, nullptr);
    if (needed != 0) {
        std::vector<wchar_t> full(needed);
        const DWORD length = GetFullPathNameW(plain.c_str(), needed, full.data(), nullptr);
        if (length != 0 && length < needed) plain.assign(full.data(), length);
    }
    while (plain.size() > 3 && plain.back() == L'\\') plain.pop_back();
    if (!plain.empty()) CharUpperBuffW(plain.data(), static_cast<DWORD>(plain.size()));
    return plain;
}

// The strings of a REG_MULTI_SZ value, empty ones included: a deletion is a
// pair of the path and an empty target.
std::vector<std::wstring> MultiStrings(HKEY key, const wchar_t* value) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, value, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_MULTI_SZ)
        return {};
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        return {};
    const size_t count = size / sizeof(wchar_t);
    std::vector<std::wstring> strings;
    for (size_t at = 0; at < count;) {
        const size_t end = std::find(data.begin() + static_cast<std::ptrdiff_t>(at), data.end(), L'\0') - data.begin();
        strings.emplace_back(data.data() + at, end - at);
        at = end + 1;
    }
    // The list ends with an empty string of its own.
    if (!strings.empty() && strings.size() % 2 == 1 && strings.back().empty()) strings.pop_back();
    return strings;
}

}  // namespace

DWORD ScheduleDeletionAtRestart(const std::wstring& path) {
    if (!MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return GetLastError();
    NoteRestartNeeded();
    return 0;
}

bool DeletedAtRestart(const std::wstring& path) {
    UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS)
        return false;
    const std::wstring wanted = Comparable(path);
    for (const wchar_t* value : kPendingValues) {
        const std::vector<std::wstring> strings = MultiStrings(key.Get(), value);
        for (size_t i = 0; i + 1 < strings.size(); i += 2) {
            if (strings[i + 1].empty() && Comparable(strings[i]) == wanted) return true;
        }
    }
    return false;
}

bool FailedBecauseInUse(const std::wstring& path, DWORD error) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_USER_MAPPED_FILE) return true;
    if (error != ERROR_ACCESS_DENIED) return false;
    // Windows refuses to delete the image of a running program with access
    // denied, as it does a file the user may not delete. Only the image
    // also refuses to open for writing whatever the sharing allows.
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file && GetLastError() == ERROR_SHARING_VIOLATION;
}
