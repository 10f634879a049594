#include "RegistryKey.h"

#include "LabError.h"
#include "platform/UniqueHandle.h"

using WindowsPlatform::UniqueRegistryKey;

namespace Lab {
namespace {

using NtDeleteKeyFunction = LONG(WINAPI*)(HANDLE);

LONG DeleteByHandle(HKEY key) {
    static const auto ntDeleteKey = reinterpret_cast<NtDeleteKeyFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey")));
    return ntDeleteKey(key) == 0 ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// The native name of an opened key ("\\REGISTRY\\MACHINE\\..."), empty when
// it cannot be read.
std::wstring NativeName(HKEY key) {
    using NtQueryKeyFunction = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    static const auto ntQueryKey = reinterpret_cast<NtQueryKeyFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryKey")));
    const int keyNameInformation = 3;
    ULONG buffer[1024] = {};  // KEY_NAME_INFORMATION: the length in bytes, then the name
    ULONG size = 0;
    if (ntQueryKey(key, keyNameInformation, buffer, sizeof buffer, &size) != 0) return L"";
    return std::wstring(reinterpret_cast<const wchar_t*>(buffer + 1), buffer[0] / sizeof(wchar_t));
}

LONG Open(const RegKey& key, REGSAM access, DWORD options, UniqueRegistryKey& opened) {
    return RegOpenKeyExW(key.root, key.path.c_str(), options, access | key.view, opened.Put());
}

void DeleteOpened(HKEY key, const std::wstring& text) {
    if (!LinkTarget(key)) {
        wchar_t name[256];
        for (;;) {
            DWORD length = static_cast<DWORD>(std::size(name));
            if (RegEnumKeyExW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            UniqueRegistryKey child;
            ThrowIfFailed(RegOpenKeyExW(key, name, REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, child.Put()),
                          L"RegOpenKeyExW", text + L"\\" + name);
            DeleteOpened(child.Get(), text + L"\\" + name);
        }
    }
    ThrowIfFailed(DeleteByHandle(key), L"NtDeleteKey", text);
}

}  // namespace

std::wstring RegKey::Text() const {
    if (root == HKEY_USERS) return L"HKU\\" + path;
    return (view == KEY_WOW64_64KEY ? L"HKLM64\\" : L"HKLM32\\") + path;
}

RegKey RegKey::Parse(const std::wstring& text) {
    const size_t slash = text.find(L'\\');
    const std::wstring head = text.substr(0, slash);
    const std::wstring path = slash == std::wstring::npos ? L"" : text.substr(slash + 1);
    if (head == L"HKLM32") return Hklm32(path);
    if (head == L"HKLM64") return Hklm64(path);
    if (head == L"HKU") return Hku(path);
    throw Error(L"not a lab registry key: " + text);
}

void CreateKey(const RegKey& key) {
    UniqueRegistryKey created;
    ThrowIfFailed(RegCreateKeyExW(key.root, key.path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | key.view, nullptr,
                                  created.Put(), nullptr),
                  L"RegCreateKeyExW", key.Text());
}

void SetValue(const RegKey& key, const RegValue& value) {
    UniqueRegistryKey opened;
    ThrowIfFailed(RegCreateKeyExW(key.root, key.path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | key.view, nullptr,
                                  opened.Put(), nullptr),
                  L"RegCreateKeyExW", key.Text());
    const BYTE* data = reinterpret_cast<const BYTE*>(value.text.c_str());
    DWORD size = static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t));
    if (value.type == REG_DWORD) {
        data = reinterpret_cast<const BYTE*>(&value.number);
        size = sizeof value.number;
    }
    ThrowIfFailed(RegSetValueExW(opened.Get(), value.name.c_str(), 0, value.type, data, size), L"RegSetValueExW",
                  key.Text() + L":[" + value.name + L"]");
}

bool KeyExists(const RegKey& key) {
    UniqueRegistryKey opened;
    return Open(key, KEY_READ, 0, opened) == ERROR_SUCCESS;
}

std::optional<std::wstring> ReadText(const RegKey& key, const std::wstring& valueName) {
    UniqueRegistryKey opened;
    if (Open(key, KEY_READ, 0, opened) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(opened.Get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(opened.Get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    text.resize(wcsnlen(text.c_str(), size / sizeof(wchar_t)));
    return text;
}

std::vector<std::wstring> Subkeys(const RegKey& key) {
    std::vector<std::wstring> names;
    UniqueRegistryKey opened;
    if (Open(key, KEY_READ, 0, opened) != ERROR_SUCCESS) return names;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(std::size(name));
        if (RegEnumKeyExW(opened.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    return names;
}

void DeleteTree(const RegKey& key) {
    UniqueRegistryKey opened;
    const LONG status = Open(key, KEY_ALL_ACCESS, REG_OPTION_OPEN_LINK, opened);
    if (status == ERROR_FILE_NOT_FOUND) return;
    ThrowIfFailed(status, L"RegOpenKeyExW", key.Text());
    DeleteOpened(opened.Get(), key.Text());
}

void DeleteIfEmpty(const RegKey& key) {
    UniqueRegistryKey opened;
    if (Open(key, KEY_ALL_ACCESS, REG_OPTION_OPEN_LINK, opened) != ERROR_SUCCESS) return;
    DWORD subkeys = 0;
    DWORD values = 0;
    if (RegQueryInfoKeyW(opened.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                         nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        subkeys == 0 && values == 0) {
        ThrowIfFailed(DeleteByHandle(opened.Get()), L"NtDeleteKey", key.Text());
    }
}

void CreateLink(const RegKey& link, const std::wstring& target) {
    UniqueRegistryKey existing;
    if (Open(link, KEY_READ, REG_OPTION_OPEN_LINK, existing) == ERROR_SUCCESS) {
        if (LinkTarget(existing.Get()) == target) return;
        // Where the views already share the key (Wine 8 shares
        // Classes\Installer, as Windows does), there is nothing to link.
        const std::wstring name = NativeName(existing.Get());
        if (CompareStringOrdinal(name.c_str(), -1, target.c_str(), -1, TRUE) == CSTR_EQUAL) return;
        throw Error(L"a key that is not the expected link is in the way: " + link.Text() + L" (" + name + L")");
    }
    UniqueRegistryKey created;
    ThrowIfFailed(RegCreateKeyExW(link.root, link.path.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                                  KEY_ALL_ACCESS | link.view, nullptr, created.Put(), nullptr),
                  L"RegCreateKeyExW", link.Text());
    ThrowIfFailed(RegSetValueExW(created.Get(), L"SymbolicLinkValue", 0, REG_LINK,
                                 reinterpret_cast<const BYTE*>(target.c_str()),
                                 static_cast<DWORD>(target.size() * sizeof(wchar_t))),
                  L"RegSetValueExW", link.Text());
}

std::optional<std::wstring> LinkTarget(HKEY openedWithOpenLink) {
    DWORD type = 0;
    wchar_t target[512];
    DWORD size = sizeof target;
    if (RegQueryValueExW(openedWithOpenLink, L"SymbolicLinkValue", nullptr, &type, reinterpret_cast<BYTE*>(target),
                         &size) != ERROR_SUCCESS ||
        type != REG_LINK) {
        return std::nullopt;
    }
    return std::wstring(target, size / sizeof(wchar_t));
}

}  // namespace Lab
