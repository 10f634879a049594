#pragma once
// The user profiles of the machine as Windows lists them in ProfileList
// (HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList, read in
// the 64-bit view): every account that ever logged on, the system and
// service accounts, and the Default profile that new users' profiles are
// copied from. None of these throws.

#include <optional>
#include <string>
#include <vector>

struct UserProfile {
    std::wstring name;    // the SID ("S-1-5-21-...-1001", "S-1-5-18"), or "Default"
    std::wstring folder;  // ProfileImagePath, expanded; without a trailing backslash
    bool isDefault = false;

    std::wstring HiveFile() const { return folder + L"\\NTUSER.DAT"; }
};

// The SID subkeys of ProfileList in enumeration order (entries that are not
// plain SIDs, such as the ".bak" copies Windows keeps of a damaged profile,
// and entries without a folder are left out), then the Default profile: the
// list's "Default" value, or "<ProfilesDirectory>\Default".
std::vector<UserProfile> ListUserProfiles();

// The SID of the account this process runs as; absent when it cannot be
// told.
std::optional<std::wstring> CurrentUserSid();
