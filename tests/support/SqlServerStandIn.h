#pragma once
// Sets up what the SQL Server stand-in (lab/programs/odbcstandin, loaded as
// odbc32.dll) holds for one test, and reads back what it was asked. The
// state lives under HKLM\SOFTWARE\ORVLab\SQLServerStandIn in the 64-bit
// registry view (the layout is described in the stand-in's
// StandInState.h); it is cleared when the fixture is made and when it ends,
// also when the test fails.

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace SqlServer {
// The instances as the stand-in names them, and their services.
inline const wchar_t kDefaultInstance[] = L"MSSQLSERVER";
inline const wchar_t kExpressInstance[] = L"SQLEXPRESS";
inline const wchar_t kDefaultService[] = L"MSSQLSERVER";
inline const wchar_t kExpressService[] = L"MSSQL$SQLEXPRESS";
}  // namespace SqlServer

class SqlServerStandIn {
public:
    static constexpr REGSAM kView = KEY_WOW64_64KEY;
    static constexpr const wchar_t* kStateKey = L"SOFTWARE\\ORVLab\\SQLServerStandIn";

    SqlServerStandIn() { Clear(); }
    ~SqlServerStandIn() { Clear(); }
    SqlServerStandIn(const SqlServerStandIn&) = delete;
    SqlServerStandIn& operator=(const SqlServerStandIn&) = delete;

    // A database whose DBINFO table holds no row.
    void AddDatabase(const std::wstring& instance, const std::wstring& name) { CreateKey(DatabasePath(instance, name)); }
    // A database whose DBINFO holds one row with this version.
    void AddDatabase(const std::wstring& instance, const std::wstring& name, const std::wstring& version) {
        AddDatabase(instance, name);
        SetValue(DatabasePath(instance, name), L"Version", REG_SZ, version.c_str(),
                 static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t)));
    }
    // DBINFO holds one row whose Version is NULL.
    void SetNullVersion(const std::wstring& instance, const std::wstring& name) {
        SetValue(DatabasePath(instance, name), L"Version", REG_NONE, nullptr, 0);
    }
    // DBINFO holds no row any more.
    void RemoveVersionRow(const std::wstring& instance, const std::wstring& name) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, DatabasePath(instance, name).c_str(), 0, KEY_SET_VALUE | kView, &key) !=
            ERROR_SUCCESS)
            return;
        RegDeleteValueW(key, L"Version");
        RegCloseKey(key);
    }
    // Another client holds the database open, so a drop fails.
    void HoldOpen(const std::wstring& instance, const std::wstring& name) {
        SetFlag(DatabasePath(instance, name), L"DropFails");
    }
    void FailLogins(const std::wstring& instance) { SetFlag(InstancePath(instance), L"LoginFails"); }

    // Makes a step ("connect" or an exact SQL text) return result with these
    // records, each "state|native error|message".
    void PlantFailure(const std::wstring& step, short result, const std::vector<std::wstring>& records) {
        const std::wstring path = std::wstring(kStateKey) + L"\\Failures\\" + step;
        CreateKey(path);
        const DWORD value = static_cast<DWORD>(static_cast<LONG>(result));
        SetValue(path, L"Return", REG_DWORD, &value, sizeof value);
        std::wstring multi;
        for (const auto& record : records) multi += record + L'\0';
        multi += L'\0';
        SetValue(path, L"Records", REG_MULTI_SZ, multi.c_str(), static_cast<DWORD>(multi.size() * sizeof(wchar_t)));
    }

    bool HasDatabase(const std::wstring& instance, const std::wstring& name) const {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, DatabasePath(instance, name).c_str(), 0, KEY_READ | kView, &key) !=
            ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    // Every recorded call in order: "env version 2", "login timeout 15",
    // "connect <string>", "bind ?1 ...", "exec <sql>[ with ?1=<text>]",
    // "disconnect", "free stmt", "free dbc", "free env".
    std::vector<std::wstring> Seen() const {
        std::vector<std::wstring> entries;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kStateKey, 0, KEY_READ | kView, &key) != ERROR_SUCCESS) return entries;
        DWORD bytes = 0;
        if (RegQueryValueExW(key, L"Seen", nullptr, nullptr, nullptr, &bytes) == ERROR_SUCCESS) {
            std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 2, L'\0');
            RegQueryValueExW(key, L"Seen", nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &bytes);
            for (const wchar_t* p = data.data(); *p != L'\0'; p += wcslen(p) + 1) entries.emplace_back(p);
        }
        RegCloseKey(key);
        return entries;
    }

    // The recorded entries that begin with prefix, without it.
    std::vector<std::wstring> Seen(const std::wstring& prefix) const {
        std::vector<std::wstring> found;
        for (const auto& entry : Seen())
            if (entry.rfind(prefix, 0) == 0) found.push_back(entry.substr(prefix.size()));
        return found;
    }

    void ClearSeen() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kStateKey, 0, KEY_SET_VALUE | kView, &key) != ERROR_SUCCESS) return;
        RegDeleteValueW(key, L"Seen");
        RegCloseKey(key);
    }

private:
    static std::wstring InstancePath(const std::wstring& instance) {
        return std::wstring(kStateKey) + L"\\Instances\\" + instance;
    }
    static std::wstring DatabasePath(const std::wstring& instance, const std::wstring& name) {
        return InstancePath(instance) + L"\\Databases\\" + name;
    }

    static void Clear() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ORVLab", 0, KEY_ALL_ACCESS | kView, &key) != ERROR_SUCCESS)
            return;
        RegDeleteTreeW(key, L"SQLServerStandIn");
        RegCloseKey(key);
    }

    static void CreateKey(const std::wstring& path) {
        HKEY key = nullptr;
        const LONG status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | kView,
                                            nullptr, &key, nullptr);
        if (status != ERROR_SUCCESS) throw std::runtime_error("stand-in state: RegCreateKeyExW failed");
        RegCloseKey(key);
    }

    static void SetValue(const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        CreateKey(path);
        HKEY key = nullptr;
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE | kView, &key);
        const LONG status = RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) throw std::runtime_error("stand-in state: RegSetValueExW failed");
    }

    static void SetFlag(const std::wstring& path, const wchar_t* name) {
        const DWORD one = 1;
        SetValue(path, name, REG_DWORD, &one, sizeof one);
    }
};
