#pragma once
// Other users' profiles on the lab machine, beside the profile of the user
// the tests run as: listed in ProfileList (64-bit view) with their folders
// under C:\users, each with a hive file (NTUSER.DAT, written with
// RegSaveKeyW in Wine's own format) that names its shell folders in
// "User Shell Folders" and holds the suite's per-user keys and a
// bystander's. "alice" is logged on: her hive is loaded under HKU\<SID>, as
// Windows loads a logged-on user's. "bob" is not: his hive is only a file,
// and his shell folders are not at their usual places.

#include "RegistryKey.h"

#include <functional>
#include <string>
#include <vector>

namespace Lab {

struct LabProfile {
    std::wstring name;          // "alice", "bob"
    std::wstring sid;
    std::wstring folder;        // C:\users\<name>
    std::wstring localAppData;  // as its hive names it, expanded
    std::wstring documents;
    bool loaded = false;

    std::wstring HiveFile() const { return folder + L"\\NTUSER.DAT"; }
};

// The profiles the lab can plant, planted or not.
std::vector<LabProfile> LabProfiles();

// Plants both profiles with the suite's per-user traces (the console's
// settings key and data folder, the agent's key and data folder, the
// generator's credentials folder) and bystanders of their own.
std::vector<LabProfile> PlantProfiles();

// The Default profile that new users' profiles are copied from, which
// Wine's prefix lacks: C:\users\Default (where ProfileList's
// ProfilesDirectory puts it) with its hive file, the suite's key and data
// folder and a bystander's. Its folder, as planted.
std::wstring PlantDefaultProfile();

// Snapshot prefixes of the suite's traces in the profiles, and of their
// bystanders (files, and the keys of a loaded hive).
std::vector<std::wstring> ProfileSuitePrefixes();
std::vector<std::wstring> ProfileBystanderPrefixes();

// Keys of the suite and of the bystander that the hive files hold, relative
// to the hive's root.
extern const wchar_t kProfileSuiteKey[];      // "Software\\Orvalis"
extern const wchar_t kProfileBystanderKey[];  // "Software\\Kestrel\\Backup Agent"

// Whether the hive file of an unloaded profile holds the key: the lab loads
// it under a name of its own, looks, and unloads it.
bool HiveFileHasKey(const LabProfile& profile, const std::wstring& path);
// Writes the hive file again without the key, as Windows writes a hive back
// to its file when it is unloaded after the key was deleted in it (Wine never
// writes a loaded hive back).
void DeleteFromHiveFile(const LabProfile& profile, const std::wstring& path);
// Lets edit change the profile's hive through the key of its root: the
// loaded hive itself, or the hive file of a profile that is not logged on
// (loaded under the lab's name, changed, written again).
void EditHive(const LabProfile& profile, const std::function<void(const RegKey& root)>& edit);

// Profiles of users who are not logged on and have nothing of the suite,
// for the benchmark: "bench<i>" (S-1-5-21-0-0-1-<i>) for i in first ..
// last - 1, each with a ProfileList entry, a folder under C:\users and a copy
// of one small hive file. RemoveBenchProfiles removes every one planted.
void PlantBenchProfiles(unsigned first, unsigned last);
void RemoveBenchProfiles();

// Unloads the profiles' hives (under their SIDs, under the lab's name and
// under the remover's own name), deletes their ProfileList entries and
// folders. Part of Reset.
void RemoveProfiles();

}  // namespace Lab
