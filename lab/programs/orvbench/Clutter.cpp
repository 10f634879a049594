#include "Clutter.h"

#include "BenchKey.h"
#include "InstallerRecords.h"
#include "LabError.h"
#include "Places.h"

#include <cwchar>
#include <vector>

namespace Bench {
namespace {

std::wstring Code(const wchar_t* lead, unsigned i) {
    wchar_t text[64];
    std::swprintf(text, 64, L"{%ls-0000-4000-8000-%012X}", lead, i);
    return text;
}

std::wstring UpgradeCode(unsigned i) { return Code(L"B7E0BE4D", i); }

// The packed codes of all bench products share their first 20 digits.
std::wstring PackedPrefix(const std::wstring& code) { return Lab::PackedCode(code).substr(0, 20); }

void PlantUninstallEntry(unsigned i, const std::wstring& name, const std::wstring& code) {
    const BenchKey entry = BenchKey::Create(HKEY_LOCAL_MACHINE, std::wstring(kUninstall) + L"\\" + code);
    const std::wstring folder = L"C:\\Program Files (x86)\\Bench Vendor\\" + name + L"\\";
    entry.SetText(L"DisplayName", name);
    entry.SetText(L"DisplayVersion", L"1.0." + std::to_wstring(i));
    entry.SetText(L"Publisher", L"Bench Vendor");
    entry.SetText(L"InstallLocation", folder);
    entry.SetText(L"InstallSource", L"C:\\Setups\\Bench\\");
    entry.SetText(L"InstallDate", L"20240115");
    entry.SetText(L"UninstallString", L"MsiExec.exe /X" + code, REG_EXPAND_SZ);
    entry.SetText(L"ModifyPath", L"MsiExec.exe /I" + code, REG_EXPAND_SZ);
    entry.SetNumber(L"EstimatedSize", 20480 + i);
    entry.SetNumber(L"Language", 1033);
    entry.SetNumber(L"WindowsInstaller", 1);
    entry.SetNumber(L"NoModify", 1);
}

void PlantInstallerRecords(unsigned i, const std::wstring& name, const std::wstring& code) {
    const std::wstring packed = Lab::PackedCode(code);
    const BenchKey product = BenchKey::Create(HKEY_LOCAL_MACHINE, std::wstring(kProducts) + L"\\" + packed);
    product.SetText(L"ProductName", name);
    product.SetText(L"PackageCode", Lab::PackedCode(Code(L"B7E0BE4E", i)));
    product.SetNumber(L"Language", 1033);
    product.SetNumber(L"Version", 0x01000000 + i);
    product.SetNumber(L"Assignment", 1);
    product.SetNumber(L"AdvertiseFlags", 388);
    product.SetText(L"Clients", L":", REG_MULTI_SZ);
    const BenchKey sources = product.CreateSub(L"SourceList");
    sources.SetText(L"PackageName", L"bench" + std::to_wstring(i) + L".msi");
    sources.SetText(L"LastUsedSource", L"n;1;C:\\Setups\\Bench\\", REG_EXPAND_SZ);
    sources.CreateSub(L"Net").SetText(L"1", L"C:\\Setups\\Bench\\", REG_EXPAND_SZ);
    sources.CreateSub(L"Media").SetText(L"1", L";");

    BenchKey::Create(HKEY_LOCAL_MACHINE, std::wstring(kFeatures) + L"\\" + packed).SetText(L"Complete", L"");
    BenchKey::Create(HKEY_LOCAL_MACHINE, std::wstring(kUpgradeCodes) + L"\\" + Lab::PackedCode(UpgradeCode(i)))
        .SetText(packed.c_str(), L"");

    // UserData where Windows Installer keeps it on 64-bit Windows.
    const BenchKey data =
        BenchKey::Create(HKEY_LOCAL_MACHINE, std::wstring(kUserData) + L"\\" + packed, KEY_WOW64_64KEY);
    const BenchKey properties = data.CreateSub(L"InstallProperties");
    properties.SetText(L"DisplayName", name);
    properties.SetText(L"DisplayVersion", L"1.0." + std::to_wstring(i));
    properties.SetText(L"Publisher", L"Bench Vendor");
    properties.SetText(L"LocalPackage", L"C:\\windows\\Installer\\bench" + std::to_wstring(i) + L".msi");
    properties.SetText(L"UninstallString", L"MsiExec.exe /X" + code, REG_EXPAND_SZ);
    data.CreateSub(L"Features").SetText(L"Complete", L"");
}

// Deletes the subkeys of the place whose names begin with prefix.
void RemoveFrom(const wchar_t* place, const std::wstring& prefix, REGSAM view = KEY_WOW64_32KEY) {
    const BenchKey parent = BenchKey::Open(HKEY_LOCAL_MACHINE, place, view);
    if (!parent) return;
    std::vector<std::wstring> doomed;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(parent.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (std::wstring(name, length).compare(0, prefix.size(), prefix) == 0) doomed.emplace_back(name, length);
    }
    for (const std::wstring& key : doomed) {
        // Every open names the view again: a relative open without it may
        // land in the other view.
        HKEY sub = nullptr;
        LONG status = RegOpenKeyExW(parent.Get(), key.c_str(), 0, KEY_ALL_ACCESS | view, &sub);
        if (status == ERROR_SUCCESS) {
            status = RegDeleteTreeW(sub, nullptr);
            RegCloseKey(sub);
        }
        if (status == ERROR_SUCCESS) status = RegDeleteKeyExW(parent.Get(), key.c_str(), view, 0);
        if (status != ERROR_SUCCESS)
            throw Lab::Error(L"RegDeleteTreeW failed with " + std::to_wstring(status) + L" for " + key);
    }
}

}  // namespace

std::wstring ClutterProductCode(unsigned i) { return Code(L"B7E0BE4C", i); }

void PlantClutter(unsigned first, unsigned last) {
    for (unsigned i = first; i < last; ++i) {
        const std::wstring name = L"Bench Product " + std::to_wstring(i);
        const std::wstring code = ClutterProductCode(i);
        PlantUninstallEntry(i, name, code);
        PlantInstallerRecords(i, name, code);
    }
}

void RemoveClutter() {
    const std::wstring product = PackedPrefix(ClutterProductCode(0));
    RemoveFrom(kUninstall, L"{B7E0BE4C-");
    RemoveFrom(kProducts, product);
    RemoveFrom(kFeatures, product);
    RemoveFrom(kUpgradeCodes, PackedPrefix(UpgradeCode(0)));
    RemoveFrom(kUserData, product);
    RemoveFrom(kUserData, product, KEY_WOW64_64KEY);
}

}  // namespace Bench
