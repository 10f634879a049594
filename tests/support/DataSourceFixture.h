#pragma once
// Plants ODBC data sources (DSNs) for one test the way the ODBC
// administrator writes them: a key under HKLM\SOFTWARE\ODBC\ODBC.INI and a
// value in its "ODBC Data Sources" key, both in the 64-bit registry view,
// where the program removes them (or, for a test that needs a bystander, in
// the 32-bit view). When the test ends, the planted DSNs and every key the
// fixture created are removed, also when the test fails.

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

class DataSourceFixture {
public:
    static constexpr REGSAM kView = KEY_WOW64_64KEY;
    static constexpr REGSAM k32BitView = KEY_WOW64_32KEY;
    static constexpr const wchar_t* kIniKey = L"SOFTWARE\\ODBC\\ODBC.INI";
    static constexpr const wchar_t* kListKey = L"SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources";

    explicit DataSourceFixture(REGSAM view = kView) : view_(view) {}
    ~DataSourceFixture() {
        for (const auto& name : planted_) {
            DeleteTree(std::wstring(kIniKey) + L"\\" + name);
            DeleteValue(kListKey, name);
        }
        for (auto it = created_.rbegin(); it != created_.rend(); ++it) DeleteTree(*it);
    }
    DataSourceFixture(const DataSourceFixture&) = delete;
    DataSourceFixture& operator=(const DataSourceFixture&) = delete;

    void Plant(const std::wstring& name, const std::wstring& database) {
        const std::wstring key = std::wstring(kIniKey) + L"\\" + name;
        CreateKey(key);
        SetString(key, L"Driver", L"C:\\Windows\\system32\\SQLSRV32.dll");
        SetString(key, L"Server", L"(local)");
        SetString(key, L"Database", database);
        SetString(key, L"Trusted_Connection", L"Yes");
        CreateKey(kListKey);
        SetString(kListKey, name.c_str(), L"SQL Server");
        planted_.push_back(name);
    }

    // A subkey below a planted DSN's key, with one value.
    void PlantSubkey(const std::wstring& name, const std::wstring& subkey) {
        const std::wstring key = std::wstring(kIniKey) + L"\\" + name + L"\\" + subkey;
        CreateKey(key);
        SetString(key, L"Note", L"planted below the data source");
    }

    static bool KeyExists(const std::wstring& name, REGSAM view = kView) {
        HKEY key = nullptr;
        const std::wstring path = std::wstring(kIniKey) + L"\\" + name;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    static bool ListValueExists(const std::wstring& name, REGSAM view = kView) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kListKey, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
        const LONG status = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        return status == ERROR_SUCCESS;
    }

    // Both the key and the list value.
    static bool Exists(const std::wstring& name) { return KeyExists(name) || ListValueExists(name); }

private:
    // Creates the key and the missing keys above it, remembering the new ones.
    void CreateKey(const std::wstring& path) {
        size_t end = 0;
        do {
            end = path.find(L'\\', end + 1);
            const std::wstring part = path.substr(0, end);
            HKEY key = nullptr;
            DWORD disposition = 0;
            if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, part.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view_, nullptr, &key,
                                &disposition) != ERROR_SUCCESS)
                throw std::runtime_error("DSN fixture: RegCreateKeyExW failed");
            RegCloseKey(key);
            if (disposition == REG_CREATED_NEW_KEY) created_.push_back(part);
        } while (end != std::wstring::npos);
    }

    void SetString(const std::wstring& path, const wchar_t* name, const std::wstring& text) const {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE | view_, &key) != ERROR_SUCCESS)
            throw std::runtime_error("DSN fixture: RegOpenKeyExW failed");
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }

    void DeleteTree(const std::wstring& path) const {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS | view_, &key) != ERROR_SUCCESS) return;
        RegDeleteTreeW(key, nullptr);
        RegCloseKey(key);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), view_, 0);
    }

    void DeleteValue(const std::wstring& path, const std::wstring& name) const {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE | view_, &key) != ERROR_SUCCESS) return;
        RegDeleteValueW(key, name.c_str());
        RegCloseKey(key);
    }

    REGSAM view_;
    std::vector<std::wstring> planted_;
    std::vector<std::wstring> created_;
};
