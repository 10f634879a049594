#pragma once
// Lookups and deletions in the Windows Installer records: Products (a
// product key whose "ProductName" or "RemovedProductName" is the name),
// Features and UpgradeCodes (found through the product key), the UserData
// install properties (whose InstallProperties\DisplayName is the name) and
// the component registrations of the product keys found. Names match as
// whole, case-sensitive texts; product codes are never computed. Nothing
// here throws.
//
// The places searched:
// - the classic places in the program's view, with their fixed log lines:
//   HKLM\SOFTWARE\Classes\Installer\Products|Features|UpgradeCodes (shared
//   by both views) and UserData\S-1-5-18\Products;
// - on 64-bit Windows, where Windows Installer (a 64-bit service) keeps its
//   UserData, in the 64-bit view: UserData\<SID>\Products of every SID found
//   under UserData (S-1-5-18 for per-machine installations, a user's SID
//   for that user's own). These write a line only when they find or delete
//   something, so a machine without such records gives the classic log.
// - the component registrations UserData\<SID>\Components\<component> of
//   every SID, in the 64-bit view (on 64-bit Windows) and in the program's.
//
// - the records of installations made per user in each user's own hive,
//   Software\Microsoft\Installer (sysops/UserInstallerRecords.h): the
//   running user's and, through the profile passes, every other profile's;
//   these too write only when they find or delete something.
//
// A place is data (InstallerRecordPlace), so the same find and remove code
// serves every place of the same shape.

#include "log/Log.h"
#include "sysops/Registry.h"

#include <string>
#include <vector>

extern const wchar_t kInstallerProductsKeyPath[];
extern const wchar_t kInstallerFeaturesKeyPath[];
extern const wchar_t kInstallerUpgradeCodesKeyPath[];
extern const wchar_t kInstallerUserDataProductsKeyPath[];
// "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData": one
// subkey per SID, each with Products and Components.
extern const wchar_t kInstallerUserDataKeyPath[];

enum class InstallerRecordKind {
    // <base>\Products\<product key> with "ProductName" or
    // "RemovedProductName", <base>\Features\<product key> and every
    // <base>\UpgradeCodes\<code> that holds a readable REG_SZ value named by
    // the product key: HKLM\SOFTWARE\Classes\Installer for installations
    // per machine, HKEY_USERS\<SID>\Software\Microsoft\Installer for a
    // user's own.
    Registration,
    // <base>\Products\<product key>\InstallProperties with "DisplayName":
    // HKLM\...\Installer\UserData\<SID>.
    UserData,
};

struct InstallerRecordPlace {
    InstallerRecordKind kind = InstallerRecordKind::UserData;
    HKEY root = HKEY_LOCAL_MACHINE;
    std::wstring base;  // the key that holds Products (and Features, UpgradeCodes)
    RegistryView view = RegistryView::Program;
};

// The UserData places of every SID under UserData in the 64-bit view, in
// enumeration order; none on 32-bit Windows (see Native64ViewExists).
std::vector<InstallerRecordPlace> Native64UserDataPlaces();

// The product keys of the place's records of the name: for Registration
// those whose ProductName, then those whose RemovedProductName is the name;
// for UserData those whose InstallProperties\DisplayName is. Writes nothing.
std::vector<std::wstring> FindInstallerRecordsIn(const InstallerRecordPlace& place, const std::wstring& name);

// FindInstallerRecordsIn; when it finds any, one step line: "Looking for
// product \"<name>\" in \"<Products key>\"..." (Registration) or "Looking
// for \"<name>\" installer properties in \"<Products key>\"..." (UserData),
// the key named as Windows names it (KeyPlaceName), then "\r\n...found key
// \"<key>\"" per key and "\r\n". Nothing at all when nothing is found.
bool FindInstallerProductIn(const InstallerRecordPlace& place, const std::wstring& name, Remove::Log& log);

// Deletes the place's records of the name (for Registration also the
// Features key and every upgrade-code key that lists the product key, whole),
// then the component registrations of the product keys whose records all
// went (RemoveComponentRegistrations). Writes only the deletions' lines (and
// "Failed to delete <key>" after a UserData key that stays). True when every
// deletion succeeded.
bool RemoveInstallerRecordsIn(const InstallerRecordPlace& place, const std::wstring& name, Remove::Log& log);

// Under every HKLM\...\UserData\<SID>\Components\<component>, in the 64-bit
// view (on 64-bit Windows) and in the program's view: deletes the values
// named by the product keys (letter case ignored, as the registry does);
// a component key left with no values goes whole; other products' values
// stay. Each Components key is enumerated once per call, however many
// product keys there are; no product keys: nothing is read. Writes only the
// deletions' lines. True when every deletion succeeded.
bool RemoveComponentRegistrations(const std::vector<std::wstring>& productKeys, Remove::Log& log);

// Three searches (Products by ProductName, by RemovedProductName, UserData
// by DisplayName) reported on one step line, then "not found" or one line
// "...found key \"<subkey>\"" per match, in that order. Then, on 64-bit
// Windows, FindInstallerProductIn for each of Native64UserDataPlaces(), and
// for every user's own records (VisitUserInstallerRecords). True when any
// place found a record.
bool FindInstallerProduct(const std::wstring& name, Remove::Log& log);

// Deletes, for every matching product key, its Products key, its Features
// key, and every upgrade-code key that lists it (whole, with any other
// product's values in it); then every matching UserData key; then, on
// 64-bit Windows, every matching UserData key of Native64UserDataPlaces();
// then the records in every user's own hive (VisitUserInstallerRecords);
// last, in one pass, the component registrations of every product key whose
// records all went. True when every deletion succeeded.
bool RemoveInstallerRecords(const std::wstring& name, Remove::Log& log);
