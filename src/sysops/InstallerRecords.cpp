#include "sysops/InstallerRecords.h"

#include "sysops/RegistryExport.h"
#include "sysops/RegistryQuery.h"
#include "sysops/RegistrySearchIndex.h"
#include "sysops/UserInstallerRecords.h"

#include <algorithm>
#include <vector>

using WindowsPlatform::UniqueRegistryKey;

const wchar_t kInstallerProductsKeyPath[] = L"SOFTWARE\\Classes\\Installer\\Products";
const wchar_t kInstallerFeaturesKeyPath[] = L"SOFTWARE\\Classes\\Installer\\Features";
const wchar_t kInstallerUpgradeCodesKeyPath[] = L"SOFTWARE\\Classes\\Installer\\UpgradeCodes";
const wchar_t kInstallerUserDataProductsKeyPath[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products";
const wchar_t kInstallerUserDataKeyPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData";

namespace {

using Names = std::vector<std::wstring>;

void Append(Names& to, const Names& from) { to.insert(to.end(), from.begin(), from.end()); }

std::wstring Child(const wchar_t* parent, const std::wstring& name) { return parent + (L"\\" + name); }
std::wstring Child(const std::wstring& parent, const std::wstring& name) { return parent + L"\\" + name; }

bool SameName(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                                        static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool Contains(const Names& names, const std::wstring& name) {
    return std::any_of(names.begin(), names.end(), [&](const std::wstring& n) { return SameName(n, name); });
}

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

// The product keys that a removal deleted records of, and those of which a
// record stayed; only the first minus the second have their component
// registrations cleaned.
struct DeletedKeys {
    Names deleted;
    Names kept;

    void Note(const std::wstring& key, bool ok) {
        Names& list = ok ? deleted : kept;
        if (!Contains(list, key)) list.push_back(key);
    }
    Names Clean() const {
        Names clean;
        for (const std::wstring& key : deleted)
            if (!Contains(kept, key)) clean.push_back(key);
        return clean;
    }
};

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

std::wstring ProductsPath(const InstallerRecordPlace& place) { return Child(place.base, L"Products"); }

// The records of the name in a place other than the classic ones, deleted with
// no line of their own but the deletions'.
bool RemoveRecordsIn(const InstallerRecordPlace& place, const std::wstring& name, Remove::Log& log, DeletedKeys& keys) {
    bool ok = true;
    for (const std::wstring& productKey : FindInstallerRecordsIn(place, name)) {
        const std::wstring path = Child(ProductsPath(place), productKey);
        bool deleted = DeleteRegistryKey(place.root, path, log, place.view);
        if (place.kind == InstallerRecordKind::Registration) {
            // A key that is not there counts as deleted and writes nothing.
            deleted =
                DeleteRegistryKey(place.root, Child(Child(place.base, L"Features"), productKey), log, place.view) &&
                deleted;
            const std::wstring codes = Child(place.base, L"UpgradeCodes");
            for (const std::wstring& code :
                 FindSubkeysWithStringValue(place.root, codes, productKey.c_str(), place.view))
                deleted = DeleteRegistryKey(place.root, Child(codes, code), log, place.view) && deleted;
        } else if (!deleted) {
            log.Write(L"Failed to delete " + KeyPlaceName(place.root, path, place.view));
            log.EndLine();
        }
        keys.Note(productKey, deleted);
        ok = deleted && ok;
    }
    return ok;
}

// One component registration that names some of the product keys.
struct ComponentMatch {
    std::wstring component;
    Names values;  // the product keys' values, named as stored
    bool whole;    // no other value: the key goes
};

// Reads every component key of root\path once: its value names, compared
// with the product keys. A failed open or enumeration ends the list early.
std::vector<ComponentMatch> FindComponentMatches(HKEY root, const std::wstring& path, const Names& productKeys,
                                                 RegistryView view) {
    std::vector<ComponentMatch> matches;
    size_t longest = 0;
    for (const std::wstring& key : productKeys) longest = std::max(longest, key.size());
    // A value whose name does not fit is longer than every product key.
    std::vector<wchar_t> buffer(longest + 2, L'\0');
    try {
        const UniqueRegistryKey parent = OpenRegistryKey(root, path, KEY_READ, view);
        SubkeyEnumerator subkeys(parent.Get());
        for (std::wstring component; subkeys.Next(component);) {
            UniqueRegistryKey key;
            if (RegOpenKeyExW(parent.Get(), component.c_str(), 0, KEY_QUERY_VALUE | ViewFlag(view), key.Put()) !=
                ERROR_SUCCESS)
                continue;
            ComponentMatch match{component, {}, true};
            for (DWORD index = 0;; ++index) {
                DWORD length = static_cast<DWORD>(buffer.size());
                const LONG status =
                    RegEnumValueW(key.Get(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
                if (status == ERROR_NO_MORE_ITEMS) break;
                if (status == ERROR_SUCCESS) {
                    std::wstring value(buffer.data(), std::min<size_t>(length, buffer.size()));
                    if (Contains(productKeys, value)) {
                        match.values.push_back(std::move(value));
                        continue;
                    }
                } else if (status != ERROR_MORE_DATA) {
                    match.whole = false;  // the rest cannot be read: the key stays
                    break;
                }
                match.whole = false;  // another product's value
            }
            if (!match.values.empty()) matches.push_back(std::move(match));
        }
    } catch (...) {
        // The component keys so far.
    }
    return matches;
}

bool CleanComponents(HKEY root, const std::wstring& path, const Names& productKeys, RegistryView view,
                     Remove::Log& log) {
    bool ok = true;
    for (const ComponentMatch& match : FindComponentMatches(root, path, productKeys, view)) {
        const std::wstring component = Child(path, match.component);
        if (match.whole) {
            ok = DeleteRegistryKey(root, component, log, view) && ok;
            continue;
        }
        for (const std::wstring& value : match.values)
            ok = DeleteRegistryValue(root, component, value, log, view) && ok;
    }
    return ok;
}

// The SIDs under UserData in the view, from the search index when it can
// tell them (detection asks for them again and again).
Names UserDataSids(RegistryView view) {
    if (auto indexed = IndexedSubkeyNames(HKEY_LOCAL_MACHINE, kInstallerUserDataKeyPath, view)) return *indexed;
    return EnumerateSubkeys(HKEY_LOCAL_MACHINE, kInstallerUserDataKeyPath, view);
}

std::vector<RegistryView> ComponentViews() {
    if (Native64ViewExists()) return {RegistryView::Native64, RegistryView::Program};
    return {RegistryView::Program};
}

}  // namespace

std::vector<InstallerRecordPlace> Native64UserDataPlaces() {
    std::vector<InstallerRecordPlace> places;
    if (!Native64ViewExists()) return places;
    for (const std::wstring& sid : UserDataSids(RegistryView::Native64))
        places.push_back({InstallerRecordKind::UserData, HKEY_LOCAL_MACHINE, Child(kInstallerUserDataKeyPath, sid),
                          RegistryView::Native64});
    return places;
}

std::vector<std::wstring> FindInstallerRecordsIn(const InstallerRecordPlace& place, const std::wstring& name) {
    const std::wstring products = ProductsPath(place);
    if (place.kind == InstallerRecordKind::UserData)
        return FindSubkeysBySubkeyValue(place.root, products, L"InstallProperties", L"DisplayName", name, place.view);
    Names keys = FindSubkeysByValue(place.root, products, L"ProductName", name, place.view);
    Append(keys, FindSubkeysByValue(place.root, products, L"RemovedProductName", name, place.view));
    return keys;
}

bool FindInstallerProductIn(const InstallerRecordPlace& place, const std::wstring& name, Remove::Log& log) {
    const Names keys = FindInstallerRecordsIn(place, name);
    if (keys.empty()) return false;
    const std::wstring products = KeyPlaceName(place.root, ProductsPath(place), place.view);
    if (place.kind == InstallerRecordKind::UserData)
        log.Write(L"Looking for \"" + name + L"\" installer properties in \"" + products + L"\"...");
    else
        log.Write(L"Looking for product \"" + name + L"\" in \"" + products + L"\"...");
    for (const std::wstring& key : keys) {
        log.EndLine();
        log.Write(L"...found key \"" + key + L"\"");
    }
    log.EndLine();
    return true;
}

bool RemoveInstallerRecordsIn(const InstallerRecordPlace& place, const std::wstring& name, Remove::Log& log) {
    DeletedKeys keys;
    bool ok = RemoveRecordsIn(place, name, log, keys);
    return RemoveComponentRegistrations(keys.Clean(), log) && ok;
}

bool RemoveComponentRegistrations(const std::vector<std::wstring>& productKeys, Remove::Log& log) {
    if (productKeys.empty()) return true;
    bool ok = true;
    for (const RegistryView view : ComponentViews()) {
        for (const std::wstring& sid : UserDataSids(view)) {
            const std::wstring components = Child(Child(kInstallerUserDataKeyPath, sid), L"Components");
            ok = CleanComponents(HKEY_LOCAL_MACHINE, components, productKeys, view, log) && ok;
        }
    }
    return ok;
}

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

    bool found = !keys.empty();
    for (const InstallerRecordPlace& place : Native64UserDataPlaces())
        if (FindInstallerProductIn(place, name, log)) found = true;
    VisitUserInstallerRecords(name, [&](const InstallerRecordPlace& place) {
        if (FindInstallerProductIn(place, name, log)) found = true;
    }, log);
    return found;
}

bool RemoveInstallerRecords(const std::wstring& name, Remove::Log& log) {
    bool ok = true;
    DeletedKeys keys;
    for (const std::wstring& productKey : FindProductKeys(name)) {
        const bool removed = RemoveProductKey(productKey, log);
        keys.Note(productKey, removed);
        ok = removed && ok;
    }

    for (const std::wstring& key : FindInstallProperties(name)) {
        const std::wstring path = Child(kInstallerUserDataProductsKeyPath, key);
        const bool removed = DeleteRegistryKey(HKEY_LOCAL_MACHINE, path, log);
        keys.Note(key, removed);
        if (!removed) {
            ok = false;
            log.Write(L"Failed to delete " + path);
            log.EndLine();
        }
    }

    for (const InstallerRecordPlace& place : Native64UserDataPlaces())
        ok = RemoveRecordsIn(place, name, log, keys) && ok;
    const bool visited = VisitUserInstallerRecords(name, [&](const InstallerRecordPlace& place) {
        ok = RemoveRecordsIn(place, name, log, keys) && ok;
    }, log);
    ok = visited && ok;
    return RemoveComponentRegistrations(keys.Clean(), log) && ok;
}
