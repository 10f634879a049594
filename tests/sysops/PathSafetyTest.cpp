#include "sysops/PathSafety.h"

#include "platform/FaultInjection.h"
#include "support/RecordingLog.h"
#include "support/RegistryFixture.h"
#include "sysops/AdminShares.h"
#include "sysops/Files.h"
#include "sysops/ProtectedFolders.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::wstring ShellFolder(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    EXPECT_EQ(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer), S_OK) << csidl;
    return buffer;
}

std::wstring ParentOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::wstring TemporaryFolder() {
    wchar_t buffer[MAX_PATH + 1];
    return std::wstring(buffer, GetTempPathW(MAX_PATH + 1, buffer));
}

void ExpectRefused(const std::vector<std::wstring>& paths) {
    for (const auto& path : paths) EXPECT_TRUE(FolderDeletionRefusal(path).has_value()) << path;
}

TEST(FolderDeletionRefusalTest, RefusesEveryFolderThatWindowsOwns) {
    const std::wstring windows = ShellFolder(CSIDL_WINDOWS);
    const std::wstring profile = ShellFolder(CSIDL_PROFILE);
    ExpectRefused({windows, ShellFolder(CSIDL_SYSTEM), ShellFolder(CSIDL_SYSTEMX86), windows + L"\\SysWOW64",
                   windows + L"\\Sysnative", ShellFolder(CSIDL_PROGRAM_FILES), ShellFolder(CSIDL_PROGRAM_FILESX86),
                   L"C:\\Program Files", L"C:\\Program Files (x86)", ShellFolder(CSIDL_PROGRAM_FILES_COMMON),
                   ShellFolder(CSIDL_PROGRAM_FILES_COMMONX86), L"C:\\Program Files\\Common Files",
                   L"C:\\Program Files (x86)\\Common Files", ShellFolder(CSIDL_COMMON_APPDATA), L"C:\\ProgramData",
                   ParentOf(profile), L"C:\\users", profile, L"C:\\users\\Public", L"C:\\users\\Someone Else",
                   ShellFolder(CSIDL_PERSONAL), ShellFolder(CSIDL_DESKTOPDIRECTORY), ShellFolder(CSIDL_APPDATA),
                   ShellFolder(CSIDL_LOCAL_APPDATA), TemporaryFolder()});
}

TEST(FolderDeletionRefusalTest, RefusesDriveAndShareRootsAndPathsItCannotJudge) {
    ExpectRefused({L"C:\\", L"c:/", L"D:\\", L"C:\\Windows\\..", L"C:\\..\\..", L"\\\\server\\share",
                   L"\\\\server\\share\\", L"\\\\server", L"\\\\?\\UNC\\server\\share\\", L"\\\\?\\C:\\",
                   L"\\\\?\\Volume{01234567-89ab-cdef-0123-456789abcdef}\\", L"\\\\.\\C:"});
    const auto refusal = FolderDeletionRefusal(L"\\\\Server\\Share\\x\\..");
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(*refusal, L"\"\\\\Server\\Share\" is a share root");
}

TEST(FolderDeletionRefusalTest, SeesThroughOtherSpellingsOfTheSameFolder) {
    const std::wstring windows = ShellFolder(CSIDL_WINDOWS);
    const std::wstring programs = ShellFolder(CSIDL_PROGRAM_FILESX86);
    wchar_t shortName[MAX_PATH] = {};
    GetShortPathNameW(programs.c_str(), shortName, MAX_PATH);
    ExpectRefused({windows + L"\\", windows + L"\\\\", L"c:\\WINDOWS", L"C:/windows/system32/",
                   L"C:\\\\Windows\\\\System32", L"C:\\Windows\\.\\System32\\..", L"\\\\?\\C:\\Windows",
                   L"C:\\Windows.", L"C:\\Windows\\System32. \\", programs + L"\\Orvalis Enterprise\\..",
                   programs + L"\\Orvalis Enterprise\\..\\.\\", shortName,
                   // A folder that holds folders Windows owns.
                   ParentOf(ShellFolder(CSIDL_LOCAL_APPDATA))});
    EXPECT_NE(std::wstring(shortName), L"");
    const auto refusal = FolderDeletionRefusal(L"C:\\WINDOWS\\SYSTEM32\\DRIVERS\\..\\");
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(*refusal, L"\"C:\\WINDOWS\\SYSTEM32\" is a folder that Windows owns");
}

TEST(FolderDeletionRefusalTest, AllowsFoldersBelowTheOnesWindowsOwns) {
    for (const std::wstring& path :
         {ShellFolder(CSIDL_PROGRAM_FILESX86) + L"\\Orvalis Enterprise", ShellFolder(CSIDL_PROGRAM_FILES) + L"\\X",
          ShellFolder(CSIDL_PERSONAL) + L"\\ORVCredentials", ShellFolder(CSIDL_LOCAL_APPDATA) + L"\\Orvalis",
          TemporaryFolder() + L"orvtree", ShellFolder(CSIDL_PROFILE) + L"\\Orvalis", std::wstring(L"C:\\inetpub\\wwwroot\\ORV"),
          std::wstring(L"\\\\server\\share\\Orvalis"), std::wstring(L"\\\\localhost\\share\\Orvalis")})
        EXPECT_FALSE(FolderDeletionRefusal(path).has_value()) << path;
}

TEST(FolderDeletionRefusalTest, DeleteDirectoryRefusesWithOneLineAndDeletesNothing) {
    const std::wstring documents = ShellFolder(CSIDL_PERSONAL);
    const std::wstring sentinel = documents + L"\\orv-sentinel-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    HANDLE file = CreateFileW(sentinel.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);

    RecordingLog log;
    const bool deleted = DeleteDirectory(documents + L"\\Sub\\..\\", log);
    const bool sentinelKept = GetFileAttributesW(sentinel.c_str()) != INVALID_FILE_ATTRIBUTES;
    DeleteFileW(sentinel.c_str());

    EXPECT_FALSE(deleted);
    EXPECT_TRUE(sentinelKept);
    EXPECT_EQ(log.Text(), L"Deleting directory \"" + documents + L"\\Sub\\..\\\"...refused: \"" + documents +
                              L"\" is a folder that Windows owns\r\n");
}

TEST(FolderDeletionRefusalTest, DeleteDirectoryRemovesAFolderBelowProgramFiles) {
    const std::wstring folder =
        ShellFolder(CSIDL_PROGRAM_FILESX86) + L"\\Orvalis Enterprise " + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring file = folder + L"\\agent.dll";
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(handle);

    RecordingLog log;
    const bool deleted = DeleteDirectory(folder, log);
    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());

    EXPECT_TRUE(deleted);
    EXPECT_EQ(log.Text(), L"Deleting directory \"" + folder + L"\"...done\r\n");
}

TEST(FolderDeletionRefusalTest, DeleteDirectoryRefusesPathsThatDependOnTheCurrentFolder) {
    // The current folder is one the deletion would otherwise accept, so only
    // the form of the path can stop it.
    const std::wstring base =
        ShellFolder(CSIDL_PROGRAM_FILESX86) + L"\\Orvalis Relative " + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(base.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((base + L"\\Data").c_str(), nullptr));
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(base.c_str());

    std::vector<std::wstring> lines;
    for (const wchar_t* path : {L"Data", L".\\Data", L"C:Data"}) {
        RecordingLog log;
        EXPECT_FALSE(DeleteDirectory(path, log)) << path;
        lines.push_back(log.Text());
    }
    const bool kept = GetFileAttributesW((base + L"\\Data").c_str()) != INVALID_FILE_ATTRIBUTES;
    SetCurrentDirectoryW(previous);
    RemoveDirectoryW((base + L"\\Data").c_str());
    RemoveDirectoryW(base.c_str());

    EXPECT_TRUE(kept);
    EXPECT_EQ(lines[0], L"Deleting directory \"Data\"...refused: \"Data\" is not a full path\r\n");
    EXPECT_EQ(lines[2], L"Deleting directory \"C:Data\"...refused: \"C:Data\" is not a full path\r\n");
}

TEST(FolderDeletionRefusalTest, RefusesTheWindowsFolderAndEverythingBelowIt) {
    const std::wstring windows = ShellFolder(CSIDL_WINDOWS);
    ExpectRefused({windows + L"\\System32\\drivers", windows + L"\\Installer", windows + L"\\WinSxS",
                   windows + L"\\Temp\\Orvalis", L"c:/WINDOWS/system32/DRIVERS/etc/"});
    const auto refusal = FolderDeletionRefusal(windows + L"\\Installer\\{0D1E5F2A}");
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(*refusal, L"\"" + windows + L"\\Installer\\{0D1E5F2A}\" is inside \"" + windows +
                            L"\", a folder that Windows owns");
}

TEST(FolderDeletionRefusalTest, RefusesIisWebFoldersAndWhatHoldsThemButNotASiteOfTheSuite) {
    RegistryFixture registry;
    registry.SetExpandString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\InetStp", L"PathWWWRoot",
                             L"%SystemDrive%\\Sites\\Main");
    ExpectRefused({L"C:\\inetpub", L"c:\\INETPUB\\", L"C:\\inetpub\\cgi-bin\\orvreports\\..\\..",
                   L"C:\\inetpub\\wwwroot", L"C:\\inetpub\\ftproot", L"C:\\inetpub\\mailroot",
                   L"C:\\inetpub\\custerr", L"C:\\inetpub\\logs", L"C:\\inetpub\\temp", L"C:\\inetpub\\history",
                   L"C:\\inetpub\\AdminScripts", L"C:\\Sites\\Main", L"C:\\Sites"});
    for (const wchar_t* path : {L"C:\\inetpub\\wwwroot\\orvweb", L"C:\\inetpub\\cgi-bin", L"C:\\Sites\\Main\\orvweb"})
        EXPECT_FALSE(FolderDeletionRefusal(path).has_value()) << path;
    EXPECT_EQ(FolderDeletionRefusal(L"C:\\inetpub\\"), std::wstring(L"\"C:\\inetpub\" is a folder that IIS owns"));
    EXPECT_EQ(FolderDeletionRefusal(L"C:\\Sites"),
              std::wstring(L"\"C:\\Sites\" holds \"C:\\Sites\\Main\", a folder that IIS owns"));
}

TEST(FolderDeletionRefusalTest, RefusesEveryProfileThatProfileListNamesWhereverItIs) {
    RegistryFixture registry;
    registry.SetExpandString(HKEY_LOCAL_MACHINE,
                             L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-0-0-0-" +
                                 std::to_wstring(GetCurrentProcessId()),
                             L"ProfileImagePath", L"%SystemDrive%\\Staff\\alice");
    ExpectRefused({L"C:\\Staff\\alice", L"C:\\Staff"});
    EXPECT_FALSE(FolderDeletionRefusal(L"C:\\Staff\\alice\\Orvalis").has_value());
    EXPECT_EQ(FolderDeletionRefusal(L"c:\\staff\\ALICE"),
              std::wstring(L"\"c:\\staff\\ALICE\" is a user profile folder"));
}

TEST(FolderDeletionRefusalTest, SeesThroughThisMachinesAdminShares) {
    // Wine reaches no share: what is proved is that the path is judged as
    // the local folder it names.
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = static_cast<DWORD>(std::size(computer));
    ASSERT_TRUE(GetComputerNameW(computer, &length));
    ExpectRefused({L"\\\\localhost\\C$\\Windows", L"\\\\127.0.0.1\\c$\\Users\\x",
                   L"\\\\?\\UNC\\" + std::wstring(computer) + L"\\ADMIN$",
                   L"\\\\?\\UNC\\localhost\\C$\\Windows\\System32\\drivers", L"\\\\localhost\\C$",
                   L"\\\\::1\\C$\\Program Files (x86)", L"\\\\" + std::wstring(computer) + L"\\c$\\inetpub"});
    EXPECT_EQ(FolderDeletionRefusal(L"\\\\localhost\\C$\\Windows"),
              std::wstring(L"\"C:\\Windows\" is a folder that Windows owns"));
    EXPECT_FALSE(FolderDeletionRefusal(L"\\\\localhost\\C$\\Program Files (x86)\\Orvalis Enterprise").has_value());
}

std::wstring SystemWindowsFolder() {
    wchar_t buffer[MAX_PATH] = {};
    return std::wstring(buffer, GetSystemWindowsDirectoryW(buffer, MAX_PATH));
}

TEST(FolderDeletionRefusalTest, InsideTheWindowsFolderOnlyTheServiceProfilesDataMayGo) {
    const std::wstring windows = SystemWindowsFolder();
    const std::wstring system32 = windows + L"\\System32\\config\\systemprofile";
    const std::wstring wow64 = windows + L"\\SysWOW64\\config\\systemprofile";
    const std::wstring localService = windows + L"\\ServiceProfiles\\LocalService";
    const std::wstring networkService = windows + L"\\ServiceProfiles\\NetworkService";
    for (const std::wstring& path :
         {system32 + L"\\AppData\\Local\\Orvalis", wow64 + L"\\AppData\\Local\\Orvalis",
          std::wstring(L"c:/WINDOWS/system32/CONFIG/systemprofile/appdata/local/Orvalis/"),
          L"\\\\?\\" + wow64 + L"\\AppData\\Roaming\\Orvalis\\Console", system32 + L"\\Documents\\ORVCredentials",
          localService + L"\\AppData\\Local\\Orvalis", networkService + L"\\AppData\\LocalLow\\Orvalis",
          L"\\\\localhost\\C$" + wow64.substr(2) + L"\\AppData\\Local\\Orvalis"})
        EXPECT_FALSE(FolderDeletionRefusal(path).has_value()) << path;

    // The profiles themselves, their shell folders, what holds them, Windows'
    // own data in them, and everything else inside the Windows folder.
    std::vector<std::wstring> refused = {windows + L"\\System32\\config", windows + L"\\SysWOW64\\config",
                                         windows + L"\\ServiceProfiles", windows + L"\\System32\\config\\Orvalis",
                                         windows + L"\\Temp\\Orvalis", windows + L"\\AppData\\Local\\Orvalis",
                                         system32 + L"\\AppData\\Local\\Orvalis\\..\\..\\..\\..\\..\\drivers"};
    for (const auto& profile : {system32, wow64, localService, networkService}) {
        for (const wchar_t* below : {L"", L"\\AppData", L"\\AppData\\Local", L"\\AppData\\Roaming", L"\\Documents",
                                     L"\\Orvalis", L"\\AppData\\Orvalis", L"\\AppData\\Roaming\\Microsoft\\Protect",
                                     L"\\AppData\\Local\\Microsoft\\Credentials", L"\\AppData\\Local\\Temp",
                                     L"\\AppData\\Local\\Temp\\Orvalis"})
            refused.push_back(profile + below);
    }
    ExpectRefused(refused);
    EXPECT_EQ(FolderDeletionRefusal(system32), L"\"" + system32 + L"\" is a user profile folder");
    EXPECT_EQ(FolderDeletionRefusal(wow64 + L"\\AppData\\Local"),
              L"\"" + wow64 + L"\\AppData\\Local\" is a folder that Windows owns");
    EXPECT_EQ(FolderDeletionRefusal(windows + L"\\System32\\config"),
              L"\"" + windows + L"\\System32\\config\" is inside \"" + windows + L"\", a folder that Windows owns");
    EXPECT_EQ(FolderDeletionRefusal(localService + L"\\AppData\\Roaming\\Microsoft\\Protect"),
              L"\"" + localService + L"\\AppData\\Roaming\\Microsoft\\Protect\" is inside \"" + localService +
                  L"\\AppData\\Roaming\\Microsoft\", a folder that Windows owns");
}

TEST(FolderDeletionRefusalTest, ProfileListEntriesInsideTheWindowsFolderOpenNothing) {
    // ProfileList is registry data: entries that name the Windows folder or
    // folders inside it must not make anything there deletable, and a
    // listed profile stays refused even where folders may go.
    const std::wstring windows = SystemWindowsFolder();
    const std::wstring listed = windows + L"\\ServiceProfiles\\LocalService\\AppData\\Local\\Orvalis\\Home";
    RegistryFixture registry;
    int index = 0;
    for (const std::wstring& image : {std::wstring(L"%SystemRoot%"), std::wstring(L"%SystemRoot%\\System32"),
                                      std::wstring(L"%SystemRoot%\\Temp\\Staff"), listed}) {
        registry.SetExpandString(HKEY_LOCAL_MACHINE,
                                 L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-0-0-" +
                                     std::to_wstring(++index) + L"-" + std::to_wstring(GetCurrentProcessId()),
                                 L"ProfileImagePath", image);
    }
    ExpectRefused({windows + L"\\AppData\\Local\\Orvalis", windows + L"\\Orvalis",
                   windows + L"\\System32\\AppData\\Local\\Orvalis", windows + L"\\System32\\Orvalis",
                   windows + L"\\Temp\\Staff", windows + L"\\Temp\\Staff\\AppData\\Local\\Orvalis", listed,
                   windows + L"\\ServiceProfiles\\LocalService\\AppData\\Local\\Orvalis"});
    EXPECT_EQ(FolderDeletionRefusal(listed), L"\"" + listed + L"\" is a user profile folder");
    EXPECT_FALSE(FolderDeletionRefusal(listed + L"\\..\\Cache").has_value());
}

TEST(FolderDeletionRefusalTest, SeesThroughAdminSharesOfThisMachinesOwnAddresses) {
    // The addresses Windows (here: Wine) reports for this machine's adapters.
    const std::vector<std::wstring> addresses = ThisMachine().addresses;
    ASSERT_FALSE(addresses.empty());
    const std::wstring windows = ShellFolder(CSIDL_WINDOWS);
    for (std::wstring host : addresses) {
        if (host.find(L':') != std::wstring::npos) {
            // As UNC paths write an IPv6 address.
            for (auto& c : host) c = c == L':' ? L'-' : c == L'%' ? L's' : c;
            host += L".ipv6-literal.net";
        }
        const std::wstring inf = L"\\\\" + host + L"\\C$" + windows.substr(2) + L"\\inf";
        EXPECT_EQ(FolderDeletionRefusal(inf),
                  L"\"C:" + windows.substr(2) + L"\\inf\" is inside \"" + windows + L"\", a folder that Windows owns")
            << inf;
        EXPECT_TRUE(FolderDeletionRefusal(L"\\\\" + host + L"\\ADMIN$").has_value()) << host;
    }
}

TEST(FolderDeletionRefusalTest, RefusesAnExistingFolderWhoseFinalPathCannotBeRead) {
    // Wine reads every final path: the failure is injected.
    const std::wstring folder =
        ShellFolder(CSIDL_PROGRAM_FILESX86) + L"\\Orvalis Final " + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    std::optional<std::wstring> refusal, missing;
    {
        WindowsPlatform::ScopedFault unreadable("GetFinalPathNameByHandleW", ERROR_ACCESS_DENIED);
        refusal = FolderDeletionRefusal(folder);
        missing = FolderDeletionRefusal(folder + L"\\Missing");
    }
    const auto readable = FolderDeletionRefusal(folder);
    RemoveDirectoryW(folder.c_str());

    EXPECT_EQ(refusal, L"\"" + folder + L"\" cannot be resolved to its final path");
    EXPECT_FALSE(missing.has_value());  // nothing there to delete
    EXPECT_FALSE(readable.has_value());
}

TEST(MachineTextTest, ReadsPlainAndExpandableValues) {
    const wchar_t* currentVersion = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    EXPECT_EQ(MachineText(currentVersion, L"ProgramFilesDir"), ShellFolder(CSIDL_PROGRAM_FILESX86));
    EXPECT_EQ(MachineText(currentVersion, L"ProgramFilesDir", KEY_WOW64_64KEY), std::wstring(L"C:\\Program Files"));
    const auto profiles =
        MachineText(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", L"ProfilesDirectory");
    ASSERT_TRUE(profiles.has_value());
    EXPECT_EQ(CompareStringOrdinal(profiles->c_str(), -1, ParentOf(ShellFolder(CSIDL_PROFILE)).c_str(), -1, TRUE),
              CSTR_EQUAL)
        << *profiles;

    RegistryFixture registry;
    const std::wstring key = L"SOFTWARE\\" + registry.Unique(L"ORV MachineText");
    registry.SetExpandString(HKEY_LOCAL_MACHINE, key, L"Expandable", L"%SystemDrive%\\x");
    registry.SetDword(HKEY_LOCAL_MACHINE, key, L"Number", 1);
    EXPECT_EQ(MachineText(key.c_str(), L"Expandable"), std::wstring(L"C:\\x"));
    EXPECT_FALSE(MachineText(key.c_str(), L"Number").has_value());
    EXPECT_FALSE(MachineText(key.c_str(), L"Missing").has_value());
}

TEST(LongPathFormTest, SecurityFunctionsGetTheFormWithoutThePrefix) {
    EXPECT_EQ(WithoutLongPathPrefix(LongPathForm(L"\\\\srv\\share\\x")), L"\\\\srv\\share\\x");
    EXPECT_EQ(WithoutLongPathPrefix(L"\\\\?\\C:\\x"), L"C:\\x");
    EXPECT_EQ(WithoutLongPathPrefix(L"MACHINE\\SOFTWARE\\x"), L"MACHINE\\SOFTWARE\\x");
}

}  // namespace
