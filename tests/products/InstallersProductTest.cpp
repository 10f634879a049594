// The installation generator: its folder from its own key only, and the
// credentials folder in the running user's Documents.

#include "products/InstallersProduct.h"
#include "products/ProductTestSupport.h"
#include "sysops/ShellFolders.h"
#include "support/RecordingLog.h"

#include <gtest/gtest.h>

namespace {

using namespace ProductTest;

const wchar_t kGeneratorKey[] = L"SOFTWARE\\Orvalis\\ORV Installation Generator";
const wchar_t kFailedLine[] = L"Failed to determine the installation directory.\r\n";

TEST(InstallersProductTest, RemovesFolderKeyAndTheRunningUsersCredentials) {
    RegistryFixture registry;
    TempTree tree;
    tree.File(L"Generator\\ORVInstallGen.exe");
    registry.SetString(HKEY_LOCAL_MACHINE, kGeneratorKey, L"InstallFolder", tree.Path(L"Generator"));
    const std::wstring credentials = *DocumentsFolder() + L"\\ORVCredentials";
    ASSERT_TRUE(CreateDirectoryW(credentials.c_str(), nullptr));
    CloseHandle(CreateFileW((credentials + L"\\server.cred").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                            nullptr));

    RecordingLog log;
    InstallersProduct generator(log);
    EXPECT_EQ(generator.Name(), L"Deployment Installer");
    generator.Detect();
    ASSERT_TRUE(generator.installed);
    EXPECT_TRUE(Contains(log.Text(), L"Checking for file \"" + tree.Path(L"Generator") + L"\"...found\r\n"));
    EXPECT_TRUE(generator.Remove());
    const bool credentialsLeft = GetFileAttributesW(credentials.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (credentialsLeft) {
        DeleteFileW((credentials + L"\\server.cred").c_str());
        RemoveDirectoryW(credentials.c_str());
    }
    EXPECT_FALSE(credentialsLeft);
    EXPECT_FALSE(tree.Exists(L"Generator"));
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, kGeneratorKey));

    log.pieces.clear();
    generator.Detect();
    EXPECT_FALSE(generator.installed);
    EXPECT_TRUE(Contains(log.Text(), kFailedLine));
}

TEST(InstallersProductTest, WithoutInstallFolderTheKeyStillFindsItAndNoFolderIsDeleted) {
    RegistryFixture registry;
    registry.CreateKey(HKEY_LOCAL_MACHINE, kGeneratorKey);
    RecordingLog log;
    InstallersProduct generator(log);
    generator.Detect();
    EXPECT_TRUE(generator.installed);
    EXPECT_TRUE(Contains(log.Text(), kFailedLine));
    EXPECT_FALSE(Contains(log.Text(), L"Checking for file"));
    log.pieces.clear();
    // No credentials folder either: nothing to delete is no failure.
    EXPECT_TRUE(generator.Remove());
    EXPECT_FALSE(Contains(log.Text(), L"Deleting directory"));
}

TEST(InstallersProductTest, SetupStringGetsTheInstallShieldOptionsWithoutAWindowsInstallerTest) {
    RegistryFixture registry;
    TempTree tree;
    const std::wstring entry = PlantEntry(registry, L"Orvalis Enterprise Suite Installation Generator");
    const std::wstring uninstaller = MarkingUninstaller(tree.Path(L"ran")) + L" MsiExec";
    registry.SetString(HKEY_LOCAL_MACHINE, entry, L"UninstallString", uninstaller);
    RecordingLog log;
    InstallersProduct generator(log);
    generator.Detect();
    EXPECT_EQ(generator.Name(), L"Orvalis Enterprise Suite Installation Generator");
    EXPECT_TRUE(generator.Remove());
    EXPECT_TRUE(Contains(log.Text(), L"with command " + uninstaller + L" /s /z\"uninstall\"\r\n"));
    EXPECT_TRUE(tree.Exists(L"ran"));
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, entry));  // purged by hand
}

}  // namespace
