// The thin layer over the registry API, the search layer built on it, and
// the texts that name keys. The logged steps are in RegistrySteps.cpp.

#include "sysops/Registry.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "platform/Text.h"

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

// Reads a string value of the expected type. Only the bytes the registry
// returned are used: a value without a terminating NUL ends where its data
// ends, and an odd trailing byte (half a character) is dropped.
std::wstring ReadTypedString(HKEY root, const std::wstring& path, const wchar_t* valueName, DWORD expectedType) {
    const UniqueRegistryKey key = OpenRegistryKey(root, path, KEY_READ);
    DWORD type = 0;
    DWORD size = 0;
    ThrowIfError(RegQueryValueExW(key.Get(), valueName, nullptr, &type, nullptr, &size));

    const DWORD count = size / 2 + size % 2;
    // One spare character, so the data pointer is never null even for an
    // empty value: a value that grew in between then fails with
    // ERROR_MORE_DATA instead of reporting its size as if it had been read.
    std::vector<wchar_t> buffer(count + 1, L'\0');
    DWORD bytes = count * sizeof(wchar_t);
    ThrowIfError(RegQueryValueExW(key.Get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                                  &bytes));
    if (bytes == 0) throw Windows::RegistryValueIsEmpty();
    if (type != expectedType) throw Windows::WrongRegistryType();
    return TextUpToNul(buffer.data(), std::min<size_t>(bytes / sizeof(wchar_t), count));
}

std::wstring ExpandEnvironment(const std::wstring& text) {
    return TranscodeU8ToU16(ExpandEnvironmentText(TranscodeU16ToU8(text)));
}

}  // namespace

UniqueRegistryKey OpenRegistryKey(HKEY root, const std::wstring& path, REGSAM access) {
    UniqueRegistryKey key;
    ThrowIfError(RegOpenKeyExW(root, path.c_str(), 0, access | kRegistryView, key.Put()));
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

std::vector<std::wstring> EnumerateSubkeys(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> names;
    try {
        const UniqueRegistryKey key = OpenRegistryKey(root, path, KEY_READ);
        SubkeyInfo info;
        for (DWORD index = 0; EnumerateSubkey(key.Get(), index, info); ++index) names.push_back(info.name);
    } catch (...) {
        // A failed open or enumeration ends the list.
    }
    return names;
}

std::optional<std::wstring> ReadOptionalStringValue(HKEY root, const std::wstring& path, const wchar_t* valueName) {
    try {
        DWORD type = REG_NONE;
        {
            const UniqueRegistryKey key = OpenRegistryKey(root, path, KEY_READ);
            DWORD size = 0;
            if (RegQueryValueExW(key.Get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                return std::nullopt;
        }
        if (type == REG_SZ) return ReadStringValue(root, path, valueName);
        if (type == REG_EXPAND_SZ) return ExpandEnvironment(ReadExpandStringValue(root, path, valueName));
    } catch (...) {
        // Anything unreadable counts as absent.
    }
    return std::nullopt;
}

std::vector<std::wstring> FindSubkeysByValue(HKEY root, const std::wstring& parentPath, const wchar_t* valueName,
                                             const std::wstring& expected) {
    std::vector<std::wstring> found;
    try {
        const UniqueRegistryKey parent = OpenRegistryKey(root, parentPath, KEY_READ);
        SubkeyInfo info;
        for (DWORD index = 0; EnumerateSubkey(parent.Get(), index, info); ++index) {
            try {
                if (ReadStringValue(parent.Get(), info.name, valueName) == expected) found.push_back(info.name);
            } catch (...) {
                // Missing, empty, wrongly typed or unreadable: not a match.
            }
        }
    } catch (...) {
        // A failed open or enumeration ends the search.
    }
    return found;
}

std::vector<std::wstring> FindSubkeysBySubkeyValue(HKEY root, const std::wstring& parentPath,
                                                   const std::wstring& subPath, const wchar_t* valueName,
                                                   const std::wstring& expected) {
    std::vector<std::wstring> found;
    for (const std::wstring& name : EnumerateSubkeys(root, parentPath)) {
        try {
            if (ReadStringValue(root, parentPath + L"\\" + name + L"\\" + subPath, valueName) == expected)
                found.push_back(name);
        } catch (...) {
            // Not a match.
        }
    }
    return found;
}

std::wstring KeyDisplayName(HKEY root, const std::wstring& path) {
    const wchar_t* prefix = L"(...)";
    if (root == HKEY_CLASSES_ROOT) prefix = L"HKCR";
    else if (root == HKEY_CURRENT_USER) prefix = L"HKCU";
    else if (root == HKEY_LOCAL_MACHINE) prefix = L"HKLM";
    else if (root == HKEY_USERS) prefix = L"HKU";
    else if (root == HKEY_CURRENT_CONFIG) prefix = L"HKCC";
    return prefix + (L"\\" + path);
}

std::wstring SecurityObjectName(HKEY root) {
    if (root == HKEY_CLASSES_ROOT) return L"CLASSES_ROOT";
    if (root == HKEY_CURRENT_USER) return L"CURRENT_USER";
    if (root == HKEY_LOCAL_MACHINE) return L"MACHINE";
    if (root == HKEY_USERS) return L"USERS";
    throw ExceptionPL("Unknown HKEY rootKey type");
}
