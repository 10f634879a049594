#pragma once
// The commands of labmachine that plant and inspect other users' profiles
// (see LabProfiles.h).

#include <string>
#include <vector>

namespace LabMachineTool {

// "plant-profiles": plants alice and bob and prints them as "profiles" does.
void PlantProfilesCommand();
// "profiles": one line per profile the lab plants:
// "<name> <SID> <folder> loaded|unloaded" (whether its hive is loaded by its
// logon, as planted).
void ListProfiles();
// "hive-has <user> <key>": "yes" or "no", whether the user's hive file
// holds the key (a path relative to the hive's root).
void HiveHas(const std::vector<std::wstring>& arguments);
// "hive-delete <user> <key>": writes the user's hive file again without the
// key, as Windows does when it unloads a hive in which the key was deleted.
void HiveDelete(const std::vector<std::wstring>& arguments);
// "hive-closed <user>": "yes" when the user's hive file can be opened for
// reading and writing with no sharing, that is when nothing has it open.
void HiveClosed(const std::vector<std::wstring>& arguments);

}  // namespace LabMachineTool
