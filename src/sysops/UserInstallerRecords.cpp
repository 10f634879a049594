#include "sysops/UserInstallerRecords.h"

#include "sysops/ProfilePasses.h"
#include "sysops/RegistryQuery.h"

using WindowsPlatform::UniqueRegistryKey;

const wchar_t kUserInstallerKeyPath[] = L"Software\\Microsoft\\Installer";

namespace {

void AddStringValue(HKEY key, const wchar_t* valueName, std::vector<std::wstring>& names) {
    try {
        const RawStringValue value = QueryStringValue(key, valueName);
        if (value.type == REG_SZ && value.bytes != 0) names.push_back(value.text);
    } catch (...) {
        // No such value, or one that cannot be read: no name.
    }
}

}  // namespace

InstallerRecordPlace UserInstallerPlace(HKEY root, const std::wstring& hive) {
    const std::wstring base = hive.empty() ? kUserInstallerKeyPath : hive + L"\\" + kUserInstallerKeyPath;
    return {InstallerRecordKind::Registration, root, base, RegistryView::Program};
}

std::vector<std::wstring> UserInstallerProductNames(const std::wstring& hive) {
    std::vector<std::wstring> names;
    try {
        const UniqueRegistryKey products =
            OpenRegistryKey(HKEY_USERS, UserInstallerPlace(HKEY_USERS, hive).base + L"\\Products", KEY_READ);
        SubkeyEnumerator subkeys(products.Get());
        for (std::wstring productKey; subkeys.Next(productKey);) {
            UniqueRegistryKey product;
            if (RegOpenKeyExW(products.Get(), productKey.c_str(), 0, KEY_QUERY_VALUE, product.Put()) != ERROR_SUCCESS)
                continue;
            AddStringValue(product.Get(), L"ProductName", names);
            AddStringValue(product.Get(), L"RemovedProductName", names);
        }
    } catch (...) {
        // No Products key (most hives), or the names read so far.
    }
    return names;
}

bool VisitUserInstallerRecords(const std::wstring& name, const std::function<void(const InstallerRecordPlace&)>& step,
                               Remove::Log& log) {
    step(UserInstallerPlace(HKEY_CURRENT_USER, std::wstring()));
    ProfileTargets targets;
    targets.installerProducts = {name};
    return VisitOtherProfiles(targets, [&](const ProfileVisit& visit) {
        if (!visit.hive.empty()) step(UserInstallerPlace(HKEY_USERS, visit.hive));
    }, log);
}
