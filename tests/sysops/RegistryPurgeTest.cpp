// The repeated purge of a component's editions against the real registry.
// Wine deletes every key, so a product that cannot be deleted comes from the
// fault seam.

#include "sysops/RegistryPurge.h"

#include "platform/FaultInjection.h"
#include "sysops/InstallerRecords.h"
#include "sysops/UninstallEntries.h"
#include "support/MessageBoxRecorder.h"
#include "support/RecordingLog.h"
#include "support/RegistryFixture.h"

#include <gtest/gtest.h>

namespace {

using WindowsPlatform::ScopedFault;

const std::wstring kUninstall = kUninstallKeyPath;
const std::wstring kProducts = kInstallerProductsKeyPath;
const std::wstring kUserData = kInstallerUserDataProductsKeyPath;

const wchar_t kLimitText[] =
    L"The ORVRemove utility iterated through the registry too many times. Check the log to see which product it "
    L"got stuck on while attempting to remove it from the registy.";

size_t Count(const std::wstring& text, const std::wstring& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

class RegistryPurgeTest : public ::testing::Test {
protected:
    std::wstring Found(const std::wstring& name) const {
        return L"Found product \"" + name + L"\".  Attempting to remove all traces of it from registry...\r\n";
    }
    // A Products record of the edition that RegDeleteKeyExW is the only
    // call to delete (no subkeys, no features, no upgrade codes).
    void PlantProductRecord(const std::wstring& name) {
        registry.SetString(HKEY_LOCAL_MACHINE, productKey, L"ProductName", name);
    }

    RegistryFixture registry;
    const std::wstring standard = registry.Unique(L"ORVTest Agent");
    const std::wstring professional = registry.Unique(L"ORVTest Agent Professional");
    const std::vector<std::wstring> editions{registry.Unique(L"ORVTest Agent Lite"), standard, professional};
    const std::wstring entryKey = kUninstall + L"\\" + registry.Unique(L"ORVTest E");
    const std::wstring productKey = kProducts + L"\\" + registry.Unique(L"ORVTest P");
};

TEST_F(RegistryPurgeTest, FindsTheFirstEditionInListOrderWhateverTraceItHas) {
    EXPECT_EQ(FindInstalledEdition(editions), std::nullopt);

    registry.SetString(HKEY_LOCAL_MACHINE, kUserData + L"\\" + registry.Unique(L"ORVTest U") + L"\\InstallProperties",
                       L"DisplayName", professional);
    EXPECT_EQ(FindInstalledEdition(editions), professional);

    registry.SetString(HKEY_LOCAL_MACHINE, entryKey, L"DisplayName", standard);
    EXPECT_EQ(FindInstalledEdition(editions), standard);
}

TEST_F(RegistryPurgeTest, NothingFoundIsSuccessWithoutAWord) {
    RecordingLog log;
    EXPECT_TRUE(PurgeRegistryTraces(std::nullopt, editions, log));
    EXPECT_EQ(log.Text(), L"");
}

TEST_F(RegistryPurgeTest, OneCallCleansSeveralEditions) {
    registry.SetString(HKEY_LOCAL_MACHINE, entryKey, L"DisplayName", standard);
    PlantProductRecord(professional);
    RecordingLog log;

    EXPECT_TRUE(PurgeRegistryTraces(standard, editions, log));
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, entryKey));
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, productKey));
    const std::wstring features = std::wstring(kInstallerFeaturesKeyPath) + productKey.substr(kProducts.size());
    EXPECT_EQ(log.Text(), Found(standard) + L"Deleting registry key \"HKLM\\" + entryKey + L"\"...done\r\n" +
                              Found(professional) + L"Deleting registry key \"HKLM\\" + productKey +
                              L"\"...done\r\n" + L"Checking for registry key \"HKLM\\" + features +
                              L"\"...not found\r\n");
}

TEST_F(RegistryPurgeTest, ProductThatCannotBeDeletedStopsAfterTheHundredthPassWithABox) {
    PlantProductRecord(standard);
    MessageBoxRecorder boxes;
    RecordingLog log;
    ScopedFault refused("RegDeleteKeyExW", ERROR_ACCESS_DENIED);

    EXPECT_FALSE(PurgeRegistryTraces(standard, editions, log));
    EXPECT_EQ(Count(log.Text(), Found(standard)), 100u);
    EXPECT_EQ(Count(log.Text(), L"...error occured while trying to delete key \"HKLM\\" + productKey + L"\"\r\n"), 100u);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, kLimitText);
    EXPECT_EQ(boxes.boxes[0].type, static_cast<unsigned>(MB_TOPMOST | MB_ICONERROR));
    EXPECT_EQ(boxes.boxes[0].caption, L"Errors Encountered");
    EXPECT_TRUE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, productKey));
}

TEST_F(RegistryPurgeTest, SuccessInTheHundredthPassStillCountsAsTooMany) {
    PlantProductRecord(standard);
    MessageBoxRecorder boxes;
    RecordingLog log;
    ScopedFault refused("RegDeleteKeyExW", ERROR_ACCESS_DENIED, 0, 99);

    EXPECT_FALSE(PurgeRegistryTraces(standard, editions, log));
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, productKey));
    EXPECT_EQ(Count(log.Text(), Found(standard)), 100u);
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(RegistryPurgeTest, SuccessInTheNinetyNinthPassReportsTheEarlierFailuresWithoutABox) {
    PlantProductRecord(standard);
    MessageBoxRecorder boxes;
    RecordingLog log;
    ScopedFault refused("RegDeleteKeyExW", ERROR_ACCESS_DENIED, 0, 98);

    EXPECT_FALSE(PurgeRegistryTraces(standard, editions, log));
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, productKey));
    EXPECT_EQ(Count(log.Text(), Found(standard)), 99u);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(RegistryPurgeTest, ARecordLeftInThe64BitViewAloneCountsAndIsPurged) {
    // Where Windows Installer keeps it on 64-bit Windows: UserData in the
    // 64-bit view, with a component registration naming the product key.
    RegistryFixture registry64(KEY_WOW64_64KEY);
    const std::wstring userData = std::wstring(kInstallerUserDataKeyPath) + L"\\S-1-5-18";
    const std::wstring packed = registry.Unique(L"ORVTest P64");
    const std::wstring record = userData + L"\\Products\\" + packed;
    const std::wstring component = userData + L"\\Components\\" + registry.Unique(L"ORVTest C64");
    registry64.SetString(HKEY_LOCAL_MACHINE, record + L"\\InstallProperties", L"DisplayName", professional);
    registry64.SetString(HKEY_LOCAL_MACHINE, component, packed.c_str(), L"C:\\agent.exe");
    EXPECT_EQ(FindInstalledEdition(editions), professional);
    RecordingLog log;

    EXPECT_TRUE(PurgeRegistryTraces(FindInstalledEdition(editions), editions, log));
    EXPECT_EQ(FindInstalledEdition(editions), std::nullopt);
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, record, KEY_WOW64_64KEY));
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, component, KEY_WOW64_64KEY));
    EXPECT_EQ(log.Text(), Found(professional) + L"Deleting registry key \"HKLM\\" + record + L"\"...done\r\n" +
                              L"Deleting registry key \"HKLM\\" + component + L"\"...done\r\n");
}

}  // namespace
