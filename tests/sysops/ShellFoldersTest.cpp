#include "sysops/ShellFolders.h"

#include "platform/FaultInjection.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

// The suite's cases share one process: each starts with empty folder caches.
namespace {

using WindowsPlatform::ScopedFault;

class ShellFoldersTest : public ::testing::Test {
protected:
    void SetUp() override { ForgetSpecialFolders(); }
    void TearDown() override { ForgetSpecialFolders(); }
};

TEST_F(ShellFoldersTest, NamesTheShellFoldersOfA32BitProgram) {
    wchar_t documents[MAX_PATH], localAppData[MAX_PATH], programs[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, documents), S_OK);
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, localAppData), S_OK);
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILESX86, nullptr, 0, programs), S_OK);
    EXPECT_EQ(DocumentsFolder(), std::optional<std::wstring>(documents));
    EXPECT_EQ(LocalAppDataFolder(), std::optional<std::wstring>(localAppData));
    EXPECT_EQ(ProgramFilesFolder(), std::optional<std::wstring>(L"C:\\Program Files (x86)"));
    EXPECT_EQ(GetSpecialFolder(CSIDL_PROGRAM_FILESX86), std::optional<std::wstring>(programs));
}

TEST_F(ShellFoldersTest, FailedLookupGivesAbsent) {
    ScopedFault failed("SHGetFolderPathW", ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(GetSpecialFolder(CSIDL_PERSONAL).has_value());
}

TEST_F(ShellFoldersTest, FoundFolderIsLookedUpOnce) {
    const auto first = ProgramFilesFolder();
    ASSERT_TRUE(first.has_value());
    ScopedFault failed("SHGetFolderPathW", ERROR_FILE_NOT_FOUND);
    auto second = ProgramFilesFolder();
    EXPECT_EQ(second, first);
    // Each call hands out a copy of its own.
    second->append(L"\\changed");
    EXPECT_EQ(ProgramFilesFolder(), first);
}

TEST_F(ShellFoldersTest, AbsentFolderIsCachedAndNeverAskedAgain) {
    {
        ScopedFault failed("SHGetFolderPathW", ERROR_FILE_NOT_FOUND, 0, 1);
        EXPECT_FALSE(LocalAppDataFolder().has_value());
    }
    EXPECT_TRUE(GetSpecialFolder(CSIDL_LOCAL_APPDATA).has_value());
    EXPECT_FALSE(LocalAppDataFolder().has_value());
    EXPECT_TRUE(DocumentsFolder().has_value());
}

}  // namespace
