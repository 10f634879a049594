#pragma once
// Windows Installer's records of installations made per user, which live in
// that user's own hive: Software\Microsoft\Installer\Products, Features and
// UpgradeCodes, of the same shape as HKLM\SOFTWARE\Classes\Installer. The
// running user's own are reached through HKEY_CURRENT_USER; every other
// profile's through the profile passes (sysops/ProfilePasses.h), which load
// a hive that is not loaded only when what they learnt of it says that it
// records a product of the name.

#include "log/Log.h"
#include "sysops/InstallerRecords.h"

#include <functional>
#include <string>
#include <vector>

// "Software\\Microsoft\\Installer", relative to a hive's root.
extern const wchar_t kUserInstallerKeyPath[];

// The records of the hive root\hive (an empty hive: root itself).
InstallerRecordPlace UserInstallerPlace(HKEY root, const std::wstring& hive);

// Every "ProductName" and "RemovedProductName" of the hive's Products, for
// the profile passes to remember; empty when there are none. Never throws.
std::vector<std::wstring> UserInstallerProductNames(const std::wstring& hive);

// Runs step with the running user's place, then with the place of every
// other profile whose records hold a product of the name, inside that
// profile's pass (which writes the profile line first). A profile whose hive
// could not be loaded before is skipped: the passes that look for keys and
// folders report it. False when a hive could not be loaded or unloaded.
// Never throws.
bool VisitUserInstallerRecords(const std::wstring& name, const std::function<void(const InstallerRecordPlace&)>& step,
                               Remove::Log& log);
