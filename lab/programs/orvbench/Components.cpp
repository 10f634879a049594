#include "Components.h"

#include "LabError.h"
#include "log/Log.h"
#include "sysops/InstallerRecords.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace Bench {
namespace {

constexpr REGSAM kView = KEY_WOW64_64KEY;
constexpr wchar_t kComponents[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components";
// Every 1,000th component key also holds the target's value; every 5,000th
// (offset by 500) holds only the target's, so its key goes whole.
constexpr unsigned kSharedEvery = 1000;
constexpr unsigned kAloneEvery = 5000;

std::wstring Hex(const wchar_t* lead, unsigned i) {
    wchar_t text[40];
    std::swprintf(text, 40, L"%ls%024X", lead, i);
    return text;
}

std::wstring ComponentKey(unsigned i) { return Hex(L"C0C0E07B", i); }
std::wstring ProductKey(unsigned i) { return Hex(L"C4EB0E7B", i % 5000); }
const std::wstring kTarget = Hex(L"F4EB0E7B", 1);

void Check(LONG status, const wchar_t* call, const std::wstring& what) {
    if (status != ERROR_SUCCESS)
        throw Lab::Error(std::wstring(call) + L" failed with " + std::to_wstring(status) + L" for " + what);
}

class Key {
public:
    Key() = default;
    explicit Key(HKEY key) : key_(key) {}
    Key(Key&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

Key Create(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    Check(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr, &key, nullptr),
          L"RegCreateKeyExW", path);
    return Key(key);
}

void SetText(HKEY key, const std::wstring& name, const std::wstring& text) {
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    Check(RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes),
          L"RegSetValueExW", name);
}

bool Alone(unsigned i) { return i % kAloneEvery == 500; }
bool Shared(unsigned i) { return i % kSharedEvery == 0; }

void PlantTarget(HKEY parent, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
        if (!Alone(i) && !Shared(i)) continue;
        const Key key = Create(parent, ComponentKey(i));
        SetText(key.Get(), kTarget, L"C:\\Program Files\\Bench Target\\file" + std::to_wstring(i) + L".dll");
    }
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// One enumeration: every component key listed and opened, its value names
// listed; the least any cleaning must read.
ComponentTimes Enumerate() {
    ComponentTimes counts;
    HKEY opened = nullptr;
    Check(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kComponents, 0, KEY_READ | kView, &opened), L"RegOpenKeyExW",
          kComponents);
    const Key parent(opened);
    DWORD longest = 0;
    RegQueryInfoKeyW(parent.Get(), nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr);
    std::vector<wchar_t> name(longest + 1);
    std::vector<wchar_t> value(64);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(parent.Get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        ++counts.keys;
        HKEY sub = nullptr;
        if (RegOpenKeyExW(parent.Get(), name.data(), 0, KEY_QUERY_VALUE | kView, &sub) != ERROR_SUCCESS) continue;
        const Key component(sub);
        for (DWORD v = 0;; ++v) {
            DWORD valueLength = static_cast<DWORD>(value.size());
            const LONG status =
                RegEnumValueW(component.Get(), v, value.data(), &valueLength, nullptr, nullptr, nullptr, nullptr);
            if (status == ERROR_NO_MORE_ITEMS) break;
            ++counts.values;
            if (status == ERROR_SUCCESS && std::wstring(value.data(), valueLength) == kTarget) ++counts.targetValues;
        }
    }
    return counts;
}

}  // namespace

void PlantComponents(unsigned count) {
    const Key parent = Create(HKEY_LOCAL_MACHINE, kComponents);
    for (unsigned i = 0; i < count; ++i) {
        const Key key = Create(parent.Get(), ComponentKey(i));
        if (!Alone(i))
            SetText(key.Get(), ProductKey(i), L"C:\\Program Files\\Bench Vendor\\file" + std::to_wstring(i) + L".dll");
    }
    PlantTarget(parent.Get(), count);
}

void RemoveComponents() {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kComponents, 0, KEY_ALL_ACCESS | kView, &opened) != ERROR_SUCCESS) return;
    const Key parent(opened);
    const std::wstring lead = ComponentKey(0).substr(0, 8);
    std::vector<std::wstring> doomed;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(parent.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (std::wstring(name, length).compare(0, lead.size(), lead) == 0) doomed.emplace_back(name, length);
    }
    for (const std::wstring& key : doomed) Check(RegDeleteKeyExW(parent.Get(), key.c_str(), kView, 0), L"RegDeleteKeyExW", key);
}

ComponentTimes TimeComponentCleaning(unsigned reps) {
    ComponentTimes result = Enumerate();
    const unsigned count = result.keys;
    std::vector<double> enumerations;
    std::vector<double> cleanings;
    for (unsigned r = 0; r < reps; ++r) {
        {
            const Key parent = Create(HKEY_LOCAL_MACHINE, kComponents);
            PlantTarget(parent.Get(), count);
        }
        Enumerate();  // unmeasured: both sides then read what was just written
        LARGE_INTEGER a, b, c;
        QueryPerformanceCounter(&a);
        const ComponentTimes seen = Enumerate();
        QueryPerformanceCounter(&b);
        Remove::Log discarded;
        if (!RemoveComponentRegistrations({kTarget}, discarded)) throw Lab::Error(L"the cleaning failed");
        QueryPerformanceCounter(&c);
        if (seen.targetValues == 0) throw Lab::Error(L"no target values were planted");
        result.targetValues = seen.targetValues;
        enumerations.push_back(Seconds(a, b));
        cleanings.push_back(Seconds(b, c));
    }
    // Cleaned: no target value is left.
    if (Enumerate().targetValues != 0) throw Lab::Error(L"the cleaning left target values");
    result.enumeration = Median(enumerations);
    result.cleaning = Median(cleanings);
    result.fastestEnumeration = *std::min_element(enumerations.begin(), enumerations.end());
    result.fastestCleaning = *std::min_element(cleanings.begin(), cleanings.end());
    return result;
}

}  // namespace Bench
