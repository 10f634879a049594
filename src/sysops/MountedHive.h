#pragma once
// A profile's registry hive that this program loaded itself: the hive file
// (NTUSER.DAT) of a user who is not logged on, reachable under HKEY_USERS by
// a name of this program's own for as long as its owner lives. The owner
// unloads the hive when it is destroyed, also when the steps that needed it
// failed: a hive held loaded makes Windows give its user a temporary profile
// at the next logon.
//
// The names are "ORVRemove-" and the profile's name (its SID, or "Default"
// for the profile new users are made from), so that a hive a killed run left
// loaded can be found and unloaded by the next run, and so that the texts
// can name its keys where Windows keeps them: HKU\<SID>\....
//
// Test seam (platform/FaultInjection.h): "RegLoadKeyW" fails the load;
// "RegUnLoadKeyW" keeps the hive loaded at the owner's end, so that a test can
// read what the steps left in it (Wine never writes a loaded hive back to its
// file); the test unloads it itself.

#include "log/Log.h"

#include <optional>
#include <string>
#include <utility>

class MountedHive {
public:
    // Loads the file under HKEY_USERS\<name>, enabling the backup and restore
    // privileges the load needs. Throws Windows::Error when Windows refuses
    // (file in use, missing or damaged).
    static MountedHive Load(const std::wstring& name, const std::wstring& file);

    MountedHive(MountedHive&& other) noexcept : name_(std::move(other.name_)) { other.name_.clear(); }
    MountedHive& operator=(MountedHive&&) = delete;
    MountedHive(const MountedHive&) = delete;
    MountedHive& operator=(const MountedHive&) = delete;
    ~MountedHive();

    // The key's name under HKEY_USERS.
    const std::wstring& Name() const noexcept { return name_; }

    // Unloads the hive now. A failure writes "Unloading the registry hive
    // \"<file>\"...failed: " and the reason as a line of its own; the owner
    // then tries once more when it is destroyed. True when it is unloaded.
    bool Unload(const std::wstring& file, Remove::Log& log);

private:
    explicit MountedHive(std::wstring name) : name_(std::move(name)) {}

    std::wstring name_;
};

// "ORVRemove-" and the profile's name.
std::wstring HiveMountName(const std::wstring& profileName);

// The profile's name when name is a mount name of this program; absent
// otherwise. Letter case is ignored.
std::optional<std::wstring> ProfileNameOfMount(const std::wstring& name);

// Unloads every hive that an earlier run left loaded under a mount name of
// this program. Never throws; a hive that stays loaded writes its reason.
void UnloadStaleHives(Remove::Log& log);
