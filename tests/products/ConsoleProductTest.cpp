// The console: its per-user traces (those of the account running the
// removal only), its edition resolution and its uninstaller command rule.

#include "products/ConsoleProduct.h"
#include "products/ProductTestSupport.h"
#include "sysops/ShellFolders.h"
#include "support/RecordingLog.h"

#include <gtest/gtest.h>

namespace {

using namespace ProductTest;

const wchar_t kSettingsKey[] = L"Software\\Orvalis\\Enterprise Console";

// The console's folder under the running user's local application data,
// made for one test and removed with its "Orvalis" parent when that is
// empty afterwards.
class AppDataFolder {
public:
    AppDataFolder() : parent_(*LocalAppDataFolder() + L"\\Orvalis"), path_(parent_ + L"\\Enterprise Console") {
        CreateDirectoryW(parent_.c_str(), nullptr);
        CreateDirectoryW(path_.c_str(), nullptr);
        const std::wstring file = path_ + L"\\settings.xml";
        CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    ~AppDataFolder() {
        DeleteFileW((path_ + L"\\settings.xml").c_str());
        RemoveDirectoryW(path_.c_str());
        RemoveDirectoryW(parent_.c_str());
    }
    bool Exists() const { return GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES; }
    const std::wstring& Path() const { return path_; }

private:
    std::wstring parent_;
    std::wstring path_;
};

TEST(ConsoleProductTest, SettingsKeyOfTheRunningUserAloneMakesItInstalled) {
    RegistryFixture registry;
    registry.CreateKey(HKEY_CURRENT_USER, kSettingsKey);
    RecordingLog log;
    ConsoleProduct console(log);
    EXPECT_EQ(console.Name(), L"Console");
    console.Detect();
    EXPECT_TRUE(console.installed);
    EXPECT_EQ(console.Name(), L"Stennet Orvalis Console");
    EXPECT_TRUE(Contains(log.Text(), L"Setting app data path to \"" + *LocalAppDataFolder() +
                                         L"\\Orvalis\\Enterprise Console\"\r\n"));
    EXPECT_TRUE(Contains(log.Text(), L"Checking for registry key \"HKCU\\Software\\Orvalis\\Enterprise Console\"...found"));
}

TEST(ConsoleProductTest, RemovesOnlyTheRunningUsersTraces) {
    RegistryFixture registry;
    registry.CreateKey(HKEY_CURRENT_USER, kSettingsKey);
    const std::wstring otherUsersKey = std::wstring(L".Default\\") + kSettingsKey;
    registry.CreateKey(HKEY_USERS, otherUsersKey);
    AppDataFolder appData;

    RecordingLog log;
    ConsoleProduct console(log);
    console.Detect();
    ASSERT_TRUE(console.installed);
    EXPECT_TRUE(Contains(log.Text(), L"Checking for file \"" + appData.Path() + L"\"...found"));
    EXPECT_TRUE(console.Remove());
    EXPECT_FALSE(appData.Exists());
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    EXPECT_TRUE(RegistryFixture::KeyExists(HKEY_USERS, otherUsersKey));

    log.pieces.clear();
    console.Detect();
    EXPECT_FALSE(console.installed);
    EXPECT_FALSE(Contains(log.Text(), L"Setting app data path"));  // resolved once
}

TEST(ConsoleProductTest, EarliestEditionWithTracesNamesTheConsole) {
    RegistryFixture registry;
    PlantEntry(registry, L"RGP Console", L"Later");
    PlantEntry(registry, L"Varnel Fleetwise Console", L"Earlier");
    RecordingLog log;
    ConsoleProduct console(log);
    console.Detect();
    EXPECT_EQ(console.Name(), L"Varnel Fleetwise Console");
    EXPECT_TRUE(console.installed);
}

TEST(ConsoleProductTest, WindowsInstallerStringIsTurnedIntoARemoval) {
    RegistryFixture registry;
    TempTree tree;
    const std::wstring entry = PlantEntry(registry, L"Stennet Orvalis Console");
    const std::wstring engine = MsiExecEngine(tree, tree.Path(L"ran"));
    registry.SetString(HKEY_LOCAL_MACHINE, entry, L"UninstallString", engine + L" /I{0D1E5F2A-0000-4B5C-9D8E-0123456789AB}");
    RecordingLog log;
    ConsoleProduct console(log);
    console.Detect();
    EXPECT_TRUE(console.Remove());
    const std::wstring text = log.Text();
    EXPECT_TRUE(Contains(text, L"with command " + engine + L" /X{0D1E5F2A-0000-4B5C-9D8E-0123456789AB} /qn\r\n"));
    EXPECT_TRUE(tree.Exists(L"ran"));
    // The entry outlives the uninstaller and goes by hand.
    EXPECT_TRUE(Contains(text, L"Uninstaller appears unsuccessful.  Attempting to manually uninstall...\r\n"));
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, entry));
}

TEST(ConsoleProductTest, OtherUninstallStringGetsTheInstallShieldOptions) {
    RegistryFixture registry;
    TempTree tree;
    const std::wstring entry = PlantEntry(registry, L"Stennet Orvalis Console");
    const std::wstring uninstaller = MarkingUninstaller(tree.Path(L"ran"));
    registry.SetString(HKEY_LOCAL_MACHINE, entry, L"UninstallString", uninstaller);
    RecordingLog log;
    ConsoleProduct console(log);
    console.Detect();
    console.Remove();
    EXPECT_TRUE(Contains(log.Text(), L"with command " + uninstaller + L" /s /z\"uninstall\"\r\n"));
    EXPECT_TRUE(tree.Exists(L"ran"));
}

}  // namespace
