#include "sysops/PathSafety.h"

#include "platform/FaultInjection.h"
#include "support/RecordingLog.h"
#include "support/RegistryFixture.h"
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
