#include "sysops/ProtectedFolders.h"

#include "support/RegistryFixture.h"

#include <shlobj.h>

#include <gtest/gtest.h>

namespace {

std::wstring ShellFolder(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    EXPECT_EQ(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer), S_OK) << csidl;
    return buffer;
}

std::wstring ParentOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

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

}  // namespace
