// The client logging service, DLP, software asset management, MSDE and A2A:
// their command sources, the folders they derive from the agent's, and the
// removals that stop when the product is still registered.

#include "products/A2AProduct.h"
#include "products/DLPProduct.h"
#include "products/DSSSAMProduct.h"
#include "products/LoggingServiceProduct.h"
#include "products/MSDEProduct.h"
#include "products/ProductTestSupport.h"
#include "sysops/ShellFolders.h"
#include "support/RecordingLog.h"

#include <gtest/gtest.h>

namespace {

using namespace ProductTest;

const wchar_t kLoggingKey[] = L"SOFTWARE\\Orvalis\\LoggingService";
const wchar_t kDlpKey[] = L"SOFTWARE\\Orvalis\\DLP";
const wchar_t kA2AKey[] = L"SOFTWARE\\Orvalis\\EnterpriseClient\\A2A";
const wchar_t kStillRegistered[] = L"Installation information still exists!  Uninstall appears unsuccessful.\r\n";

TEST(LoggingServiceProductTest, OwnCommandLineRunsUnchangedAndARegisteredProductStopsTheRemoval) {
    RegistryFixture registry;
    TempTree tree;
    tree.Folder(L"Logging");
    const std::wstring entry = PlantEntry(registry, L"ORV Logging Service");
    registry.SetString(HKEY_LOCAL_MACHINE, entry, L"UninstallString", L"MsiExec.exe /X{0D1E5F2A-0000-4B5C-9D8E-0123456789AD}");
    registry.SetString(HKEY_LOCAL_MACHINE, entry, L"InstallLocation", tree.Path(L"Logging"));
    const std::wstring own = MarkingUninstaller(tree.Path(L"ran"));
    registry.SetString(HKEY_LOCAL_MACHINE, kLoggingKey, L"UninstallCmdLine", own);

    RecordingLog log;
    LoggingServiceProduct service(log);
    service.Detect();
    ASSERT_TRUE(service.installed);
    EXPECT_FALSE(service.Remove());
    const std::wstring text = log.Text();
    EXPECT_TRUE(Contains(text, L"Running uninstaller for \"Client Logging Service\" with command " + own + L"\r\n"));
    EXPECT_TRUE(tree.Exists(L"ran"));
    EXPECT_TRUE(Contains(text, kStillRegistered));
    // Nothing is removed by hand.
    EXPECT_TRUE(tree.Exists(L"Logging"));
    EXPECT_TRUE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, kLoggingKey));
    EXPECT_TRUE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, entry));
}

TEST(LoggingServiceProductTest, UninstallStringGetsQuietOptionsAndNoRestart) {
    RegistryFixture registry;
    TempTree tree;
    const std::wstring entry = PlantEntry(registry, L"ORV Logging Service");
    const std::wstring uninstaller = MarkingUninstaller(tree.Path(L"ran"));
    registry.SetString(HKEY_LOCAL_MACHINE, entry, L"UninstallString", uninstaller);
    RecordingLog log;
    LoggingServiceProduct service(log);
    service.Detect();
    EXPECT_TRUE(Contains(log.Text(), L"Actual install directory could not be determined, using default directory \"" +
                                         *ProgramFilesFolder() +
                                         L"\\Orvalis Enterprise\\ORV Client\\ORVClientLoggingService\"\r\n"));
    EXPECT_FALSE(service.Remove());
    EXPECT_TRUE(Contains(log.Text(), L"with command " + uninstaller + L" /qn REBOOT=REALLYSUPPRESS\r\n"));
    EXPECT_TRUE(tree.Exists(L"ran"));
}

TEST(LoggingServiceProductTest, WithoutAnyCommandTheTracesGoByHand) {
    RegistryFixture registry;
    registry.CreateKey(HKEY_LOCAL_MACHINE, kLoggingKey);
    RecordingLog log;
    LoggingServiceProduct service(log);
    service.Detect();
    ASSERT_TRUE(service.installed);
    EXPECT_TRUE(service.Remove());
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, kLoggingKey));
    service.Detect();
    EXPECT_FALSE(service.installed);
}

TEST(DLPProductTest, ControlProgramInTheAgentsFolderRunsQuotedAndTheFolderGoes) {
    RegistryFixture registry;
    TempTree tree;
    // Blanks in the path: unquoted, Windows would try "...\Orvalis.exe" first.
    const std::wstring agentFolder = tree.Path(L"Orvalis Enterprise\\ORV Client");
    CopyLabProgram(tree, L"versioned.exe", L"Orvalis Enterprise\\ORV Client\\DLP\\ORVTightsealCtrl.exe");
    registry.SetString(HKEY_LOCAL_MACHINE, kAgentAppPathsKey, L"Path", agentFolder);
    registry.CreateKey(HKEY_LOCAL_MACHINE, kDlpKey);

    RecordingLog log;
    DLPProduct dlp(log);
    dlp.Detect();
    ASSERT_TRUE(dlp.installed);
    EXPECT_EQ(dlp.Version(), std::optional<std::wstring>(L"9.5.3.211"));
    EXPECT_TRUE(Contains(log.Text(), L"Checking for file \"" + agentFolder + L"\\DLP\"...found\r\n"));
    log.pieces.clear();
    EXPECT_TRUE(dlp.Remove());
    const std::wstring program = agentFolder + L"\\DLP\\ORVTightsealCtrl.exe";
    EXPECT_TRUE(Contains(log.Text(), L"Running uninstaller for \"DLP\" with command \"" + program + L"\" -u\r\n"));
    EXPECT_TRUE(Contains(log.Text(), L"...waiting for the uninstaller to finish...finished\r\n"));
    EXPECT_FALSE(tree.Exists(L"Orvalis Enterprise\\ORV Client\\DLP"));
    EXPECT_TRUE(tree.Exists(L"Orvalis Enterprise\\ORV Client"));
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, kDlpKey));
}

TEST(DLPProductTest, UnknownAgentFolderFallsBackToTheDefaultWithoutAFailureLine) {
    RegistryFixture registry;
    registry.CreateKey(HKEY_LOCAL_MACHINE, kDlpKey);
    RecordingLog log;
    DLPProduct dlp(log);
    dlp.Detect();
    EXPECT_TRUE(dlp.installed);
    const std::wstring text = log.Text();
    EXPECT_TRUE(Contains(text, L"Actual client install directory could not be determined, using default directory \"" +
                                   *ProgramFilesFolder() + L"\\Orvalis Enterprise\\ORV Client\\DLP\"\r\n"));
    EXPECT_FALSE(Contains(text, L"Failed to determine"));
    // The control program is missing: nothing runs, the key still goes.
    EXPECT_TRUE(dlp.Remove());
    EXPECT_FALSE(Contains(log.Text(), L"Running uninstaller"));
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, kDlpKey));
}

TEST(A2AProductTest, FolderBesideTheAgentsIsFoundAndDeleted) {
    RegistryFixture registry;
    TempTree tree;
    tree.Folder(L"ORV Client");
    CopyLabProgram(tree, L"versioned.exe", L"ORV A2A\\ORVA2ADLL.dll");
    registry.SetString(HKEY_LOCAL_MACHINE, kAgentAppPathsKey, L"Path", tree.Path(L"ORV Client"));
    registry.CreateKey(HKEY_LOCAL_MACHINE, kA2AKey);

    RecordingLog log;
    A2AProduct a2a(log);
    a2a.Detect();
    ASSERT_TRUE(a2a.installed);
    EXPECT_EQ(a2a.Version(), std::optional<std::wstring>(L"9.5.3.211"));
    EXPECT_TRUE(Contains(log.Text(), L"Checking for file \"" + tree.Path(L"ORV Client\\..\\ORV A2A") + L"\"...found"));
    EXPECT_TRUE(a2a.Remove());
    EXPECT_FALSE(tree.Exists(L"ORV A2A"));
    EXPECT_TRUE(tree.Exists(L"ORV Client"));
    a2a.Detect();
    EXPECT_FALSE(a2a.installed);
}

TEST(A2AProductTest, DllPathValueWinsOverTheAgentsFolder) {
    RegistryFixture registry;
    TempTree tree;
    tree.Folder(L"Elsewhere");
    registry.SetString(HKEY_LOCAL_MACHINE, kAgentAppPathsKey, L"Path", tree.Path(L"ORV Client"));
    registry.SetString(HKEY_LOCAL_MACHINE, kA2AKey, L"DLLPath", tree.Path(L"Elsewhere"));
    RecordingLog log;
    A2AProduct a2a(log);
    a2a.Detect();
    EXPECT_TRUE(Contains(log.Text(), L"Checking for file \"" + tree.Path(L"Elsewhere") + L"\"...found"));
    EXPECT_FALSE(Contains(log.Text(), L"App Paths"));
}

TEST(MSDEProductTest, OnlyTheUninstallStringCounts) {
    RecordingLog log;
    MSDEProduct msde(log);
    msde.Detect();
    EXPECT_FALSE(msde.installed);
    EXPECT_TRUE(msde.Remove());
    EXPECT_FALSE(Contains(log.Text(), L"Running uninstaller"));

    RegistryFixture registry;
    TempTree tree;
    const std::wstring entry = PlantEntry(registry, L"Microsoft SQL Server Desktop Engine");
    const std::wstring uninstaller = MarkingUninstaller(tree.Path(L"ran"));
    registry.SetString(HKEY_LOCAL_MACHINE, entry, L"UninstallString", uninstaller);
    msde.Detect();
    EXPECT_TRUE(msde.installed);
    EXPECT_FALSE(msde.Version().has_value());
    EXPECT_FALSE(msde.Remove());
    EXPECT_TRUE(Contains(log.Text(), L"with command " + uninstaller + L" /qn\r\n"));
    EXPECT_TRUE(Contains(log.Text(), L"Uninstall string still exists!  Uninstall appears unsuccessful.\r\n"));
    EXPECT_TRUE(tree.Exists(L"ran"));
    EXPECT_TRUE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, entry));  // no manual step
}

TEST(DSSSAMProductTest, MixedCaseKeyAndQuietUninstallThenManualRemoval) {
    RegistryFixture registry;
    TempTree tree;
    const std::wstring entry = PlantEntry(registry, L"Software Asset Management");
    const std::wstring uninstaller = MarkingUninstaller(tree.Path(L"ran"));
    registry.SetString(HKEY_LOCAL_MACHINE, entry, L"UninstallString", uninstaller);
    registry.SetString(HKEY_LOCAL_MACHINE, entry, L"DisplayVersion", L"2.1");
    registry.CreateKey(HKEY_LOCAL_MACHINE, L"Software\\Orvalis\\Orvalis Inventory");

    RecordingLog log;
    DSSSAMProduct sam(log);
    sam.Detect();
    ASSERT_TRUE(sam.installed);
    EXPECT_EQ(sam.Version(), std::optional<std::wstring>(L"2.1"));
    EXPECT_TRUE(Contains(log.Text(), L"Checking for registry key \"HKLM\\Software\\Orvalis\\Orvalis Inventory\"...found"));
    EXPECT_TRUE(sam.Remove());
    EXPECT_TRUE(Contains(log.Text(), L"with command " + uninstaller + L" /qn\r\n"));
    EXPECT_TRUE(Contains(log.Text(), L"Uninstaller appears unsuccessful.  Attempting to manually uninstall...\r\n"));
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, entry));
    sam.Detect();
    EXPECT_FALSE(sam.installed);
}

}  // namespace
