#pragma once
// Registry operations that detection and removal are made of.
//
// A key is named by a root and a path: the root is one of the predefined
// keys (HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
// HKEY_CURRENT_CONFIG) or an open key; the path is relative to it, parts
// joined by single backslashes, with none at either end. Keys are opened in
// the program's own registry view: the program is 32-bit, so on 64-bit
// Windows that is the 32-bit view, where the suite's 32-bit setups keep their
// keys. Only the supporting databases' data sources and Windows Installer's
// UserData (InstallerRecords.h) are reached in the 64-bit view
// (RegistryView::Native64); every open, query and deletion below such a key
// names that view again, since a relative open without it may land in the
// other view.
//
// Three layers:
// - the thin layer throws on any failure (Windows::Error with the status,
//   Windows::RegistryValueIsEmpty, Windows::WrongRegistryType);
// - the search layer never throws: a failed open gives an empty result, a
//   value that cannot be read skips its candidate, a failed enumeration ends
//   the list early; searches under HKEY_LOCAL_MACHINE are answered from an
//   index that is read again after every change (RegistrySearchIndex.h);
// - the logged steps write one step line each to the log, catch every
//   exception, write its description, and report success as a boolean.
//
// Test seams (platform/FaultInjection.h): "RegDeleteKeyExW", "RegEnumKeyExW",
// and "RegOpenKeyExW/DELETE" (the test whether a key can be deleted).

#include "log/Log.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The registry view a key is opened in, as the flag added to the access mask.
enum class RegistryView : REGSAM {
    Program = 0,                  // the program's own view: no flag
    Native64 = KEY_WOW64_64KEY,   // the 64-bit view of 64-bit Windows
};

constexpr REGSAM ViewFlag(RegistryView view) { return static_cast<REGSAM>(view); }

// One subkey as RegEnumKeyExW returns it.
struct SubkeyInfo {
    std::wstring name;
    std::wstring className;
    FILETIME lastWriteTime{};
};

// --- Thin layer (throws) ---

// Opens root\path with access in the view.
WindowsPlatform::UniqueRegistryKey OpenRegistryKey(HKEY root, const std::wstring& path, REGSAM access,
                                                   RegistryView view = RegistryView::Program);

// Fills info with the subkey at index; false when there are no more.
bool EnumerateSubkey(HKEY key, DWORD index, SubkeyInfo& info);

// A REG_SZ value, cut at its first NUL or at the end of the returned data,
// whichever comes first. Throws RegistryValueIsEmpty for a value of zero
// bytes and WrongRegistryType for any other type.
std::wstring ReadStringValue(HKEY root, const std::wstring& path, const wchar_t* valueName);

// The same for a REG_EXPAND_SZ value; the text is returned unexpanded.
std::wstring ReadExpandStringValue(HKEY root, const std::wstring& path, const wchar_t* valueName);

// --- Search layer (never throws) ---

// Names of the subkeys of root\path in enumeration order.
std::vector<std::wstring> EnumerateSubkeys(HKEY root, const std::wstring& path,
                                           RegistryView view = RegistryView::Program);

// A REG_SZ value as stored, a REG_EXPAND_SZ value expanded; absent for a
// missing, empty (zero bytes) or otherwise typed value, or any failure.
std::optional<std::wstring> ReadOptionalStringValue(HKEY root, const std::wstring& path, const wchar_t* valueName);

// Subkeys of root\parentPath whose REG_SZ value valueName equals expected
// (whole text, case-sensitive).
std::vector<std::wstring> FindSubkeysByValue(HKEY root, const std::wstring& parentPath, const wchar_t* valueName,
                                             const std::wstring& expected,
                                             RegistryView view = RegistryView::Program);

// Subkeys s of root\parentPath whose key parentPath\s\subPath holds a REG_SZ
// value valueName equal to expected.
std::vector<std::wstring> FindSubkeysBySubkeyValue(HKEY root, const std::wstring& parentPath,
                                                   const std::wstring& subPath, const wchar_t* valueName,
                                                   const std::wstring& expected,
                                                   RegistryView view = RegistryView::Program);

// Subkeys of root\parentPath that hold a REG_SZ value valueName that
// ReadStringValue can read (more than zero bytes), whatever its text.
std::vector<std::wstring> FindSubkeysWithStringValue(HKEY root, const std::wstring& parentPath,
                                                     const wchar_t* valueName,
                                                     RegistryView view = RegistryView::Program);

// True when the program runs on 64-bit Windows (under WoW64), where the
// 64-bit view is a view of its own; on 32-bit Windows there is only one view.
// Test seam: "IsWow64Process" (a fault makes it false).
bool Native64ViewExists();

// --- Texts ---

// "HKLM\\SOFTWARE\\Orvalis": the root's short name ("HKCR", "HKCU", "HKLM",
// "HKU", "HKCC", "(...)" for an open key), a backslash and the path; under
// HKEY_USERS the path as UserHivePath names it.
std::wstring KeyDisplayName(HKEY root, const std::wstring& path);

// A path under HKEY_USERS as Windows names it: a hive that this program
// loaded under its own name (sysops/MountedHive.h) is named by its profile,
// "ORVRemove-S-1-5-21-...\\Software" becomes "S-1-5-21-...\\Software". Other
// paths are returned unchanged.
std::wstring UserHivePath(const std::wstring& path);

// The root's name for the security API ("CLASSES_ROOT", "CURRENT_USER",
// "MACHINE", "USERS"); throws ExceptionPL "Unknown HKEY rootKey type" for
// any other root.
std::wstring SecurityObjectName(HKEY root);

// --- Logged steps (never throw) ---

// "Checking for registry key \"<key>\"...found|not found": true when the
// key opens for reading.
bool RegistryKeyExists(HKEY root, const std::wstring& path, Remove::Log& log,
                       RegistryView view = RegistryView::Program);

// "Checking for registry key value \"<key>:[<name>]\"...found|not found".
bool RegistryValueExists(HKEY root, const std::wstring& path, const wchar_t* valueName, Remove::Log& log);

// Deletes the key with all its subkeys: "Deleting registry key
// \"<key>\"...done". A key that is not there (or cannot be read) counts as
// deleted and writes nothing. On failure the error lines end the open line
// and no "done" is written; whatever was deleted stays deleted.
bool DeleteRegistryKey(HKEY root, const std::wstring& path, Remove::Log& log,
                       RegistryView view = RegistryView::Program);

// Depth first, leaf first, stopping at the first failure. Writes only error
// texts, onto the caller's open line.
bool DeleteRegistryKeyTree(HKEY root, const std::wstring& path, Remove::Log& log,
                           RegistryView view = RegistryView::Program);

// Deletes one value of root\path (opened in the view): "Deleting registry
// value \"<key>:[<name>]\"...done". A value that is not there (or a key that
// cannot be read) counts as deleted and writes nothing. Asks ActOrDescribe
// first. On failure the description ends the open line. Test seam:
// "RegDeleteValueW".
bool DeleteRegistryValue(HKEY root, const std::wstring& path, const std::wstring& valueName, Remove::Log& log,
                         RegistryView view = RegistryView::Program);

// True when the key can be deleted, after granting the current user full
// access (and ownership) if it could not. Writes only on failure.
bool GrantRegistryKeyAccess(HKEY root, const std::wstring& path, Remove::Log& log,
                            RegistryView view = RegistryView::Program);
