#pragma once
// The per-user steps for every profile of the machine besides the running
// user's own (which the components handle through HKEY_CURRENT_USER and the
// running user's shell folders): one pass per profile, in ProfileList's
// order, each with that profile's hive reachable under HKEY_USERS and its
// own folders.
//
// A profile whose user is logged on has its hive loaded by Windows under
// HKEY_USERS\<SID>: the pass uses it. Any other profile's NTUSER.DAT is
// loaded for the pass (MountedHive) and unloaded when the pass leaves the
// profile, so at most one hive is held at a time and never for longer than
// one profile's steps. A hive that cannot be loaded is a failed step, with
// its reason; the pass goes on with the profile's folders at their usual
// places and with the next profile.
//
// A pass that finds none of its targets in a profile writes nothing there.
// One that finds something first writes "Profile <SID> (<folder>):".
//
// Speed: what a profile's hive says is learnt once per process and again
// whenever a pass loads it. The first pass loads each unloaded hive once,
// reads its shell folders, whether it holds Software\Orvalis and the names
// of the products its Windows Installer records hold; later passes load it
// again only when that key was there and they look for keys (every key they
// look for lies below Software\Orvalis), when it records one of their
// products, or when one of their folders exists. The first pass also unloads
// the hives that a killed run left loaded (UnloadStaleHives).

#include "log/Log.h"
#include "sysops/ProfileFolders.h"
#include "sysops/UserProfiles.h"

#include <functional>
#include <string>
#include <vector>

// One profile while its pass runs.
struct ProfileVisit {
    const UserProfile& profile;
    std::wstring hive;  // its name under HKEY_USERS; empty when the hive could not be loaded
    ProfileFolders folders;

    // The path under HKEY_USERS of a key of the hive ("Software\\X").
    std::wstring Key(const std::wstring& path) const { return hive + L"\\" + path; }
};

// What a pass looks for: keys of the hive, below Software\Orvalis, the
// folders made from the profile's folders, and products of these names in
// the hive's own Windows Installer records (sysops/UserInstallerRecords.h).
// A pass that looks only for products skips the profiles whose hive could
// not be loaded before: one failure line per profile is enough.
struct ProfileTargets {
    std::vector<std::wstring> keys;
    std::function<std::vector<std::wstring>(const ProfileFolders&)> folders;
    std::vector<std::wstring> installerProducts;
};

// Runs step in every profile other than the running user's where one of the
// targets exists (or whose hive could not be loaded). False when a hive
// could not be loaded. Never throws.
bool VisitOtherProfiles(const ProfileTargets& targets, const std::function<void(const ProfileVisit&)>& step,
                        Remove::Log& log);

// Test seam: forgets the profile list and what the hives said, so that the
// next pass lists the profiles again. The program itself never calls it.
void ForgetUserProfiles();
