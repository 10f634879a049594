#include "sysops/RootCleanup.h"

#include "sysops/Files.h"
#include "sysops/Registry.h"
#include "sysops/ShellFolders.h"

void RemoveRootFoldersAndKeys(Remove::Log& log) {
    if (const auto localAppData = LocalAppDataFolder()) DeleteDirectory(*localAppData + L"\\Orvalis", log);
    if (const auto programFiles = ProgramFilesFolder()) DeleteDirectory(*programFiles + L"\\Orvalis Enterprise", log);
    DeleteRegistryKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis", log);
    DeleteRegistryKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis, Inc.", log);

    // Every loaded user hive; an enumeration error skips the hives left.
    try {
        SubkeyInfo hive;
        for (DWORD index = 0; EnumerateSubkey(HKEY_USERS, index, hive); ++index)
            DeleteRegistryKey(HKEY_USERS, hive.name + L"\\Software\\Orvalis", log);
    } catch (...) {
        log.Write(L"error enumerating keys in HKEY_USERS: ");
        log.WriteCurrentException();
        log.EndLine();
    }
}
