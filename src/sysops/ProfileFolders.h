#pragma once
// The shell folders of one profile, as that profile's own hive names them in
// Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders,
// with %USERPROFILE% meaning the profile's folder (not the running user's)
// and the other variables expanded as the system has them. A value
// that is missing, empty or not a text gives the usual place.

#include "sysops/UserProfiles.h"

#include <windows.h>

#include <string>

struct ProfileFolders {
    std::wstring documents;     // "Personal"; default <profile>\Documents
    std::wstring localAppData;  // "Local AppData"; default <profile>\AppData\Local
};

// The folders of profile whose hive is root\hivePath (HKEY_USERS and the
// hive's name). Never throws.
ProfileFolders ReadProfileFolders(const UserProfile& profile, HKEY root, const std::wstring& hivePath);

// The usual places, for a profile whose hive cannot be read.
ProfileFolders DefaultProfileFolders(const UserProfile& profile);

// text with every %USERPROFILE% (letter case ignored) replaced by
// profileFolder, then the remaining variables expanded.
std::wstring ExpandProfileText(const std::wstring& text, const std::wstring& profileFolder);
