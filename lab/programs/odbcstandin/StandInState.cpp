#include "StandInState.h"

#include <cwchar>
#include <initializer_list>

namespace StandIn {

namespace {

const wchar_t kStateKey[] = L"SOFTWARE\\ORVLab\\SQLServerStandIn";
constexpr REGSAM kView = KEY_WOW64_64KEY;

class Key {
public:
    Key(const std::wstring& path, REGSAM access) {
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, access | kView, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~Key() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY Get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

private:
    HKEY key_ = nullptr;
};

std::vector<std::wstring> ReadMultiString(HKEY key, const wchar_t* name) {
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_MULTI_SZ)
        return {};
    std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 2, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes) != ERROR_SUCCESS)
        return {};
    std::vector<std::wstring> strings;
    for (const wchar_t* p = data.data(); *p != L'\0'; p += wcslen(p) + 1) strings.emplace_back(p);
    return strings;
}

bool ReadFlag(const std::wstring& path, const wchar_t* name) {
    const Key key(path, KEY_READ);
    DWORD value = 0;
    DWORD bytes = sizeof value;
    DWORD type = 0;
    return key && RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) == ERROR_SUCCESS &&
           type == REG_DWORD && value != 0;
}

std::wstring InstancePath(const std::wstring& instance) {
    return std::wstring(kStateKey) + L"\\Instances\\" + instance;
}

std::wstring DatabasePath(const std::wstring& instance, const std::wstring& name) {
    return InstancePath(instance) + L"\\Databases\\" + name;
}

// Names that cannot be a key of their own are no database.
bool UsableName(const std::wstring& name) { return !name.empty() && name.find(L'\\') == std::wstring::npos; }

std::optional<VersionRow> ReadVersionRow(HKEY key) {
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, L"Version", nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return std::nullopt;
    if (type == REG_NONE) return VersionRow{true, {}};
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
    RegQueryValueExW(key, L"Version", nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes);
    return VersionRow{false, text.data()};
}

}  // namespace

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size, nullptr, nullptr);
    return narrow;
}

void RecordSeen(const std::wstring& entry) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kStateKey, 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    std::wstring data;
    for (const std::wstring& seen : ReadMultiString(key, L"Seen")) data += seen + L'\0';
    data += entry + L'\0';
    data += L'\0';
    RegSetValueExW(key, L"Seen", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size() * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::optional<PlantedFailure> PlantedFailureFor(const std::wstring& step) {
    if (!UsableName(step)) return std::nullopt;
    const Key key(std::wstring(kStateKey) + L"\\Failures\\" + step, KEY_READ);
    if (!key) return std::nullopt;
    PlantedFailure failure;
    DWORD value = 0;
    DWORD bytes = sizeof value;
    if (RegQueryValueExW(key.Get(), L"Return", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &bytes) == ERROR_SUCCESS)
        failure.result = static_cast<short>(static_cast<long>(value));
    for (const std::wstring& line : ReadMultiString(key.Get(), L"Records")) {
        const size_t first = line.find(L'|');
        const size_t second = first == std::wstring::npos ? first : line.find(L'|', first + 1);
        if (second == std::wstring::npos) continue;
        failure.records.push_back({Narrow(line.substr(0, first)), std::wcstol(line.substr(first + 1, second - first - 1).c_str(), nullptr, 10),
                                   Narrow(line.substr(second + 1))});
    }
    return failure;
}

bool InstanceRunning(const std::wstring& instance) {
    const std::wstring serviceName = instance == L"MSSQLSERVER" ? instance : L"MSSQL$" + instance;
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (manager == nullptr) return false;
    bool running = false;
    if (SC_HANDLE service = OpenServiceW(manager, serviceName.c_str(), SERVICE_QUERY_STATUS)) {
        SERVICE_STATUS status{};
        running = QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_RUNNING;
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return running;
}

bool LoginFails(const std::wstring& instance) { return ReadFlag(InstancePath(instance), L"LoginFails"); }

bool NativeClientRegistered() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ODBC\\ODBCINST.INI\\SQL Server Native Client 11.0", 0,
                      KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
        return false;
    const LONG status = RegQueryValueExW(key, L"Driver", nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool IsSystemDatabase(const std::wstring& name) {
    for (const wchar_t* system : {L"master", L"tempdb", L"model", L"msdb"})
        if (_wcsicmp(name.c_str(), system) == 0) return true;
    return false;
}

std::optional<Database> FindDatabase(const std::wstring& instance, const std::wstring& name) {
    if (IsSystemDatabase(name)) return Database{};
    if (!UsableName(name)) return std::nullopt;
    const Key key(DatabasePath(instance, name), KEY_READ);
    if (!key) return std::nullopt;
    Database database;
    database.dropFails = ReadFlag(DatabasePath(instance, name), L"DropFails");
    database.versionRow = ReadVersionRow(key.Get());
    return database;
}

void DeleteDatabase(const std::wstring& instance, const std::wstring& name) {
    if (!UsableName(name)) return;
    const Key databases(InstancePath(instance) + L"\\Databases", KEY_ALL_ACCESS);
    if (databases) {
        RegDeleteTreeW(databases.Get(), name.c_str());
        RegDeleteKeyExW(databases.Get(), name.c_str(), kView, 0);
    }
}

}  // namespace StandIn
