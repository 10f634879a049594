// Windows Installer record lookups and deletions against the real registry:
// records are planted under the real installer keys (32-bit view) with
// names unique to the test process.

#include "sysops/InstallerRecords.h"

#include "platform/FaultInjection.h"
#include "support/ErrorText.h"
#include "support/RecordingLog.h"
#include "support/RegistryFixture.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kProducts = kInstallerProductsKeyPath;
const std::wstring kFeatures = kInstallerFeaturesKeyPath;
const std::wstring kUpgradeCodes = kInstallerUpgradeCodesKeyPath;
const std::wstring kUserData = kInstallerUserDataProductsKeyPath;

class InstallerRecordsTest : public ::testing::Test {
protected:
    bool Exists(const std::wstring& path) const { return RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, path); }
    std::wstring Look(const std::wstring& name) const {
        return L"Looking for product \"" + name + L"\" in \"" + kProducts + L"\"..." +
               L"Looking for removed product \"" + name + L"\" in \"" + kProducts + L"\"..." + L"Looking for \"" +
               name + L"\" installer properties in \"" + kUserData + L"\"...";
    }

    RegistryFixture registry;
    const std::wstring product = registry.Unique(L"ORVTest Server");
    const std::wstring key = registry.Unique(L"ORVTest P");        // a product key
    const std::wstring removedKey = registry.Unique(L"ORVTest R");  // a removed product's key
    const std::wstring userKey = registry.Unique(L"ORVTest U");     // its UserData key
};

TEST_F(InstallerRecordsTest, ReportsAllThreeSearchesOnOneLine) {
    registry.SetString(HKEY_LOCAL_MACHINE, kProducts + L"\\" + key, L"ProductName", product);
    registry.SetString(HKEY_LOCAL_MACHINE, kUserData + L"\\" + userKey + L"\\InstallProperties", L"DisplayName", product);
    const std::wstring absent = registry.Unique(L"ORVTest Missing");
    RecordingLog log;

    EXPECT_TRUE(FindInstallerProduct(product, log));
    EXPECT_FALSE(FindInstallerProduct(absent, log));
    EXPECT_EQ(log.Text(), Look(product) + L"\r\n...found key \"" + key + L"\"\r\n...found key \"" + userKey +
                              L"\"\r\n" + Look(absent) + L"not found\r\n");
}

TEST_F(InstallerRecordsTest, RemovedProductNameCountsAndCaseMatters) {
    registry.SetString(HKEY_LOCAL_MACHINE, kProducts + L"\\" + removedKey, L"RemovedProductName", product);
    registry.SetString(HKEY_LOCAL_MACHINE, kProducts + L"\\" + key, L"ProductName", registry.Unique(L"orvtest server"));
    RecordingLog log;

    EXPECT_TRUE(FindInstallerProduct(product, log));
    EXPECT_EQ(log.Text(), Look(product) + L"\r\n...found key \"" + removedKey + L"\"\r\n");
}

TEST_F(InstallerRecordsTest, RemovesProductFeaturesSharedUpgradeCodesAndInstallProperties) {
    const std::wstring shared = registry.Unique(L"ORVTest Code shared");  // lists this product and another
    const std::wstring foreign = registry.Unique(L"ORVTest Code foreign");  // lists another product only
    const std::wstring empty = registry.Unique(L"ORVTest Code empty");      // lists it with a 0-byte value
    registry.SetString(HKEY_LOCAL_MACHINE, kProducts + L"\\" + key, L"ProductName", product);
    registry.CreateKey(HKEY_LOCAL_MACHINE, kProducts + L"\\" + key + L"\\SourceList");
    registry.SetString(HKEY_LOCAL_MACHINE, kFeatures + L"\\" + key, L"Server", L"");
    registry.SetString(HKEY_LOCAL_MACHINE, kUpgradeCodes + L"\\" + shared, key.c_str(), L"");
    registry.SetString(HKEY_LOCAL_MACHINE, kUpgradeCodes + L"\\" + shared, L"OtherProductKey", L"");
    registry.SetString(HKEY_LOCAL_MACHINE, kUpgradeCodes + L"\\" + foreign, L"OtherProductKey", L"");
    registry.SetRaw(HKEY_LOCAL_MACHINE, kUpgradeCodes + L"\\" + empty, key.c_str(), REG_SZ, L"", 0);
    registry.SetString(HKEY_LOCAL_MACHINE, kProducts + L"\\" + removedKey, L"RemovedProductName", product);
    registry.SetString(HKEY_LOCAL_MACHINE, kUserData + L"\\" + userKey + L"\\InstallProperties", L"DisplayName", product);
    RecordingLog log;

    EXPECT_TRUE(RemoveInstallerRecords(product, log));
    EXPECT_FALSE(Exists(kProducts + L"\\" + key));
    EXPECT_FALSE(Exists(kFeatures + L"\\" + key));
    EXPECT_FALSE(Exists(kUpgradeCodes + L"\\" + shared));
    EXPECT_TRUE(Exists(kUpgradeCodes + L"\\" + foreign));
    EXPECT_TRUE(Exists(kUpgradeCodes + L"\\" + empty));
    EXPECT_FALSE(Exists(kProducts + L"\\" + removedKey));
    EXPECT_FALSE(Exists(kUserData + L"\\" + userKey));
    EXPECT_EQ(log.Text(), L"Deleting registry key \"HKLM\\" + kProducts + L"\\" + key + L"\"...done\r\n" +
                              L"Checking for registry key \"HKLM\\" + kFeatures + L"\\" + key + L"\"...found\r\n" +
                              L"Deleting registry key \"HKLM\\" + kFeatures + L"\\" + key + L"\"...done\r\n" +
                              L"Deleting registry key \"HKLM\\" + kUpgradeCodes + L"\\" + shared + L"\"...done\r\n" +
                              L"Deleting registry key \"HKLM\\" + kProducts + L"\\" + removedKey + L"\"...done\r\n" +
                              L"Checking for registry key \"HKLM\\" + kFeatures + L"\\" + removedKey +
                              L"\"...not found\r\n" + L"Deleting registry key \"HKLM\\" + kUserData + L"\\" +
                              userKey + L"\"...done\r\n");
}

TEST_F(InstallerRecordsTest, UndeletableInstallPropertiesAreNamedInTheLog) {
    const std::wstring path = kUserData + L"\\" + userKey;
    registry.SetString(HKEY_LOCAL_MACHINE, path + L"\\InstallProperties", L"DisplayName", product);
    RecordingLog log;
    WindowsPlatform::ScopedFault refused("RegDeleteKeyExW", ERROR_ACCESS_DENIED);

    EXPECT_FALSE(RemoveInstallerRecords(product, log));
    EXPECT_TRUE(Exists(path + L"\\InstallProperties"));
    EXPECT_EQ(log.Text(), L"Deleting registry key \"HKLM\\" + path + L"\"..." + WindowsErrorText(ERROR_ACCESS_DENIED) +
                              L"\r\n...error occured while trying to delete key \"HKLM\\" + path +
                              L"\\InstallProperties\"\r\n" + L"Failed to delete " + path + L"\r\n");
}

}  // namespace
