#pragma once
// Windows Installer's records of a product installed per user, as its setup
// leaves them: in the user's hive, Software\Microsoft\Installer\Products
// (with ProductName), Features and UpgradeCodes; in the machine's
// UserData\<SID>\Components (64-bit view), its component registrations.
// Beside them a bystander's records, "Kestrel Backup Agent", installed per
// user too, which shares one component with the product.

#include "LabProfiles.h"
#include "RegistryKey.h"

#include <string>
#include <vector>

namespace Lab {

struct ProfileInstallerRecords {
    // Keys relative to the hive's root.
    std::vector<std::wstring> productKeys;
    std::vector<std::wstring> bystanderKeys;
    std::wstring productCode;    // packed, as the records name it
    std::wstring bystanderCode;  // packed
    RegKey ownComponent;         // only the product's value: goes whole
    RegKey sharedComponent;      // both values: the bystander's stays
};

// Plants both products' records in the profile's hive (the loaded hive, or
// the hive file of a profile that is not logged on) and their components.
// RemoveProfiles removes them with the profile.
ProfileInstallerRecords PlantProfileInstallerRecords(const LabProfile& profile, const std::wstring& productName);

// The profile's UserData key in the 64-bit view, for RemoveProfiles.
RegKey ProfileUserData(const LabProfile& profile);

}  // namespace Lab
