#include "platform/WindowsVersion.h"

#include <gtest/gtest.h>

namespace {

// Wine's kernel32.dll carries the product version of Windows 10 while
// GetVersionExW reports Windows 7 to a program without a manifest.
TEST(WindowsVersionTest, ComesFromKernel32NotFromGetVersionEx) {
    const WindowsVersionNumber& version = WindowsVersion();
    EXPECT_EQ(version.major, 10u);
    EXPECT_EQ(version.minor, 0u);
    EXPECT_GT(version.build, 0u);
    EXPECT_LE(version.revision, 0xFFFFu);
    EXPECT_EQ(version.partCount, 4u);
    EXPECT_EQ(&version, &WindowsVersion());  // read once

    OSVERSIONINFOW reported{};
    reported.dwOSVersionInfoSize = sizeof reported;
    ASSERT_TRUE(GetVersionExW(&reported));
    EXPECT_NE(reported.dwMajorVersion, version.major) << "Wine now reports the real version";
}

TEST(WindowsVersionTest, AtLeastComparesMajorThenMinor) {
    EXPECT_TRUE(IsWindowsVersionAtLeast(6, 0));
    EXPECT_TRUE(IsWindowsVersionAtLeast(6, 3));
    EXPECT_TRUE(IsWindowsVersionAtLeast(10, 0));
    EXPECT_FALSE(IsWindowsVersionAtLeast(10, 1));
    EXPECT_FALSE(IsWindowsVersionAtLeast(11, 0));
}

TEST(WindowsVersionTest, UnreadableVersionResourceGivesZero) {
    const WindowsVersionNumber missing = ReadProductVersion(L"C:\\no such folder\\kernel32.dll");
    EXPECT_EQ(missing.major, 0u);
    EXPECT_EQ(missing.minor, 0u);
    EXPECT_EQ(missing.build, 0u);
    EXPECT_EQ(missing.partCount, 4u);

    // A file without a version resource.
    wchar_t windows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
    const WindowsVersionNumber none = ReadProductVersion((std::wstring(windows) + L"\\win.ini").c_str());
    EXPECT_EQ(none.major, 0u);
}

}  // namespace
