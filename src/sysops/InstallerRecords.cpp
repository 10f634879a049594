#include "sysops/InstallerRecords.h"

#include "sysops/Registry.h"

#include <vector>

const wchar_t kInstallerProductsKeyPath[] = L"SOFTWARE\\Classes\\Installer\\Products";
const wchar_t kInstallerFeaturesKeyPath[] = L"SOFTWARE\\Classes\\Installer\\Features";
const wchar_t kInstallerUpgradeCodesKeyPath[] = L"SOFTWARE\\Classes\\Installer\\UpgradeCodes";
const wchar_t kInstallerUserDataProductsKeyPath[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products";

namespace {

using Names = std::vector<std::wstring>;

void Append(Names& to, const Names& from) { to.insert(to.end(), from.begin(), from.end()); }

std::wstring Child(const wchar_t* parent, const std::wstring& name) { return parent + (L"\\" + name); }

// Product keys whose ProductName, then whose RemovedProductName, is the name.
Names FindProductKeys(const std::wstring& name) {
    Names keys = FindSubkeysByValue(HKEY_LOCAL_MACHINE, kInstallerProductsKeyPath, L"ProductName", name);
    Append(keys, FindSubkeysByValue(HKEY_LOCAL_MACHINE, kInstallerProductsKeyPath, L"RemovedProductName", name));
    return keys;
}

Names FindInstallProperties(const std::wstring& name) {
    return FindSubkeysBySubkeyValue(HKEY_LOCAL_MACHINE, kInstallerUserDataProductsKeyPath, L"InstallProperties",
                                    L"DisplayName", name);
}

// Deletes the product's Products, Features and upgrade-code keys; true when
// every deletion succeeded.
bool RemoveProductKey(const std::wstring& productKey, Remove::Log& log) {
    bool ok = DeleteRegistryKey(HKEY_LOCAL_MACHINE, Child(kInstallerProductsKeyPath, productKey), log);
    const std::wstring features = Child(kInstallerFeaturesKeyPath, productKey);
    if (RegistryKeyExists(HKEY_LOCAL_MACHINE, features, log))
        ok = DeleteRegistryKey(HKEY_LOCAL_MACHINE, features, log) && ok;
    // The upgrade-code keys that hold a readable REG_SZ value named after the
    // product key, looked up afresh for every product key.
    for (const std::wstring& code :
         FindSubkeysWithStringValue(HKEY_LOCAL_MACHINE, kInstallerUpgradeCodesKeyPath, productKey.c_str()))
        ok = DeleteRegistryKey(HKEY_LOCAL_MACHINE, Child(kInstallerUpgradeCodesKeyPath, code), log) && ok;
    return ok;
}

}  // namespace

bool FindInstallerProduct(const std::wstring& name, Remove::Log& log) {
    log.Write(L"Looking for product \"" + name + L"\" in \"" + kInstallerProductsKeyPath + L"\"...");
    Names keys = FindSubkeysByValue(HKEY_LOCAL_MACHINE, kInstallerProductsKeyPath, L"ProductName", name);
    log.Write(L"Looking for removed product \"" + name + L"\" in \"" + kInstallerProductsKeyPath + L"\"...");
    Append(keys, FindSubkeysByValue(HKEY_LOCAL_MACHINE, kInstallerProductsKeyPath, L"RemovedProductName", name));
    log.Write(L"Looking for \"" + name + L"\" installer properties in \"" + kInstallerUserDataProductsKeyPath +
              L"\"...");
    Append(keys, FindInstallProperties(name));

    if (keys.empty()) log.Write(L"not found");
    for (const std::wstring& key : keys) {
        log.EndLine();
        log.Write(L"...found key \"" + key + L"\"");
    }
    log.EndLine();
    return !keys.empty();
}

bool RemoveInstallerRecords(const std::wstring& name, Remove::Log& log) {
    bool ok = true;
    for (const std::wstring& productKey : FindProductKeys(name)) ok = RemoveProductKey(productKey, log) && ok;

    for (const std::wstring& key : FindInstallProperties(name)) {
        const std::wstring path = Child(kInstallerUserDataProductsKeyPath, key);
        if (!DeleteRegistryKey(HKEY_LOCAL_MACHINE, path, log)) {
            ok = false;
            log.Write(L"Failed to delete " + path);
            log.EndLine();
        }
    }
    return ok;
}
