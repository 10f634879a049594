#pragma once
// Registry places of the lab, each with the view it is seen in: the lab
// plants the suite's keys in the 32-bit view (where a 32-bit setup puts them
// on 64-bit Windows), Windows Installer's own records in the 64-bit view,
// and per-user keys under HKEY_USERS. Deletions never follow registry links:
// a link key is removed itself, its target is left alone.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace Lab {

struct RegKey {
    HKEY root = HKEY_LOCAL_MACHINE;
    REGSAM view = KEY_WOW64_32KEY;  // KEY_WOW64_32KEY, KEY_WOW64_64KEY, or 0 under HKEY_USERS
    std::wstring path;

    // "HKLM32\path", "HKLM64\path" or "HKU\path"; Parse reads that form back.
    std::wstring Text() const;
    static RegKey Parse(const std::wstring& text);
    RegKey Sub(const std::wstring& name) const { return {root, view, path + L"\\" + name}; }
};

inline RegKey Hklm32(const std::wstring& path) { return {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, path}; }
inline RegKey Hklm64(const std::wstring& path) { return {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, path}; }
inline RegKey Hku(const std::wstring& path) { return {HKEY_USERS, 0, path}; }

struct RegValue {
    std::wstring name;
    DWORD type = REG_SZ;
    std::wstring text;  // REG_SZ, REG_EXPAND_SZ
    DWORD number = 0;   // REG_DWORD
};
inline RegValue TextValue(const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ) {
    return {name, type, text, 0};
}
inline RegValue NumberValue(const std::wstring& name, DWORD number) { return {name, REG_DWORD, {}, number}; }

void CreateKey(const RegKey& key);
void SetValue(const RegKey& key, const RegValue& value);  // creates the key
bool KeyExists(const RegKey& key);
std::optional<std::wstring> ReadText(const RegKey& key, const std::wstring& valueName);
std::vector<std::wstring> Subkeys(const RegKey& key);

// Deletes the key and everything below it; a missing key is fine.
void DeleteTree(const RegKey& key);
// Deletes the key only when it has neither subkeys nor values.
void DeleteIfEmpty(const RegKey& key);

// The native registry path (such as "\Registry\Machine\Software\Classes")
// that a link key opened with REG_OPTION_OPEN_LINK points to.
std::optional<std::wstring> LinkTarget(HKEY openedWithOpenLink);

}  // namespace Lab
