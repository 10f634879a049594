// The platform API: the response file keyed by the product GUID, its
// command rule, and a removal that stops before the purge when the product
// is still registered.

#include "products/PlatformAPIProduct.h"
#include "products/ProductTestSupport.h"
#include "sysops/InstallerRecords.h"
#include "support/RecordingLog.h"

#include <gtest/gtest.h>

namespace {

using namespace ProductTest;

const wchar_t kApiName[] = L"Stennet Orvalis Server API";

std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "(missing)";
    char bytes[1024];
    DWORD read = 0;
    ReadFile(file, bytes, sizeof bytes, &read, nullptr);
    CloseHandle(file);
    return std::string(bytes, read);
}

TEST(PlatformAPIProductTest, ResponseFileNamesTheGuidFiveTimes) {
    TempTree tree;
    tree.File(L"answers.iss", "an older and longer text that must be cut away entirely");
    RecordingLog log;
    PlatformAPIProduct api(log);
    EXPECT_TRUE(api.WriteGuidResponseFile(L"\"C:\\Setup\\setup.exe\" -l0x9 {A-B} -removeonly {C-D}",
                                          tree.Path(L"answers.iss")));
    EXPECT_EQ(log.Text(), L"Creating install shield response file...done\r\n");
    const std::string text = ReadBytes(tree.Path(L"answers.iss"));
    EXPECT_EQ(text,
              "[{A-B}-DlgOrder]\r\nDlg0={A-B}-MessageBox-0\r\nCount=2\r\nDlg1={A-B}-SdFinish-0\r\n"
              "[{A-B}-MessageBox-0]\r\nResult=6\r\n[{A-B}-SdFinish-0]\r\nResult=1\r\nbOpt1=0\r\nbOpt2=0\r\n");
}

TEST(PlatformAPIProductTest, UninstallStringWithoutABracePairHasNoGuid) {
    TempTree tree;
    for (const wchar_t* uninstallString : {L"setup.exe -removeonly", L"setup.exe }A-B{", L"setup.exe {A-B"}) {
        RecordingLog log;
        PlatformAPIProduct api(log);
        EXPECT_FALSE(api.WriteGuidResponseFile(uninstallString, tree.Path(L"answers.iss"))) << uninstallString;
        EXPECT_EQ(log.Text(), L"Creating install shield response file...Couldn't find GUID in uninstall string\r\n");
        EXPECT_FALSE(tree.Exists(L"answers.iss"));
    }
}

TEST(PlatformAPIProductTest, SetupWithoutGuidRunsNothingAndPurgesNothing) {
    RegistryFixture registry;
    TempTree tree;
    const std::wstring entry = PlantEntry(registry, kApiName);
    registry.SetString(HKEY_LOCAL_MACHINE, entry, L"UninstallString", MarkingUninstaller(tree.Path(L"ran")));
    RecordingLog log;
    PlatformAPIProduct api(log);
    api.Detect();
    ASSERT_TRUE(api.installed);
    EXPECT_FALSE(api.Remove());
    EXPECT_FALSE(tree.Exists(L"ran"));
    EXPECT_FALSE(Contains(log.Text(), L"Running uninstaller"));
    EXPECT_TRUE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, entry));
}

TEST(PlatformAPIProductTest, SetupWithGuidGetsTheResponseFileOption) {
    RegistryFixture registry;
    TempTree tree;
    const std::wstring entry = PlantEntry(registry, kApiName);
    const std::wstring uninstaller = MarkingUninstaller(tree.Path(L"ran")) + L" {A-B}";
    registry.SetString(HKEY_LOCAL_MACHINE, entry, L"UninstallString", uninstaller);
    RecordingLog log;
    PlatformAPIProduct api(log);
    api.Detect();
    EXPECT_FALSE(api.Remove());  // the stand-in leaves the entry behind
    const std::wstring text = log.Text();
    EXPECT_TRUE(Contains(text, L"Creating install shield response file...done\r\n"));
    EXPECT_TRUE(Contains(text, L"with command " + uninstaller + L" -s -f1\""));
    EXPECT_TRUE(tree.Exists(L"ran"));
    EXPECT_TRUE(Contains(text, L"Installation information still exists!  Uninstall appears unsuccessful.\r\n"));
    EXPECT_FALSE(Contains(text, L"Found product"));  // no purge
    EXPECT_TRUE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, entry));
}

TEST(PlatformAPIProductTest, WindowsInstallerStringIsTurnedIntoARemoval) {
    RegistryFixture registry;
    TempTree tree;
    const std::wstring entry = PlantEntry(registry, kApiName);
    const std::wstring engine = MsiExecEngine(tree, tree.Path(L"ran"));
    // Any "/I" is replaced, with or without a brace after it.
    registry.SetString(HKEY_LOCAL_MACHINE, entry, L"UninstallString", engine + L" /I {0D1E5F2A-0000-4B5C-9D8E-0123456789AC}");
    RecordingLog log;
    PlatformAPIProduct api(log);
    api.Detect();
    EXPECT_FALSE(api.Remove());
    EXPECT_TRUE(Contains(log.Text(), L"with command " + engine + L" /X {0D1E5F2A-0000-4B5C-9D8E-0123456789AC} /qn\r\n"));
    EXPECT_TRUE(tree.Exists(L"ran"));
    EXPECT_FALSE(Contains(log.Text(), L"Creating install shield response file"));
}

TEST(PlatformAPIProductTest, WithoutUninstallStringThePurgeDecides) {
    RegistryFixture registry;
    const std::wstring product = std::wstring(kInstallerProductsKeyPath) + L"\\" + registry.Unique(L"ApiProduct");
    registry.SetString(HKEY_LOCAL_MACHINE, product, L"ProductName", L"RGP Suite API");
    RecordingLog log;
    PlatformAPIProduct api(log);
    api.Detect();
    ASSERT_TRUE(api.installed);
    EXPECT_EQ(api.Name(), L"RGP Suite API");
    EXPECT_FALSE(api.Version().has_value());
    EXPECT_TRUE(api.Remove());
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, product));
    api.Detect();
    EXPECT_FALSE(api.installed);
}

}  // namespace
