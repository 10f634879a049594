// The thin layer over the registry API, the search layer built on it, and
// the texts that name keys. The logged steps are in RegistrySteps.cpp.

#include "sysops/Registry.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "platform/Text.h"
#include "sysops/MountedHive.h"
#include "sysops/RegistryQuery.h"
#include "sysops/RegistrySearchIndex.h"

#include <algorithm>
#include <string_view>

using WindowsPlatform::InjectedFault;
using WindowsPlatform::UniqueRegistryKey;

namespace {

// The first count characters of text, cut at the first NUL among them.
std::wstring TextUpToNul(const wchar_t* text, size_t count) {
    const std::wstring_view view(text, count);
    return std::wstring(view.substr(0, view.find(L'\0')));
}

// Reads a string value of the expected type through a key opened for it.
std::wstring ReadTypedString(HKEY root, const std::wstring& path, const wchar_t* valueName, DWORD expectedType) {
    const UniqueRegistryKey key = OpenRegistryKey(root, path, KEY_READ);
    return QueryTypedString(key.Get(), valueName, expectedType);
}

std::wstring ExpandEnvironment(const std::wstring& text) {
    return TranscodeU8ToU16(ExpandEnvironmentText(TranscodeU16ToU8(text)));
}

// Subkeys s of the open parent whose key s\subPath (s itself when subPath
// is empty) holds a REG_SZ value valueName equal to expected (any text when
// expected is absent), read afresh. A failed enumeration ends the list.
std::vector<std::wstring> FreshSubkeySearch(HKEY parent, const std::wstring& subPath, const wchar_t* valueName,
                                            const std::optional<std::wstring>& expected, RegistryView view) {
    std::vector<std::wstring> found;
    try {
        SubkeyEnumerator subkeys(parent);
        std::wstring name;
        while (subkeys.Next(name)) {
            try {
                const UniqueRegistryKey key =
                    OpenSubkeyForReading(parent, subPath.empty() ? name : name + L"\\" + subPath, view);
                const std::wstring text = QueryTypedString(key.Get(), valueName, REG_SZ);
                if (!expected || text == *expected) found.push_back(name);
            } catch (...) {
                // Missing, empty, wrongly typed or unreadable: not a match.
            }
        }
    } catch (...) {
        // A failed enumeration ends the search.
    }
    return found;
}

std::vector<std::wstring> SearchSubkeys(HKEY root, const std::wstring& parentPath, const std::wstring& subPath,
                                        const wchar_t* valueName, const std::optional<std::wstring>& expected,
                                        RegistryView view) {
    if (auto indexed = IndexedSubkeySearch(root, parentPath, subPath, valueName, expected, view)) return *indexed;
    try {
        const UniqueRegistryKey parent = OpenRegistryKey(root, parentPath, KEY_READ, view);
        return FreshSubkeySearch(parent.Get(), subPath, valueName, expected, view);
    } catch (...) {
        return {};  // the parent does not open
    }
}

}  // namespace

UniqueRegistryKey OpenRegistryKey(HKEY root, const std::wstring& path, REGSAM access, RegistryView view) {
    UniqueRegistryKey key;
    ThrowIfError(RegOpenKeyExW(root, path.c_str(), 0, access | ViewFlag(view), key.Put()));
    return key;
}

bool EnumerateSubkey(HKEY key, DWORD index, SubkeyInfo& info) {
    DWORD maxNameLength = 0;
    DWORD maxClassLength = 0;
    ThrowIfError(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &maxNameLength, &maxClassLength, nullptr,
                                  nullptr, nullptr, nullptr, nullptr));
    // The lengths exclude the terminating NUL that RegEnumKeyExW writes.
    std::vector<wchar_t> name(maxNameLength + 1, L'\0');
    std::vector<wchar_t> className(maxClassLength + 1, L'\0');
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD classLength = static_cast<DWORD>(className.size());

    LONG status = static_cast<LONG>(InjectedFault("RegEnumKeyExW"));
    if (status == ERROR_SUCCESS)
        status = RegEnumKeyExW(key, index, name.data(), &nameLength, nullptr, className.data(), &classLength,
                               &info.lastWriteTime);
    if (status == ERROR_NO_MORE_ITEMS) return false;
    ThrowIfError(status);
    info.name = TextUpToNul(name.data(), std::min<size_t>(nameLength, name.size()));
    info.className = TextUpToNul(className.data(), std::min<size_t>(classLength, className.size()));
    return true;
}

std::wstring ReadStringValue(HKEY root, const std::wstring& path, const wchar_t* valueName) {
    return ReadTypedString(root, path, valueName, REG_SZ);
}

std::wstring ReadExpandStringValue(HKEY root, const std::wstring& path, const wchar_t* valueName) {
    return ReadTypedString(root, path, valueName, REG_EXPAND_SZ);
}

std::vector<std::wstring> EnumerateSubkeys(HKEY root, const std::wstring& path, RegistryView view) {
    std::vector<std::wstring> names;
    try {
        const UniqueRegistryKey key = OpenRegistryKey(root, path, KEY_READ, view);
        SubkeyEnumerator subkeys(key.Get());
        for (std::wstring name; subkeys.Next(name);) names.push_back(name);
    } catch (...) {
        // A failed open or enumeration ends the list.
    }
    return names;
}

std::optional<std::wstring> ReadOptionalStringValue(HKEY root, const std::wstring& path, const wchar_t* valueName) {
    try {
        const UniqueRegistryKey key = OpenRegistryKey(root, path, KEY_READ);
        RawStringValue value = QueryStringValue(key.Get(), valueName);
        // Zero bytes is an empty value, which counts as absent.
        if (value.bytes == 0) return std::nullopt;
        if (value.type == REG_SZ) return std::move(value.text);
        if (value.type == REG_EXPAND_SZ) return ExpandEnvironment(value.text);
    } catch (...) {
        // Anything unreadable counts as absent.
    }
    return std::nullopt;
}

std::vector<std::wstring> FindSubkeysByValue(HKEY root, const std::wstring& parentPath, const wchar_t* valueName,
                                             const std::wstring& expected, RegistryView view) {
    return SearchSubkeys(root, parentPath, std::wstring(), valueName, expected, view);
}

std::vector<std::wstring> FindSubkeysBySubkeyValue(HKEY root, const std::wstring& parentPath,
                                                   const std::wstring& subPath, const wchar_t* valueName,
                                                   const std::wstring& expected, RegistryView view) {
    return SearchSubkeys(root, parentPath, subPath, valueName, expected, view);
}

std::vector<std::wstring> FindSubkeysWithStringValue(HKEY root, const std::wstring& parentPath,
                                                     const wchar_t* valueName, RegistryView view) {
    return SearchSubkeys(root, parentPath, std::wstring(), valueName, std::nullopt, view);
}

bool Native64ViewExists() {
    if (InjectedFault("IsWow64Process") != 0) return false;
    // A process does not change its architecture: asked once.
    static const bool wow64 = [] {
        BOOL result = FALSE;
        return IsWow64Process(GetCurrentProcess(), &result) && result;
    }();
    return wow64;
}

std::wstring UserHivePath(const std::wstring& path) {
    const size_t end = path.find(L'\\');
    const auto profile = ProfileNameOfMount(path.substr(0, end));
    if (!profile) return path;
    return end == std::wstring::npos ? *profile : *profile + path.substr(end);
}

std::wstring KeyDisplayName(HKEY root, const std::wstring& path) {
    const wchar_t* prefix = L"(...)";
    if (root == HKEY_CLASSES_ROOT) prefix = L"HKCR";
    else if (root == HKEY_CURRENT_USER) prefix = L"HKCU";
    else if (root == HKEY_LOCAL_MACHINE) prefix = L"HKLM";
    else if (root == HKEY_USERS) prefix = L"HKU";
    else if (root == HKEY_CURRENT_CONFIG) prefix = L"HKCC";
    if (root == HKEY_USERS) return prefix + (L"\\" + UserHivePath(path));
    return prefix + (L"\\" + path);
}

std::wstring SecurityObjectName(HKEY root) {
    if (root == HKEY_CLASSES_ROOT) return L"CLASSES_ROOT";
    if (root == HKEY_CURRENT_USER) return L"CURRENT_USER";
    if (root == HKEY_LOCAL_MACHINE) return L"MACHINE";
    if (root == HKEY_USERS) return L"USERS";
    throw ExceptionPL("Unknown HKEY rootKey type");
}
