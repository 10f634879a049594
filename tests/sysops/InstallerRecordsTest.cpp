// Windows Installer record lookups and deletions against the real registry:
// records are planted under the real installer keys (32-bit view, and the
// 64-bit view where Windows Installer keeps its UserData on 64-bit Windows)
// with names unique to the test process. The tests run under WoW64, so the
// 64-bit view exists; the "IsWow64Process" seam plays 32-bit Windows.

#include "sysops/InstallerRecords.h"

#include "platform/FaultInjection.h"
#include "sysops/ActionPlan.h"
#include "sysops/RegistryExport.h"
#include "sysops/RegistrySearchIndex.h"
#include "support/ErrorText.h"
#include "support/RecordingLog.h"
#include "support/RegistryFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

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

// --- The 64-bit view and the component registrations ---

const std::wstring kUserDataRoot = kInstallerUserDataKeyPath;

class Native64RecordsTest : public InstallerRecordsTest {
protected:
    static constexpr REGSAM k64 = KEY_WOW64_64KEY;
    bool Exists64(const std::wstring& path) const { return RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, path, k64); }
    bool HasValue64(const std::wstring& path, const std::wstring& name) const {
        return RegistryFixture::ValueExists(HKEY_LOCAL_MACHINE, path, name.c_str(), k64);
    }
    // The place's line as Windows names the key.
    static std::wstring Named(const std::wstring& path) {
        return KeyPlaceName(HKEY_LOCAL_MACHINE, path, RegistryView::Native64);
    }
    std::wstring Products64(const std::wstring& sid) const { return kUserDataRoot + L"\\" + sid + L"\\Products"; }
    std::wstring Components(const std::wstring& sid) const { return kUserDataRoot + L"\\" + sid + L"\\Components"; }
    void PlantUserData64(const std::wstring& sid, const std::wstring& productKey, const std::wstring& name) {
        registry64.SetString(HKEY_LOCAL_MACHINE, Products64(sid) + L"\\" + productKey + L"\\InstallProperties",
                             L"DisplayName", name);
    }

    RegistryFixture registry64{KEY_WOW64_64KEY};
    const std::wstring userSid = registry.Unique(L"S-1-5-21-7-7-7");  // a user's own installations
    const std::wstring component1 = registry.Unique(L"ORVTest C1");    // this product and a bystander
    const std::wstring component2 = registry.Unique(L"ORVTest C2");    // this product alone
    const std::wstring component3 = registry.Unique(L"ORVTest C3");    // the bystander alone
    const std::wstring bystanderKey = registry.Unique(L"ORVTest B");
};

TEST_F(Native64RecordsTest, A64BitRecordAloneIsFoundOnALineOfItsOwnNamedAsWindowsNamesIt) {
    PlantUserData64(L"S-1-5-18", key, product);
    PlantUserData64(userSid, userKey, product);
    RecordingLog log;

    EXPECT_TRUE(FindInstallerProduct(product, log));
    const std::wstring machine = Named(Products64(L"S-1-5-18"));
    EXPECT_EQ(_wcsicmp(machine.c_str(), (L"HKLM\\" + Products64(L"S-1-5-18")).c_str()), 0) << machine;
    const std::wstring classic = Look(product) + L"not found\r\n";
    const std::wstring machineLine =
        L"Looking for \"" + product + L"\" installer properties in \"" + machine + L"\"...\r\n...found key \"" + key + L"\"\r\n";
    const std::wstring userLine = L"Looking for \"" + product + L"\" installer properties in \"" +
                                  Named(Products64(userSid)) + L"\"...\r\n...found key \"" + userKey + L"\"\r\n";
    // The places in the order UserData lists its SIDs.
    const std::wstring text = log.Text();
    EXPECT_EQ(text.substr(0, classic.size()), classic);
    EXPECT_TRUE(text == classic + machineLine + userLine || text == classic + userLine + machineLine) << text;
}

TEST_F(Native64RecordsTest, RepeatedLookupsAreAnsweredFromTheSearchIndex) {
    PlantUserData64(L"S-1-5-18", key, product);
    PlantUserData64(userSid, userKey, product);
    Remove::Log silent;
    ASSERT_TRUE(FindInstallerProduct(product, silent));
    const RegistrySearchIndexCounts before = CurrentRegistrySearchIndexCounts();
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(FindInstallerProduct(product, silent));
        EXPECT_FALSE(FindInstallerProduct(registry.Unique(L"ORVTest Missing"), silent));
    }
    const RegistrySearchIndexCounts after = CurrentRegistrySearchIndexCounts();
    EXPECT_EQ(after.listings, before.listings);
    EXPECT_EQ(after.columns, before.columns);
}

TEST_F(Native64RecordsTest, On32BitWindowsThe64BitViewIsNotSearched) {
    PlantUserData64(L"S-1-5-18", key, product);
    WindowsPlatform::ScopedFault thirtyTwoBit("IsWow64Process", 1);
    RecordingLog log;

    EXPECT_FALSE(FindInstallerProduct(product, log));
    EXPECT_TRUE(RemoveInstallerRecords(product, log));
    EXPECT_TRUE(Exists64(Products64(L"S-1-5-18") + L"\\" + key));
    EXPECT_EQ(log.Text(), Look(product) + L"not found\r\n");
}

TEST_F(Native64RecordsTest, NothingFoundNothingWritten) {
    // A bystander's registration in the 64-bit view is nobody's business.
    PlantUserData64(L"S-1-5-18", bystanderKey, registry.Unique(L"ORVTest Bystander"));
    registry64.SetString(HKEY_LOCAL_MACHINE, Components(L"S-1-5-18") + L"\\" + component3, bystanderKey.c_str(),
                         L"C:\\b.exe");
    RecordingLog log;

    EXPECT_TRUE(RemoveInstallerRecords(product, log));
    EXPECT_EQ(log.Text(), L"");
    EXPECT_TRUE(RemoveComponentRegistrations({}, log));
    EXPECT_EQ(log.Text(), L"");
    EXPECT_TRUE(HasValue64(Components(L"S-1-5-18") + L"\\" + component3, bystanderKey));
}

TEST_F(Native64RecordsTest, ComponentRegistrationsGoButABystandersValueStays) {
    const std::wstring sid = L"S-1-5-18";
    PlantUserData64(sid, key, product);
    PlantUserData64(sid, bystanderKey, registry.Unique(L"ORVTest Bystander"));
    const std::wstring c1 = Components(sid) + L"\\" + component1;
    const std::wstring c2 = Components(sid) + L"\\" + component2;
    const std::wstring c3 = Components(sid) + L"\\" + component3;
    registry64.SetString(HKEY_LOCAL_MACHINE, c1, key.c_str(), L"C:\\p.exe");
    registry64.SetString(HKEY_LOCAL_MACHINE, c1, bystanderKey.c_str(), L"C:\\b.exe");
    registry64.SetString(HKEY_LOCAL_MACHINE, c2, key.c_str(), L"C:\\p.dll");
    registry64.SetString(HKEY_LOCAL_MACHINE, c3, bystanderKey.c_str(), L"C:\\b.dll");
    // The same in the program's view, where a registration may also be.
    const std::wstring c2Program = Components(sid) + L"\\" + component2;
    registry.SetString(HKEY_LOCAL_MACHINE, c2Program, key.c_str(), L"C:\\p.dll");
    RecordingLog log;

    EXPECT_TRUE(RemoveInstallerRecords(product, log));
    EXPECT_FALSE(Exists64(Products64(sid) + L"\\" + key));
    EXPECT_TRUE(Exists64(Products64(sid) + L"\\" + bystanderKey));
    EXPECT_FALSE(HasValue64(c1, key));
    EXPECT_TRUE(HasValue64(c1, bystanderKey));
    EXPECT_FALSE(Exists64(c2));
    EXPECT_TRUE(HasValue64(c3, bystanderKey));
    EXPECT_FALSE(Exists(c2Program));
    EXPECT_EQ(log.Text(), L"Deleting registry key \"HKLM\\" + Products64(sid) + L"\\" + key + L"\"...done\r\n" +
                              L"Deleting registry value \"HKLM\\" + c1 + L":[" + key + L"]\"...done\r\n" +
                              L"Deleting registry key \"HKLM\\" + c2 + L"\"...done\r\n" +
                              L"Deleting registry key \"HKLM\\" + c2Program + L"\"...done\r\n");
}

TEST_F(Native64RecordsTest, AClassicPlacesProductKeyAlsoTakesItsComponentRegistrations) {
    registry.SetString(HKEY_LOCAL_MACHINE, kProducts + L"\\" + key, L"ProductName", product);
    const std::wstring userComponents = Components(userSid) + L"\\" + component2;
    registry64.SetString(HKEY_LOCAL_MACHINE, userComponents, key.c_str(), L"C:\\p.dll");
    RecordingLog log;

    EXPECT_TRUE(RemoveInstallerRecords(product, log));
    EXPECT_FALSE(Exists(kProducts + L"\\" + key));
    EXPECT_FALSE(Exists64(userComponents));
}

TEST_F(Native64RecordsTest, TheRegistrationsOfARecordThatStaysStayToo) {
    PlantUserData64(L"S-1-5-18", key, product);
    const std::wstring c2 = Components(L"S-1-5-18") + L"\\" + component2;
    registry64.SetString(HKEY_LOCAL_MACHINE, c2, key.c_str(), L"C:\\p.dll");
    const std::wstring path = Products64(L"S-1-5-18") + L"\\" + key;
    RecordingLog log;
    WindowsPlatform::ScopedFault refused("RegDeleteKeyExW", ERROR_ACCESS_DENIED);

    EXPECT_FALSE(RemoveInstallerRecords(product, log));
    EXPECT_TRUE(Exists64(path));
    EXPECT_TRUE(HasValue64(c2, key));
    EXPECT_NE(log.Text().find(L"Failed to delete " + Named(path) + L"\r\n"), std::wstring::npos) << log.Text();
}

TEST_F(Native64RecordsTest, AValueThatCannotBeDeletedFailsTheCleaningAndIsNamed) {
    const std::wstring c1 = Components(userSid) + L"\\" + component1;
    registry64.SetString(HKEY_LOCAL_MACHINE, c1, key.c_str(), L"C:\\p.exe");
    registry64.SetString(HKEY_LOCAL_MACHINE, c1, bystanderKey.c_str(), L"C:\\b.exe");
    RecordingLog log;
    WindowsPlatform::ScopedFault refused("RegDeleteValueW", ERROR_ACCESS_DENIED);

    EXPECT_FALSE(RemoveComponentRegistrations({key}, log));
    EXPECT_TRUE(HasValue64(c1, key));
    EXPECT_EQ(log.Text(), L"Deleting registry value \"HKLM\\" + c1 + L":[" + key + L"]\"..." +
                              WindowsErrorText(ERROR_ACCESS_DENIED) + L"\r\n");
}

TEST_F(Native64RecordsTest, ComponentKeysAreEnumeratedOncePerCleaningWhateverTheProductKeys) {
    const std::wstring sid = userSid;
    const std::wstring c1 = Components(sid) + L"\\" + component1;
    const std::wstring other = registry.Unique(L"ORVTest K2");
    registry64.SetString(HKEY_LOCAL_MACHINE, c1, key.c_str(), L"C:\\p.exe");
    registry64.SetString(HKEY_LOCAL_MACHINE, c1, other.c_str(), L"C:\\q.exe");
    registry64.SetString(HKEY_LOCAL_MACHINE, c1, bystanderKey.c_str(), L"C:\\b.exe");
    RecordingLog log;

    // Two product keys in one cleaning: both values go, the bystander's stays.
    EXPECT_TRUE(RemoveComponentRegistrations({key, other}, log));
    EXPECT_FALSE(HasValue64(c1, key));
    EXPECT_FALSE(HasValue64(c1, other));
    EXPECT_TRUE(HasValue64(c1, bystanderKey));
}

class Recorder : public PlanObserver {
public:
    void Planned(const PlannedAction& action) override { actions.push_back(action); }
    std::vector<PlannedAction> actions;
};

TEST_F(Native64RecordsTest, APlanNamesThe64BitKeysAndValuesAndDeletesNothing) {
    const std::wstring sid = L"S-1-5-18";
    PlantUserData64(sid, key, product);
    const std::wstring c1 = Components(sid) + L"\\" + component1;
    const std::wstring c2 = Components(sid) + L"\\" + component2;
    registry64.SetString(HKEY_LOCAL_MACHINE, c1, key.c_str(), L"C:\\p.exe");
    registry64.SetString(HKEY_LOCAL_MACHINE, c1, bystanderKey.c_str(), L"C:\\b.exe");
    registry64.SetString(HKEY_LOCAL_MACHINE, c2, key.c_str(), L"C:\\p.dll");
    Recorder recorder;
    RecordingLog log;
    {
        const ScopedPlanMode plan(&recorder);
        EXPECT_TRUE(RemoveInstallerRecords(product, log));
    }
    EXPECT_TRUE(Exists64(Products64(sid) + L"\\" + key));
    EXPECT_TRUE(HasValue64(c1, key));
    EXPECT_TRUE(Exists64(c2));
    const std::wstring productPath = Products64(sid) + L"\\" + key;
    EXPECT_EQ(log.Text(), L"Would delete registry key \"" + Named(productPath) + L"\"\r\n" +
                              L"Would delete registry value \"" + Named(c1) + L":[" + key + L"]\"\r\n" +
                              L"Would delete registry key \"" + Named(c2) + L"\"\r\n");
    EXPECT_EQ(log.Text().find(L"Wow6432Node"), std::wstring::npos);
    ASSERT_EQ(recorder.actions.size(), 3u);
    EXPECT_EQ(recorder.actions[1].kind, ActionKind::RegistryValue);
    EXPECT_EQ(recorder.actions[1].view, RegistryView::Native64);
    EXPECT_EQ(recorder.actions[1].path, c1);
    EXPECT_EQ(recorder.actions[1].valueName, key);
}

TEST_F(Native64RecordsTest, APlaceAsDataServesAUsersOwnRecordsToo) {
    // The shape of HKEY_USERS\<SID>\Software\Microsoft\Installer, here under a
    // key of the test's own.
    const std::wstring base = L"SOFTWARE\\" + registry.Unique(L"ORVTest PerUser") + L"\\Installer";
    const std::wstring code = registry.Unique(L"ORVTest Code");
    registry.SetString(HKEY_LOCAL_MACHINE, base + L"\\Products\\" + key, L"ProductName", product);
    registry.SetString(HKEY_LOCAL_MACHINE, base + L"\\Features\\" + key, L"Complete", L"");
    registry.SetString(HKEY_LOCAL_MACHINE, base + L"\\UpgradeCodes\\" + code, key.c_str(), L"");
    const InstallerRecordPlace place{InstallerRecordKind::Registration, HKEY_LOCAL_MACHINE, base,
                                     RegistryView::Program};
    RecordingLog log;

    EXPECT_EQ(FindInstallerRecordsIn(place, product), std::vector<std::wstring>{key});
    EXPECT_TRUE(FindInstallerProductIn(place, product, log));
    EXPECT_FALSE(FindInstallerProductIn(place, registry.Unique(L"ORVTest Missing"), log));
    EXPECT_TRUE(RemoveInstallerRecordsIn(place, product, log));
    EXPECT_FALSE(Exists(base + L"\\Products\\" + key));
    EXPECT_FALSE(Exists(base + L"\\Features\\" + key));
    EXPECT_FALSE(Exists(base + L"\\UpgradeCodes\\" + code));
    const std::wstring products = KeyPlaceName(HKEY_LOCAL_MACHINE, base + L"\\Products", RegistryView::Program);
    EXPECT_EQ(log.Text(), L"Looking for product \"" + product + L"\" in \"" + products + L"\"...\r\n...found key \"" +
                              key + L"\"\r\n" + L"Deleting registry key \"HKLM\\" + base + L"\\Products\\" + key +
                              L"\"...done\r\n" + L"Deleting registry key \"HKLM\\" + base + L"\\Features\\" + key +
                              L"\"...done\r\n" + L"Deleting registry key \"HKLM\\" + base + L"\\UpgradeCodes\\" +
                              code + L"\"...done\r\n");
}

// The running user's own installations keep their records in the user's
// hive; the lookup names the key where Windows keeps it, as the profile
// passes do for other users' hives (ProfilePassesTest, ProfilesLabTest).
TEST_F(InstallerRecordsTest, TheRunningUsersOwnRecordsAreFoundAndRemoved) {
    const std::wstring base = L"Software\\Microsoft\\Installer";
    const std::wstring code = registry.Unique(L"ORVTest Code");
    registry.SetString(HKEY_CURRENT_USER, base + L"\\Products\\" + key, L"ProductName", product);
    registry.SetString(HKEY_CURRENT_USER, base + L"\\Features\\" + key, L"Complete", L"");
    registry.SetString(HKEY_CURRENT_USER, base + L"\\UpgradeCodes\\" + code, key.c_str(), L"");
    registry.SetString(HKEY_CURRENT_USER, base + L"\\Products\\" + removedKey, L"ProductName",
                       registry.Unique(L"ORVTest Bystander"));
    RecordingLog log;

    EXPECT_TRUE(FindInstallerProduct(product, log));
    const std::wstring products = KeyPlaceName(HKEY_CURRENT_USER, base + L"\\Products", RegistryView::Program);
    EXPECT_EQ(products.rfind(L"HKU\\S-", 0), 0u) << products;
    EXPECT_EQ(log.Text(), Look(product) + L"not found\r\n" + L"Looking for product \"" + product + L"\" in \"" +
                              products + L"\"...\r\n...found key \"" + key + L"\"\r\n");

    RecordingLog removal;
    EXPECT_TRUE(RemoveInstallerRecords(product, removal));
    EXPECT_EQ(removal.Text(), L"Deleting registry key \"HKCU\\" + base + L"\\Products\\" + key + L"\"...done\r\n" +
                                  L"Deleting registry key \"HKCU\\" + base + L"\\Features\\" + key + L"\"...done\r\n" +
                                  L"Deleting registry key \"HKCU\\" + base + L"\\UpgradeCodes\\" + code +
                                  L"\"...done\r\n");
    EXPECT_TRUE(RegistryFixture::KeyExists(HKEY_CURRENT_USER, base + L"\\Products\\" + removedKey));
}

}  // namespace
