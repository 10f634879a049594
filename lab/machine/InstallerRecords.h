#pragma once
// The Windows Installer records of one product, where a per-machine 32-bit
// package on 64-bit Windows has them: the Uninstall entry in the 32-bit
// view; the Products, Features and UpgradeCodes keys under
// SOFTWARE\Classes\Installer and the UserData keys in the 64-bit view.
// Installer keys name products by the packed form of their codes.

#include "RegistryKey.h"

#include <string>
#include <vector>

namespace Lab {

// "{6E1A2B3C-1111-4A5B-9C0D-0123456789AB}" -> "C3B2A1E61111B5A4C9D01032547698BA".
std::wstring PackedCode(const std::wstring& guid);

RegKey UninstallEntry(const std::wstring& productCode);
RegKey ProductsRecord(const std::wstring& productCode);
RegKey UserDataProduct(const std::wstring& productCode);

// Every installer record of the product (not the Uninstall entry), for
// writing stand-in records and for deleting what is left of them.
std::vector<RegKey> InstallerRecordKeys(const std::wstring& productCode, const std::wstring& upgradeCode,
                                        const std::wstring& componentCode);

// Writes the records a setup of an MSI-based InstallShield product leaves:
// Products (with ProductName), Features, UpgradeCodes, UserData.
void WriteInstallerRecords(const std::wstring& productCode, const std::wstring& upgradeCode,
                           const std::wstring& componentCode, const std::wstring& productName,
                           const std::wstring& mainProgram);

}  // namespace Lab
