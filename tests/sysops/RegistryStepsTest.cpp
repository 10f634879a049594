// The logged registry steps against the real registry (32-bit view). Wine
// does not enforce registry DACLs, so refusals come from the fault seam.

#include "sysops/Registry.h"

#include "platform/FaultInjection.h"
#include "support/ErrorText.h"
#include "support/RecordingLog.h"
#include "support/RegistryFixture.h"

#include <gtest/gtest.h>

namespace {

using WindowsPlatform::ScopedFault;

class RegistryStepsTest : public ::testing::Test {
protected:
    std::wstring Key(const std::wstring& sub = L"") const { return sub.empty() ? base : base + L"\\" + sub; }
    std::wstring Shown(const std::wstring& sub = L"") const { return L"HKLM\\" + Key(sub); }
    bool Exists(const std::wstring& sub = L"") const { return RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, Key(sub)); }

    // base\A\A1, base\A\A2, base\B
    void PlantTree() {
        registry.SetString(HKEY_LOCAL_MACHINE, Key(L"A\\A1"), L"v", L"1");
        registry.CreateKey(HKEY_LOCAL_MACHINE, Key(L"A\\A2"));
        registry.SetDword(HKEY_LOCAL_MACHINE, Key(L"B"), L"d", 2);
    }

    RegistryFixture registry;
    const std::wstring base = L"SOFTWARE\\" + registry.Unique(L"ORVTest Steps");
    const std::wstring accessDenied = WindowsErrorText(ERROR_ACCESS_DENIED);
};

TEST_F(RegistryStepsTest, ExistenceChecksWriteOneLineEach) {
    registry.SetString(HKEY_LOCAL_MACHINE, Key(), L"Version", L"1.0");
    registry.SetRaw(HKEY_LOCAL_MACHINE, Key(), L"Empty", REG_SZ, L"", 0);
    RecordingLog log;

    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Key(), log));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, Key(L"missing"), log));
    EXPECT_TRUE(RegistryValueExists(HKEY_LOCAL_MACHINE, Key(), L"Version", log));
    EXPECT_TRUE(RegistryValueExists(HKEY_LOCAL_MACHINE, Key(), L"Empty", log));
    EXPECT_FALSE(RegistryValueExists(HKEY_LOCAL_MACHINE, Key(), L"Other", log));
    EXPECT_FALSE(RegistryValueExists(HKEY_LOCAL_MACHINE, Key(L"missing"), L"Version", log));

    EXPECT_EQ(log.Text(),
              L"Checking for registry key \"" + Shown() + L"\"...found\r\n"
              L"Checking for registry key \"" + Shown(L"missing") + L"\"...not found\r\n"
              L"Checking for registry key value \"" + Shown() + L":[Version]\"...found\r\n"
              L"Checking for registry key value \"" + Shown() + L":[Empty]\"...found\r\n"
              L"Checking for registry key value \"" + Shown() + L":[Other]\"...not found\r\n"
              L"Checking for registry key value \"" + Shown(L"missing") + L":[Version]\"...not found\r\n");
}

TEST_F(RegistryStepsTest, DeletingAMissingKeyWritesNothingAndTouchesNothing) {
    RecordingLog log;
    // Any deletion attempt would fail: the silent check comes first.
    ScopedFault refused("RegDeleteKeyExW", ERROR_ACCESS_DENIED);
    EXPECT_TRUE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, Key(L"missing"), log));
    EXPECT_EQ(log.Text(), L"");
}

TEST_F(RegistryStepsTest, DeletesAWholeTree) {
    PlantTree();
    RecordingLog log;
    EXPECT_TRUE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, Key(), log));
    EXPECT_FALSE(Exists());
    EXPECT_EQ(log.Text(), L"Deleting registry key \"" + Shown() + L"\"...done\r\n");
}

TEST_F(RegistryStepsTest, FailurePartWayStopsLeafFirstDeletionAndWritesNoDone) {
    PlantTree();
    RecordingLog log;
    // The two leaves under A go first; A itself is the third deletion.
    ScopedFault refused("RegDeleteKeyExW", ERROR_ACCESS_DENIED, 2);
    EXPECT_FALSE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, Key(), log));

    EXPECT_FALSE(Exists(L"A\\A1"));
    EXPECT_FALSE(Exists(L"A\\A2"));
    EXPECT_TRUE(Exists(L"A"));
    EXPECT_TRUE(Exists(L"B"));
    EXPECT_TRUE(RegistryFixture::ValueExists(HKEY_LOCAL_MACHINE, Key(L"B"), L"d"));
    EXPECT_EQ(log.Text(), L"Deleting registry key \"" + Shown() + L"\"..." + accessDenied + L"\r\n" +
                              L"...error occured while trying to delete key \"" + Shown(L"A") + L"\"\r\n");
}

TEST_F(RegistryStepsTest, EnumerationFailureIsReportedForItsKey) {
    PlantTree();
    RecordingLog log;
    ScopedFault refused("RegEnumKeyExW", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, Key(), log));
    EXPECT_TRUE(Exists(L"A\\A1"));
    EXPECT_EQ(log.Text(), L"Deleting registry key \"" + Shown() + L"\"..." + accessDenied + L"\r\n" +
                              L"...error occured while enumerating subkeys of \"" + Shown() + L"\"\r\n");
}

TEST_F(RegistryStepsTest, GrantingAccessToADeletableKeyWritesNothing) {
    registry.CreateKey(HKEY_LOCAL_MACHINE, Key());
    RecordingLog log;
    EXPECT_TRUE(GrantRegistryKeyAccess(HKEY_LOCAL_MACHINE, Key(), log));
    {
        // Refused at first, then recovered by setting the key's security.
        ScopedFault refused("RegOpenKeyExW/DELETE", ERROR_ACCESS_DENIED);
        EXPECT_TRUE(GrantRegistryKeyAccess(HKEY_LOCAL_MACHINE, Key(), log));
        EXPECT_TRUE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, Key(), log));
    }
    EXPECT_FALSE(Exists());
    EXPECT_EQ(log.Text(), L"Deleting registry key \"" + Shown() + L"\"...done\r\n");
}

TEST_F(RegistryStepsTest, KeyThatRefusesEveryRecoveryStaysWithOneErrorLine) {
    PlantTree();
    RecordingLog log;
    ScopedFault deleteRefused("RegOpenKeyExW/DELETE", ERROR_ACCESS_DENIED);
    ScopedFault daclRefused("SetNamedSecurityInfoW/DACL", ERROR_ACCESS_DENIED);
    ScopedFault ownerRefused("SetNamedSecurityInfoW/OWNER", ERROR_ACCESS_DENIED);

    EXPECT_FALSE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, Key(), log));
    EXPECT_TRUE(Exists(L"A\\A1"));
    EXPECT_EQ(log.Text(), L"Deleting registry key \"" + Shown() + L"\"...error changing object owner: " +
                              accessDenied + L"...error occured while granting access to key \"" + Shown() +
                              L"\"\r\n");
}

TEST(RegistryGrantTest, CurrentConfigKeysCannotBeRecovered) {
    RecordingLog log;
    ScopedFault deleteRefused("RegOpenKeyExW/DELETE", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(GrantRegistryKeyAccess(HKEY_CURRENT_CONFIG, L"SOFTWARE\\Orvalis", log));
    EXPECT_EQ(log.Text(),
              L"Unknown HKEY rootKey type...error occured while granting access to key \"HKCC\\SOFTWARE\\Orvalis\"\r\n");
}

}  // namespace
