#pragma once
// The Session Manager's PendingFileRenameOperations, the list of what Windows
// deletes or renames at the next restart. A test that makes the remover
// schedule deletions keeps one ScopedPendingRestartDeletions for its whole
// length: it puts the list back as it found it, so nothing of the test is
// deleted when the prefix restarts and no later run sees the test's paths
// as pending.

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

class ScopedPendingRestartDeletions {
public:
    ScopedPendingRestartDeletions() : saved_(Read()) {}
    ~ScopedPendingRestartDeletions() {
        HKEY key = Open(KEY_SET_VALUE);
        if (key == nullptr) return;
        if (saved_) {
            RegSetValueExW(key, kValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(saved_->data()),
                           static_cast<DWORD>(saved_->size() * sizeof(wchar_t)));
        } else {
            RegDeleteValueW(key, kValue);
        }
        RegCloseKey(key);
    }
    ScopedPendingRestartDeletions(const ScopedPendingRestartDeletions&) = delete;
    ScopedPendingRestartDeletions& operator=(const ScopedPendingRestartDeletions&) = delete;

    // The paths added since the start of the test that are to be deleted
    // (an empty target), in the list's order, as written: "\??\C:\...".
    std::vector<std::wstring> AddedDeletions() const {
        const std::vector<std::wstring> now = Strings(Read());
        const size_t start = Strings(saved_).size();
        std::vector<std::wstring> added;
        for (size_t i = start; i + 1 < now.size(); i += 2)
            if (now[i + 1].empty()) added.push_back(now[i]);
        return added;
    }

private:
    static constexpr const wchar_t* kValue = L"PendingFileRenameOperations";

    static HKEY Open(REGSAM access) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, access,
                          &key) != ERROR_SUCCESS)
            return nullptr;
        return key;
    }

    // The raw value, NULs included, or absent.
    static std::optional<std::wstring> Read() {
        HKEY key = Open(KEY_QUERY_VALUE);
        if (key == nullptr) return std::nullopt;
        DWORD size = 0;
        std::optional<std::wstring> data;
        if (RegQueryValueExW(key, kValue, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
            std::wstring buffer(size / sizeof(wchar_t), L'\0');
            if (RegQueryValueExW(key, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size) ==
                ERROR_SUCCESS) {
                buffer.resize(size / sizeof(wchar_t));
                data = buffer;
            }
        }
        RegCloseKey(key);
        return data;
    }

    // The strings of the list, empty ones included, without the closing one.
    static std::vector<std::wstring> Strings(const std::optional<std::wstring>& data) {
        std::vector<std::wstring> strings;
        if (!data) return strings;
        for (size_t at = 0; at < data->size();) {
            const size_t end = std::min(data->find(L'\0', at), data->size());
            strings.push_back(data->substr(at, end - at));
            at = end + 1;
        }
        if (strings.size() % 2 == 1 && strings.back().empty()) strings.pop_back();
        return strings;
    }

    std::optional<std::wstring> saved_;
};
