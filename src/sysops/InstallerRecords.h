#pragma once
// Lookups and deletions in the Windows Installer records under HKLM:
// Products (a product key whose "ProductName" or "RemovedProductName" is the
// name), Features and UpgradeCodes (found through the product key) and the
// UserData install properties of the local system account (whose
// InstallProperties\DisplayName is the name). Names match as whole,
// case-sensitive texts; product codes are never computed. Nothing here
// throws.

#include "log/Log.h"

#include <string>

extern const wchar_t kInstallerProductsKeyPath[];
extern const wchar_t kInstallerFeaturesKeyPath[];
extern const wchar_t kInstallerUpgradeCodesKeyPath[];
extern const wchar_t kInstallerUserDataProductsKeyPath[];

// Three searches (Products by ProductName, by RemovedProductName, UserData
// by DisplayName) reported on one step line, then "not found" or one line
// "...found key \"<subkey>\"" per match, in that order.
bool FindInstallerProduct(const std::wstring& name, Remove::Log& log);

// Deletes, for every matching product key, its Products key, its Features
// key, and every upgrade-code key that lists it (whole, with any other
// product's values in it); then every matching UserData key. True when every
// deletion succeeded.
bool RemoveInstallerRecords(const std::wstring& name, Remove::Log& log);
