#pragma once
// Plants registry keys and values for one test and removes them when the
// test ends, also when it fails. Everything is planted in the 32-bit view,
// where the program looks, unless the fixture is made for the 64-bit view
// (RegistryFixture(KEY_WOW64_64KEY)). Only keys that this fixture created are removed
// (with everything below them), never keys that were there before.
//
// Planting failures throw std::runtime_error, which fails the test; the
// destructor still cleans up.

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

class RegistryFixture {
public:
    static constexpr REGSAM kView = KEY_WOW64_32KEY;

    RegistryFixture() : tag_(std::to_wstring(GetCurrentProcessId())) {}
    explicit RegistryFixture(REGSAM view) : view_(view), tag_(std::to_wstring(GetCurrentProcessId())) {}
    ~RegistryFixture() {
        for (auto it = created_.rbegin(); it != created_.rend(); ++it) Remove(it->root, it->path, view_);
    }
    RegistryFixture(const RegistryFixture&) = delete;
    RegistryFixture& operator=(const RegistryFixture&) = delete;

    // A text unique to this test process, for key names and product names
    // that must not meet those of another test run.
    std::wstring Unique(const std::wstring& base) const { return base + L" " + tag_; }

    // Creates the key and every missing key above it; a new key gets the
    // class text, if one is given.
    void CreateKey(HKEY root, const std::wstring& path, const wchar_t* className = nullptr) {
        size_t end = 0;
        do {
            end = path.find(L'\\', end + 1);
            const std::wstring part = path.substr(0, end);
            HKEY key = nullptr;
            DWORD disposition = 0;
            wchar_t* keyClass = end == std::wstring::npos ? const_cast<wchar_t*>(className) : nullptr;
            const LONG status = RegCreateKeyExW(root, part.c_str(), 0, keyClass, 0, KEY_ALL_ACCESS | view_,
                                                nullptr, &key, &disposition);
            if (status != ERROR_SUCCESS) Fail("RegCreateKeyExW", part, status);
            RegCloseKey(key);
            if (disposition == REG_CREATED_NEW_KEY) created_.push_back({root, part});
        } while (end != std::wstring::npos);
    }

    // Sets a value with exactly these bytes and type; creates the key.
    void SetRaw(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type, const void* data,
                DWORD bytes) {
        CreateKey(root, path);
        HKEY key = nullptr;
        LONG status = RegOpenKeyExW(root, path.c_str(), 0, KEY_SET_VALUE | view_, &key);
        if (status != ERROR_SUCCESS) Fail("RegOpenKeyExW", path, status);
        status = RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) Fail("RegSetValueExW", path, status);
    }

    // The text with its terminating NUL, as the registry editor writes it.
    void SetString(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& text,
                   DWORD type = REG_SZ) {
        SetRaw(root, path, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void SetExpandString(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& text) {
        SetString(root, path, name, text, REG_EXPAND_SZ);
    }
    void SetDword(HKEY root, const std::wstring& path, const wchar_t* name, DWORD value) {
        SetRaw(root, path, name, REG_DWORD, &value, sizeof value);
    }

    static bool KeyExists(HKEY root, const std::wstring& path, REGSAM view = kView) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    static bool ValueExists(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view = kView) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
        const LONG status = RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        return status == ERROR_SUCCESS;
    }

private:
    struct Planted {
        HKEY root;
        std::wstring path;
    };

    [[noreturn]] static void Fail(const char* call, const std::wstring& path, LONG status) {
        std::string narrow(path.begin(), path.end());
        throw std::runtime_error(std::string(call) + " failed with " + std::to_string(status) + " for " + narrow);
    }

    // Removes a planted key and whatever the test put below it; a key that
    // the code under test already deleted is fine.
    static void Remove(HKEY root, const std::wstring& path, REGSAM view) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS) return;
        RegDeleteTreeW(key, nullptr);
        RegCloseKey(key);
        RegDeleteKeyExW(root, path.c_str(), view, 0);
    }

    REGSAM view_ = kView;
    std::wstring tag_;
    std::vector<Planted> created_;
};
