// Uninstall entry lookups and deletions against the real registry: entries
// are planted under the real Uninstall key (32-bit view) with names unique
// to the test process.

#include "sysops/UninstallEntries.h"

#include "support/RecordingLog.h"
#include "support/RegistryFixture.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kUninstall = kUninstallKeyPath;

class UninstallEntriesTest : public ::testing::Test {
protected:
    // Entry keys enumerate in name order: " first", " other", " second", " third".
    std::wstring Entry(const wchar_t* which) const { return kUninstall + L"\\" + registry.Unique(L"ORVTest") + which; }
    std::wstring Shown(const wchar_t* which) const { return registry.Unique(L"ORVTest") + which; }
    void Plant(const wchar_t* which, const wchar_t* valueName, const std::wstring& text) {
        registry.SetString(HKEY_LOCAL_MACHINE, Entry(which), valueName, text);
    }

    RegistryFixture registry;
    const std::wstring product = registry.Unique(L"ORVTest Agent");
    const std::wstring lookIn = L"\" in \"HKLM\\" + kUninstall + L"\"...";
};

TEST_F(UninstallEntriesTest, FindsEveryEntryWithTheExactDisplayName) {
    Plant(L" first", L"DisplayName", product);
    Plant(L" second", L"DisplayName", product);
    Plant(L" other", L"DisplayName", registry.Unique(L"ORVTest agent"));
    RecordingLog log;

    EXPECT_TRUE(FindUninstallEntry(product, log));
    EXPECT_FALSE(FindUninstallEntry(registry.Unique(L"ORVTest AGENT"), log));
    EXPECT_EQ(log.Text(), L"Looking for product \"" + product + L"\" in \"" + kUninstall + L"\"...\r\n" +
                              L"...found key \"" + Shown(L" first") + L"\"\r\n" + L"...found key \"" +
                              Shown(L" second") + L"\"\r\n" + L"Looking for product \"" +
                              registry.Unique(L"ORVTest AGENT") + L"\" in \"" + kUninstall + L"\"...not found\r\n");
}

TEST_F(UninstallEntriesTest, ValuesComeFromTheFirstEntryThatHasThem) {
    Plant(L" first", L"DisplayName", product);
    Plant(L" second", L"DisplayName", product);
    Plant(L" second", L"UninstallString", L"MsiExec.exe /X{0D5B2B42}");
    Plant(L" first", L"DisplayVersion", L"10.2.0.117");
    Plant(L" second", L"DisplayVersion", L"9.0");
    RecordingLog log;

    EXPECT_EQ(GetUninstallString(product, log), L"MsiExec.exe /X{0D5B2B42}");
    EXPECT_EQ(GetDisplayVersion(product, log), L"10.2.0.117");
    EXPECT_EQ(GetInstallLocation(product, log), std::nullopt);
    EXPECT_EQ(log.Text(), L"Looking for an uninstall string for \"" + product + L"\"...\r\n" +
                              L"...found command MsiExec.exe /X{0D5B2B42}\r\n" +
                              L"Looking for the display version of \"" + product + lookIn + L"found version 10.2.0.117\r\n" +
                              L"Looking for the install location of \"" + product + lookIn + L"not found\r\n");
}

TEST_F(UninstallEntriesTest, InstallLocationsAreExpandedAndEmptyTextCounts) {
    wchar_t programFiles[MAX_PATH] = L"";
    ASSERT_NE(GetEnvironmentVariableW(L"ProgramFiles", programFiles, MAX_PATH), 0u);
    const std::wstring expanded = L"ORVTest Expanded " + product;
    const std::wstring emptyText = L"ORVTest Empty " + product;
    const std::wstring zeroBytes = L"ORVTest Zero " + product;
    Plant(L" first", L"DisplayName", expanded);
    registry.SetExpandString(HKEY_LOCAL_MACHINE, Entry(L" first"), L"InstallLocation", L"%ProgramFiles%\\Orvalis");
    Plant(L" second", L"DisplayName", emptyText);
    Plant(L" second", L"InstallLocation", L"");
    Plant(L" third", L"DisplayName", zeroBytes);
    registry.SetRaw(HKEY_LOCAL_MACHINE, Entry(L" third"), L"InstallLocation", REG_SZ, L"", 0);
    RecordingLog log;

    EXPECT_EQ(GetInstallLocation(expanded, log), std::wstring(programFiles) + L"\\Orvalis");
    EXPECT_EQ(GetInstallLocation(emptyText, log), std::wstring());
    EXPECT_EQ(GetInstallLocation(zeroBytes, log), std::nullopt);
    EXPECT_EQ(log.Text(), L"Looking for the install location of \"" + expanded + lookIn + L"found path \"" +
                              programFiles + L"\\Orvalis\"\r\n" + L"Looking for the install location of \"" +
                              emptyText + lookIn + L"found path \"\"\r\n" +
                              L"Looking for the install location of \"" + zeroBytes + lookIn + L"not found\r\n");
}

TEST_F(UninstallEntriesTest, ValuesFromANamedKey) {
    const std::wstring key = L"SOFTWARE\\" + registry.Unique(L"ORVTest Setup");
    const std::wstring shown = L"HKLM\\" + key;
    registry.SetString(HKEY_LOCAL_MACHINE, key, L"Path", L"C:\\Orvalis");
    registry.SetString(HKEY_LOCAL_MACHINE, key, L"Uninstall", L"C:\\Orvalis\\uninst.exe -s");
    RecordingLog log;

    EXPECT_EQ(GetInstallLocationFromKey(HKEY_LOCAL_MACHINE, key, L"Path", log), L"C:\\Orvalis");
    EXPECT_EQ(GetInstallLocationFromKey(HKEY_LOCAL_MACHINE, key, L"Missing", log), std::nullopt);
    EXPECT_EQ(GetUninstallStringFromKey(HKEY_LOCAL_MACHINE, key, L"Uninstall", L"Relay", log),
              L"C:\\Orvalis\\uninst.exe -s");
    EXPECT_EQ(GetUninstallStringFromKey(HKEY_LOCAL_MACHINE, key, L"Missing", L"Relay", log), std::nullopt);
    EXPECT_EQ(log.Text(),
              L"Looking for the install location in \"" + shown + L":[Path]\"...found path \"C:\\Orvalis\"\r\n" +
                  L"Looking for the install location in \"" + shown + L":[Missing]\"...not found\r\n" +
                  L"Looking for an uninstall string for \"Relay\" in key \"" + shown + L":[Uninstall]\"...\r\n" +
                  L"...found command C:\\Orvalis\\uninst.exe -s\r\n" +
                  L"Looking for an uninstall string for \"Relay\" in key \"" + shown + L":[Missing]\"...not found\r\n");
}

TEST_F(UninstallEntriesTest, RemovesEveryMatchingEntryAndNothingElse) {
    Plant(L" first", L"DisplayName", product);
    Plant(L" second", L"DisplayName", product);
    registry.CreateKey(HKEY_LOCAL_MACHINE, Entry(L" second") + L"\\Sub");
    Plant(L" other", L"DisplayName", registry.Unique(L"ORVTest agent"));
    RecordingLog log;

    EXPECT_TRUE(RemoveUninstallEntries(product, log));
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, Entry(L" first")));
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, Entry(L" second")));
    EXPECT_TRUE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, Entry(L" other")));
    EXPECT_EQ(log.Text(), L"Deleting registry key \"HKLM\\" + Entry(L" first") + L"\"...done\r\n" +
                              L"Deleting registry key \"HKLM\\" + Entry(L" second") + L"\"...done\r\n");

    RecordingLog again;
    EXPECT_TRUE(RemoveUninstallEntries(product, again));
    EXPECT_EQ(again.Text(), L"");
}

}  // namespace
