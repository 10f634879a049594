#include "sysops/RootCleanup.h"

#include "sysops/Files.h"
#include "sysops/MountedHive.h"
#include "sysops/ProfilePasses.h"
#include "sysops/Registry.h"
#include "sysops/ShellFolders.h"

void RemoveRootFoldersAndKeys(Remove::Log& log) {
    if (const auto localAppData = LocalAppDataFolder()) DeleteDirectory(*localAppData + L"\\Orvalis", log);
    if (const auto programFiles = ProgramFilesFolder()) DeleteDirectory(*programFiles + L"\\Orvalis Enterprise", log);
    DeleteRegistryKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis", log);
    DeleteRegistryKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis, Inc.", log);

    // Every loaded user hive; an enumeration error skips the hives left. A
    // hive that an earlier run of this program left loaded is no user's: the
    // profile passes below unload it and visit its profile.
    try {
        SubkeyInfo hive;
        for (DWORD index = 0; EnumerateSubkey(HKEY_USERS, index, hive); ++index)
            if (!ProfileNameOfMount(hive.name)) DeleteRegistryKey(HKEY_USERS, hive.name + L"\\Software\\Orvalis", log);
    } catch (...) {
        log.Write(L"error enumerating keys in HKEY_USERS: ");
        log.WriteCurrentException();
        log.EndLine();
    }

    // Every other profile: its data folder, and the key in its hive when
    // the hive was not loaded above.
    const ProfileTargets targets{{L"Software\\Orvalis"}, [](const ProfileFolders& folders) {
                                     return std::vector<std::wstring>{folders.localAppData + L"\\Orvalis"};
                                 }, {}};
    VisitOtherProfiles(targets, [&](const ProfileVisit& visit) {
        DeleteDirectory(visit.folders.localAppData + L"\\Orvalis", log);
        if (!visit.hive.empty()) DeleteRegistryKey(HKEY_USERS, visit.Key(L"Software\\Orvalis"), log);
    }, log);
}
