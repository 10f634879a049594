#include "LowerBound.h"

#include "BenchKey.h"
#include "Places.h"

#include <string>
#include <vector>

namespace Bench {
namespace {

const std::wstring kNobody = L"Orvalis Enterprise Nobody";

// Reads one string value of an open key into a reused buffer.
void ReadOne(HKEY key, const wchar_t* name, std::vector<wchar_t>& buffer, ScanCount& count) {
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    LONG status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    if (status == ERROR_MORE_DATA) {
        buffer.resize(bytes / sizeof(wchar_t) + 1);
        bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    }
    if (status != ERROR_SUCCESS) return;
    ++count.values;
    if (type == REG_SZ && std::wstring(buffer.data(), bytes / sizeof(wchar_t)).c_str() == kNobody) ++count.matches;
}

// Enumerates the place once; opens subkey\subPath of each subkey and reads
// the values.
void Scan(const wchar_t* place, const wchar_t* subPath, std::initializer_list<const wchar_t*> values,
          ScanCount& count, REGSAM view = KEY_WOW64_32KEY) {
    const BenchKey parent = BenchKey::Open(HKEY_LOCAL_MACHINE, place, view);
    if (!parent) return;
    DWORD longest = 0;
    RegQueryInfoKeyW(parent.Get(), nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr);
    std::vector<wchar_t> name(longest + 1);
    std::vector<wchar_t> buffer(256);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(parent.Get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        ++count.keys;
        std::wstring path(name.data(), length);
        if (subPath != nullptr) path += std::wstring(L"\\") + subPath;
        HKEY key = nullptr;
        if (RegOpenKeyExW(parent.Get(), path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) continue;
        for (const wchar_t* value : values) ReadOne(key, value, buffer, count);
        RegCloseKey(key);
    }
}

}  // namespace

ScanCount LowerBoundScan() {
    ScanCount count;
    Scan(kUninstall, nullptr, {L"DisplayName"}, count);
    Scan(kProducts, nullptr, {L"ProductName", L"RemovedProductName"}, count);
    Scan(kUserData, L"InstallProperties", {L"DisplayName"}, count, KEY_WOW64_64KEY);
    return count;
}

}  // namespace Bench
