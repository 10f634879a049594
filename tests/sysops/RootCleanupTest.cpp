// The final cleanup on the real registry and file system of the test
// prefix: what it removes, what it leaves, and what it writes.

#include "sysops/RootCleanup.h"
#include "sysops/ShellFolders.h"
#include "support/PendingRestartDeletions.h"
#include "support/RecordingLog.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

const std::wstring kUserHives[] = {L".Default", L"S-1-5-21-0-0-0-1000"};

void CreateKey(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS)
        << path;
    RegCloseKey(key);
}

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void DeleteTree(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) return;
    RegDeleteTreeW(key, nullptr);
    RegCloseKey(key);
    RegDeleteKeyExW(root, path.c_str(), KEY_WOW64_32KEY, 0);
}

void WriteFile(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    ::WriteFile(file, "data", 4, &written, nullptr);
    CloseHandle(file);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveFolder(path);
            else DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

class RootCleanupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LocalAppDataFolder().has_value());
        ASSERT_TRUE(ProgramFilesFolder().has_value());
        localData = *LocalAppDataFolder() + L"\\Orvalis";
        programFolder = *ProgramFilesFolder() + L"\\Orvalis Enterprise";
        lookAlikeFolder = *ProgramFilesFolder() + L"\\Orvalis Enterprise Tools";
        TearDown();
    }
    void TearDown() override {
        for (const auto& folder : {localData, programFolder, lookAlikeFolder}) RemoveFolder(folder);
        for (const wchar_t* key : {L"SOFTWARE\\Orvalis", L"SOFTWARE\\Orvalis, Inc.", L"SOFTWARE\\Orvalis Labs"})
            DeleteTree(HKEY_LOCAL_MACHINE, key);
        for (const auto& hive : kUserHives) {
            DeleteTree(HKEY_USERS, hive + L"\\Software\\Orvalis");
            DeleteTree(HKEY_USERS, hive + L"\\Software\\OrvalisX");
        }
    }

    void PlantEverything() {
        CreateDirectoryW(localData.c_str(), nullptr);
        WriteFile(localData + L"\\settings.dat");
        CreateDirectoryW(programFolder.c_str(), nullptr);
        CreateDirectoryW((programFolder + L"\\ORV Client").c_str(), nullptr);
        WriteFile(programFolder + L"\\ORV Client\\readonly.txt", FILE_ATTRIBUTE_READONLY);
        CreateKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis\\EnterpriseClient");
        CreateKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis, Inc.\\Orvalis Enterprise Client");
        for (const auto& hive : kUserHives) CreateKey(HKEY_USERS, hive + L"\\Software\\Orvalis\\Console");
    }

    std::wstring localData, programFolder, lookAlikeFolder;
};

TEST_F(RootCleanupTest, CleanMachineWritesNothing) {
    RecordingLog log;
    RemoveRootFoldersAndKeys(log);
    EXPECT_EQ(log.Text(), L"");
}

TEST_F(RootCleanupTest, RemovesFoldersMachineKeysAndEveryHiveKeyAndNothingElse) {
    PlantEverything();
    CreateDirectoryW(lookAlikeFolder.c_str(), nullptr);
    CreateKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis Labs");
    for (const auto& hive : kUserHives) CreateKey(HKEY_USERS, hive + L"\\Software\\OrvalisX");

    RecordingLog log;
    RemoveRootFoldersAndKeys(log);

    std::wstring expected = L"Deleting directory \"" + localData + L"\"...done\r\n" + L"Deleting directory \"" +
                            programFolder + L"\"...done\r\n" +
                            L"Deleting registry key \"HKLM\\SOFTWARE\\Orvalis\"...done\r\n" +
                            L"Deleting registry key \"HKLM\\SOFTWARE\\Orvalis, Inc.\"...done\r\n";
    for (const auto& hive : kUserHives)
        expected += L"Deleting registry key \"HKU\\" + hive + L"\\Software\\Orvalis\"...done\r\n";
    EXPECT_EQ(log.Text(), expected);

    EXPECT_FALSE(Exists(localData));
    EXPECT_FALSE(Exists(programFolder));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis, Inc."));
    for (const auto& hive : kUserHives) {
        EXPECT_FALSE(KeyExists(HKEY_USERS, hive + L"\\Software\\Orvalis"));
        EXPECT_TRUE(KeyExists(HKEY_USERS, hive + L"\\Software\\OrvalisX"));
    }
    EXPECT_TRUE(Exists(lookAlikeFolder));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis Labs"));
}

TEST_F(RootCleanupTest, KeysGoEvenWhenTheProgramFolderIsLeftToTheRestart) {
    ScopedPendingRestartDeletions pending;
    PlantEverything();
    const std::wstring held = programFolder + L"\\ORV Client\\in-use.log";
    WriteFile(held);
    HANDLE file = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);

    RecordingLog log;
    RemoveRootFoldersAndKeys(log);
    CloseHandle(file);

    const std::wstring text = log.Text();
    EXPECT_NE(text.find(L"Deleting directory \"" + programFolder + L"\"...scheduled for deletion at the next "
                        L"restart, in use: \"" + held + L"\"\r\n"),
              std::wstring::npos)
        << text;
    EXPECT_EQ(pending.AddedDeletions().size(), 3u);  // the file, its folder, the program folder
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis"));
    for (const auto& hive : kUserHives) EXPECT_FALSE(KeyExists(HKEY_USERS, hive + L"\\Software\\Orvalis"));
}

}  // namespace
