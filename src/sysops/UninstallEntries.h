#pragma once
// Lookups and deletions in the Uninstall entries: one key per installed
// product under HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall,
// identified by its REG_SZ value "DisplayName" (whole text, case-sensitive).
// Values are read with ReadOptionalStringValue, so REG_EXPAND_SZ values come
// back expanded and anything unreadable counts as absent. Nothing here
// throws; each lookup writes one step line to the log.

#include "log/Log.h"

#include <windows.h>

#include <optional>
#include <string>

// HKLM-relative path of the Uninstall entries.
extern const wchar_t kUninstallKeyPath[];

// "Looking for product \"<name>\" in \"<Uninstall>\"...", then "not found" or
// one line "...found key \"<subkey>\"" per matching entry.
bool FindUninstallEntry(const std::wstring& name, Remove::Log& log);

// The first matching entry's InstallLocation: "found path \"<text>\"" or
// "not found".
std::optional<std::wstring> GetInstallLocation(const std::wstring& name, Remove::Log& log);

// A location read from any key: "Looking for the install location in
// \"<key>:[<value>]\"...found path \"<text>\"" or "not found".
std::optional<std::wstring> GetInstallLocationFromKey(HKEY root, const std::wstring& keyPath,
                                                      const wchar_t* valueName, Remove::Log& log);

// The first matching entry's UninstallString, logged on a line of its own
// as "...found command <text>".
std::optional<std::wstring> GetUninstallString(const std::wstring& name, Remove::Log& log);

// An uninstall command read from any key, logged like GetUninstallString.
std::optional<std::wstring> GetUninstallStringFromKey(HKEY root, const std::wstring& keyPath,
                                                      const wchar_t* valueName, const std::wstring& name,
                                                      Remove::Log& log);

// The first matching entry's DisplayVersion: "found version <text>" or
// "not found".
std::optional<std::wstring> GetDisplayVersion(const std::wstring& name, Remove::Log& log);

// Deletes every matching entry (DeleteRegistryKey writes the lines); true
// when all were deleted, also when there were none.
bool RemoveUninstallEntries(const std::wstring& name, Remove::Log& log);
