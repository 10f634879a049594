// The passes over other users' profiles, in this process, on the lab's
// profiles (lab/machine/LabProfiles.h): the hives a killed run left loaded,
// a hive that cannot be loaded, and what the console's steps and the
// installer-record steps did inside a hive that the pass loaded itself.

#include "platform/FaultInjection.h"
#include "products/ConsoleProduct.h"
#include "sysops/InstallerRecords.h"
#include "sysops/MountedHive.h"
#include "sysops/ProfilePasses.h"
#include "sysops/RootCleanup.h"
#include "app/FailedStepLog.h"
#include "support/LabMachine.h"
#include "support/RecordingLog.h"

#include "LabFiles.h"
#include "LabProfiles.h"
#include "ProfileInstallerRecords.h"
#include "RegistryKey.h"

namespace {

class ProfilePassesTest : public LabMachineTest {
protected:
    void SetUp() override {
        LabMachineTest::SetUp();
        ForgetUserProfiles();
        profiles = Lab::PlantProfiles();
    }
    void TearDown() override {
        WindowsPlatform::ClearAllFaults();
        ForgetUserProfiles();
        LabMachineTest::TearDown();
    }

    const Lab::LabProfile& Bob() const { return profiles[1]; }
    std::wstring BobsMount() const { return HiveMountName(Bob().sid); }

    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::vector<Lab::LabProfile> profiles;
};

TEST_F(ProfilePassesTest, AHiveThatAKilledRunLeftLoadedIsUnloadedAndTheProfileStillCleaned) {
    // What a run killed inside bob's pass leaves.
    ASSERT_EQ(RegLoadKeyW(HKEY_USERS, BobsMount().c_str(), Bob().HiveFile().c_str()), ERROR_SUCCESS);

    RecordingLog log;
    RemoveRootFoldersAndKeys(log);

    EXPECT_FALSE(Lab::KeyExists(Lab::Hku(BobsMount())));
    EXPECT_FALSE(Exists(Bob().localAppData + L"\\Orvalis"));
    EXPECT_TRUE(Exists(Bob().localAppData + L"\\Kestrel\\backup.ini"));
    const std::wstring text = log.Text();
    EXPECT_EQ(text.find(L"failed"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"Deleting registry key \"HKU\\" + Bob().sid + L"\\Software\\Orvalis\"...done\r\n"),
              std::wstring::npos)
        << text;
}

TEST_F(ProfilePassesTest, AMissingHiveIsAFailedStepAndTheOtherProfilesAndLaterPassesGoOn) {
    const std::wstring hive = Bob().HiveFile();
    const std::wstring aside = hive + L".aside";
    ASSERT_TRUE(MoveFileW(hive.c_str(), aside.c_str()));

    std::vector<std::wstring> failed;
    RecordingLog recorded;
    {
        Remove::FailedStepLog log(recorded, [&](const std::wstring& line) { failed.push_back(line); });
        RemoveRootFoldersAndKeys(log);
    }
    const std::wstring text = recorded.Text();
    const std::wstring pass = L"Profile " + Bob().sid + L" (" + Bob().folder + L"):\r\n"
                              L"Loading the registry hive \"" + hive + L"\"...failed: ";
    EXPECT_NE(text.find(pass), std::wstring::npos) << text;
    ASSERT_EQ(failed.size(), 1u) << text;
    EXPECT_EQ(failed[0].rfind(L"Loading the registry hive", 0), 0u) << failed[0];
    // Alice's pass went ahead; bob's folders are not where the defaults
    // would look, so they stay for now.
    EXPECT_FALSE(Exists(profiles[0].localAppData + L"\\Orvalis"));
    EXPECT_TRUE(Exists(Bob().localAppData + L"\\Orvalis"));

    // Once the hive is back, the next pass loads it and takes bob's traces.
    ASSERT_TRUE(MoveFileW(aside.c_str(), hive.c_str()));
    RecordingLog again;
    RemoveRootFoldersAndKeys(again);
    EXPECT_FALSE(Exists(Bob().localAppData + L"\\Orvalis")) << again.Text();
    EXPECT_FALSE(Lab::KeyExists(Lab::Hku(BobsMount())));
}

TEST_F(ProfilePassesTest, TheDefaultProfileComesLastAndIsNamedAsDefault) {
    const std::wstring folder = Lab::PlantDefaultProfile();
    RecordingLog log;
    RemoveRootFoldersAndKeys(log);

    const std::wstring text = log.Text();
    const size_t pass = text.find(L"Profile Default (" + folder + L"):\r\n"
                                  L"Deleting directory \"" + folder + L"\\AppData\\Local\\Orvalis\"...done\r\n"
                                  L"Deleting registry key \"HKU\\Default\\Software\\Orvalis\"...done\r\n");
    ASSERT_NE(pass, std::wstring::npos) << text;
    EXPECT_GT(pass, text.find(L"Profile " + Bob().sid)) << text;
    EXPECT_TRUE(Exists(folder + L"\\AppData\\Local\\Kestrel\\backup.ini"));
    EXPECT_FALSE(Lab::KeyExists(Lab::Hku(HiveMountName(L"Default"))));
}

// ProfileList is registry data: an entry whose folder is not an absolute
// path on a local drive (here one relative to drive C's current folder, which
// reaches C:\users\carol) is damaged or hostile, and nothing of it is opened.
TEST_F(ProfilePassesTest, AProfileFolderThatIsNotALocalAbsolutePathIsLeftAlone) {
    const Lab::RegKey entry =
        Lab::Hklm64(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-0-0-0-1003");
    const std::wstring data = L"C:\\users\\carol\\AppData\\Local\\Orvalis\\ORV Client";
    struct Cleanup {
        Lab::RegKey entry;
        ~Cleanup() {
            Lab::DeleteTree(entry);
            Lab::DeleteFolderTree(L"C:\\users\\carol");
        }
    } cleanup{entry};
    Lab::SetValue(entry, Lab::TextValue(L"ProfileImagePath", L"C:users\\carol", REG_EXPAND_SZ));
    Lab::WriteBytes(data + L"\\state.dat", "state\r\n");
    ASSERT_TRUE(Exists(L"C:users\\carol"));

    RecordingLog log;
    RemoveRootFoldersAndKeys(log);
    EXPECT_TRUE(Exists(data + L"\\state.dat"));
    EXPECT_EQ(log.Text().find(L"carol"), std::wstring::npos) << log.Text();
}

// Wine never writes a loaded hive back to its file: the "RegUnLoadKeyW" seam
// keeps the hive that the console's removal loaded, so that the test can
// read what its steps left in it. The lab's reset unloads it.
TEST_F(ProfilePassesTest, TheConsoleFindsAndDeletesItsTracesInAHiveThePassLoadsItself) {
    RecordingLog log;
    ConsoleProduct console(log);
    console.Detect();
    EXPECT_TRUE(console.installed);
    const std::wstring bobsKey = L"HKU\\" + Bob().sid + L"\\Software\\Orvalis\\Enterprise Console";
    EXPECT_NE(log.Text().find(L"Profile " + Bob().sid + L" (" + Bob().folder + L"):\r\n"
                              L"Checking for registry key \"" + bobsKey + L"\"...found\r\n"),
              std::wstring::npos)
        << log.Text();
    EXPECT_FALSE(Lab::KeyExists(Lab::Hku(BobsMount())));

    {
        const WindowsPlatform::ScopedFault keep("RegUnLoadKeyW", ERROR_ACCESS_DENIED);
        console.Remove();
    }
    ASSERT_TRUE(Lab::KeyExists(Lab::Hku(BobsMount())));
    EXPECT_FALSE(Lab::KeyExists(Lab::Hku(BobsMount() + L"\\Software\\Orvalis\\Enterprise Console")));
    EXPECT_TRUE(Lab::KeyExists(Lab::Hku(BobsMount() + L"\\Software\\Orvalis\\ORV Client")));
    EXPECT_TRUE(Lab::KeyExists(Lab::Hku(BobsMount() + L"\\" + Lab::kProfileBystanderKey)));
    EXPECT_FALSE(Exists(Bob().localAppData + L"\\Orvalis\\Enterprise Console"));
    EXPECT_TRUE(Exists(Bob().localAppData + L"\\Orvalis\\ORV Client\\state.dat"));
    const std::wstring text = log.Text();
    EXPECT_NE(text.find(L"Deleting registry key \"" + bobsKey + L"\"...done\r\n"), std::wstring::npos) << text;
    // The seam's refusal is the step that failed.
    EXPECT_NE(text.find(L"Unloading the registry hive \"" + Bob().HiveFile() + L"\"...failed: "), std::wstring::npos)
        << text;
    EXPECT_EQ(text.find(L"ORVRemove-"), std::wstring::npos) << text;
}

// A product installed per user by bob, who is not logged on: its records are
// in his hive file only. The lookup loads the hive, finds them and unloads it;
// a lookup of a name his records do not hold does not load it again (the
// "RegLoadKeyW" seam would make such a load a failed step). The removal runs
// with the "RegUnLoadKeyW" seam keeping the hive loaded, since Wine never
// writes a loaded hive back to its file; the lab's reset unloads it.
TEST_F(ProfilePassesTest, AProductInstalledPerUserIsFoundAndRemovedInAHiveThePassLoadsItself) {
    const Lab::ProfileInstallerRecords records = Lab::PlantProfileInstallerRecords(Bob(), L"RGP Console");
    RecordingLog log;
    EXPECT_TRUE(FindInstallerProduct(L"RGP Console", log));
    const std::wstring products = L"HKU\\" + Bob().sid + L"\\Software\\Microsoft\\Installer\\Products";
    EXPECT_NE(log.Text().find(L"Profile " + Bob().sid + L" (" + Bob().folder + L"):\r\n"
                              L"Looking for product \"RGP Console\" in \"" + products + L"\"...\r\n"
                              L"...found key \"" + records.productCode + L"\"\r\n"),
              std::wstring::npos)
        << log.Text();
    EXPECT_FALSE(Lab::KeyExists(Lab::Hku(BobsMount())));
    {
        const WindowsPlatform::ScopedFault noLoad("RegLoadKeyW", ERROR_ACCESS_DENIED);
        RecordingLog other;
        EXPECT_FALSE(FindInstallerProduct(L"Orvalis Enterprise Console", other));
        EXPECT_EQ(other.Text().find(L"Profile "), std::wstring::npos) << other.Text();
    }

    RecordingLog removal;
    {
        const WindowsPlatform::ScopedFault keep("RegUnLoadKeyW", ERROR_ACCESS_DENIED);
        EXPECT_FALSE(RemoveInstallerRecords(L"RGP Console", removal));  // the hive stayed loaded
    }
    ASSERT_TRUE(Lab::KeyExists(Lab::Hku(BobsMount())));
    for (const std::wstring& key : records.productKeys)
        EXPECT_FALSE(Lab::KeyExists(Lab::Hku(BobsMount() + L"\\" + key))) << key;
    for (const std::wstring& key : records.bystanderKeys)
        EXPECT_TRUE(Lab::KeyExists(Lab::Hku(BobsMount() + L"\\" + key))) << key;
    EXPECT_FALSE(Lab::KeyExists(records.ownComponent));
    EXPECT_FALSE(Lab::ReadText(records.sharedComponent, records.productCode).has_value());
    EXPECT_TRUE(Lab::ReadText(records.sharedComponent, records.bystanderCode).has_value());
    const std::wstring text = removal.Text();
    EXPECT_NE(text.find(L"Profile " + Bob().sid + L" (" + Bob().folder + L"):\r\n"
                        L"Deleting registry key \"" + products + L"\\" + records.productCode + L"\"...done\r\n"),
              std::wstring::npos)
        << text;
    EXPECT_EQ(text.find(L"ORVRemove-"), std::wstring::npos) << text;
}

}  // namespace
