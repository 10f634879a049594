// The real ORVRemove.exe on a lab machine with two more users' profiles
// besides the test user's: alice is logged on (her hive is loaded under
// HKU\<SID>), bob is not (his hive is only its NTUSER.DAT, and his shell
// folders are not at their usual places). Each has the suite's per-user
// keys and folders and bystanders of their own; alice also has Windows
// Installer's records of a console edition she installed for herself, beside
// a bystander product's.

#include "support/BoxDriver.h"
#include "support/DialogDriver.h"
#include "support/FileBytes.h"
#include "support/LabMachine.h"
#include "support/LabPaths.h"
#include "support/TempTree.h"

#include "LabProfiles.h"
#include "ProfileInstallerRecords.h"
#include "RegistryKey.h"

#include "platform/Text.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace {

class ProfilesLabTest : public LabMachineTest {
protected:
    DrivenRun Run(const std::wstring& arguments) {
        const DrivenRun run = RunAndAnswerBoxes(L"\"" + ProductProgram() + L"\" " + arguments);
        EXPECT_FALSE(run.timedOut) << "ORVRemove did not end";
        return run;
    }

    std::wstring Log() const { return Utf8ToWide(ReadFileBytes(logPath)); }

    // The backup file the run's log names.
    std::wstring BackupText() const {
        const std::wstring log = Log();
        const size_t named = log.find(L"Registry backup: ");
        if (named == std::wstring::npos) return {};
        const size_t start = named + 17;
        return ReadUtf16File(log.substr(start, log.find(L"\r\n", start) - start));
    }

    static bool Contains(const std::wstring& text, const std::wstring& part) {
        return text.find(part) != std::wstring::npos;
    }

    // Hives under HKEY_USERS that the remover loaded under its own name.
    static std::vector<std::wstring> RemoversHives() {
        std::vector<std::wstring> left;
        for (const std::wstring& name : Lab::Subkeys(Lab::Hku(L"")))
            if (name.rfind(L"ORVRemove-", 0) == 0) left.push_back(name);
        return left;
    }

    static bool OpensExclusively(const std::wstring& file) {
        const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return false;
        CloseHandle(handle);
        return true;
    }

    TempTree files;
    const std::wstring logPath = files.Path(L"run.log");
    const std::wstring logSwitch = L"\"/log=" + logPath + L"\"";
};

TEST_F(ProfilesLabTest, RemovalTakesTheSuiteFromEveryProfileAndLeavesNoHiveLoaded) {
    PlantWholeSuite();
    Lab::PlantBystanders();
    const std::vector<Lab::LabProfile> profiles = Lab::PlantProfiles();
    const Lab::LabProfile& alice = profiles[0];
    const Lab::LabProfile& bob = profiles[1];
    ASSERT_TRUE(alice.loaded);
    ASSERT_FALSE(bob.loaded);
    // Wine never writes a loaded hive back to its file, so every load of
    // bob's file brings back what it held: the console's key there would be
    // found again by the detection after the console's removal. His hive
    // keeps the agent's key, which only the final cleanup takes; the
    // console's key in a hive the remover loads is ProfilePassesTest's.
    Lab::DeleteFromHiveFile(bob, L"Software\\Orvalis\\Enterprise Console");
    // Not the edition the suite's console is planted as: the purge finds it
    // after that one's records went.
    const Lab::ProfileInstallerRecords records = Lab::PlantProfileInstallerRecords(alice, L"RGP Console");
    const std::wstring alicesProducts = L"HKU\\" + alice.sid + L"\\Software\\Microsoft\\Installer\\Products\\";
    const Lab::Snapshot before = Lab::TakeSnapshot();
    ASSERT_FALSE(Lab::LinesWithin(before.lines, Lab::ProfileSuitePrefixes()).empty());

    // The plan names every profile's targets where Windows keeps them, bob's
    // too, and changes nothing.
    const std::wstring planPath = files.Path(L"plan.log");
    const DrivenRun plan = Run(L"/silent /whatif /all \"/log=" + planPath + L"\"");
    EXPECT_EQ(plan.exitCode, 5u);
    const std::wstring planned = Utf8ToWide(ReadFileBytes(planPath));
    EXPECT_TRUE(Contains(planned, L"Would delete registry key \"HKU\\" + bob.sid + L"\\Software\\Orvalis\"\r\n"));
    EXPECT_TRUE(Contains(planned, L"Would delete directory \"" + bob.documents + L"\\ORVCredentials\" ("));
    EXPECT_TRUE(Contains(planned, L"Would delete registry key \"HKU\\" + alice.sid +
                                      L"\\Software\\Orvalis\\Enterprise Console\"\r\n"));
    EXPECT_TRUE(Contains(planned, L"Would delete registry key \"" + alicesProducts + records.productCode + L"\"\r\n"));
    EXPECT_FALSE(Contains(planned, records.bystanderCode));
    EXPECT_FALSE(Contains(planned, L"ORVRemove-S-"));
    EXPECT_EQ(Lab::LinesOutside(Lab::Diff(before, Lab::TakeSnapshot()).went, {Lab::FilePrefix(files.Root())}),
              NoLines());

    const std::wstring backups = files.Path(L"backups");
    const std::wstring reportPath = files.Path(L"report.json");
    const DrivenRun run =
        Run(L"/silent /all " + logSwitch + L" \"/backup=" + backups + L"\" \"/report=" + reportPath + L"\"");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.boxes.empty());
    const Lab::Snapshot after = Lab::TakeSnapshot();

    // Nothing of the suite in any profile's folders or loaded hive; every
    // bystander, of the machine and of the profiles, as it was.
    EXPECT_EQ(Lab::LinesWithin(after.lines, Lab::ProfileSuitePrefixes()), NoLines());
    EXPECT_EQ(Lab::LinesWithin(after.lines, Lab::ComponentPrefixes(L"user")), NoLines());
    EXPECT_EQ(Lab::MissingBystanderLines(before, after), NoLines());
    EXPECT_EQ(Lab::MissingLines(after, Lab::LinesWithin(before.lines, Lab::ProfileBystanderPrefixes())), NoLines());

    // Alice's own installer records of the console went, with its component
    // registrations; the bystander product's records and its value in the
    // component they share stayed.
    for (const std::wstring& key : records.productKeys)
        EXPECT_FALSE(Lab::KeyExists(Lab::Hku(alice.sid + L"\\" + key))) << key;
    for (const std::wstring& key : records.bystanderKeys)
        EXPECT_TRUE(Lab::KeyExists(Lab::Hku(alice.sid + L"\\" + key))) << key;
    EXPECT_FALSE(Lab::KeyExists(records.ownComponent));
    EXPECT_FALSE(Lab::ReadText(records.sharedComponent, records.productCode).has_value());
    EXPECT_TRUE(Lab::ReadText(records.sharedComponent, records.bystanderCode).has_value());

    // Each profile's pass names whose it is; bob's folders came from his own
    // hive.
    const std::wstring log = Log();
    for (const Lab::LabProfile& profile : profiles)
        EXPECT_TRUE(Contains(log, L"\r\nProfile " + profile.sid + L" (" + profile.folder + L"):\r\n")) << profile.name;
    EXPECT_TRUE(Contains(log, L"Deleting directory \"" + bob.localAppData + L"\\Orvalis\\Enterprise Console\"...done"));
    EXPECT_TRUE(Contains(log, L"Deleting directory \"" + bob.documents + L"\\ORVCredentials\"...done"));

    // Bob's hive, which the remover loaded itself: it read the keys there
    // (the backup holds them, named where Windows keeps them), deleted them
    // while it was loaded, unloaded it and left its file closed. Wine never
    // writes a loaded hive back to its file, so the file itself still holds
    // the keys; on Windows they are gone from it too.
    const std::wstring bobsKey = L"HKU\\" + bob.sid + L"\\Software\\Orvalis";
    const std::wstring backup = BackupText();
    EXPECT_TRUE(Contains(backup, L"[HKEY_USERS\\" + alice.sid + L"\\Software\\Microsoft\\Installer\\Products\\" +
                                     records.productCode + L"]\r\n"));
    EXPECT_TRUE(Contains(backup, L"\"ProductName\"=\"RGP Console\"\r\n"));
    EXPECT_TRUE(Contains(log, L"Deleting registry key \"" + alicesProducts + records.productCode + L"\"...done\r\n"));
    EXPECT_TRUE(Contains(backup, L"[HKEY_USERS\\" + bob.sid + L"\\Software\\Orvalis\\ORV Client]\r\n"
                                 L"\"LastServer\"=\"bob-server\"\r\n"));
    EXPECT_FALSE(Contains(backup, L"ORVRemove-"));
    EXPECT_TRUE(Contains(log, L"Deleting registry key \"" + bobsKey + L"\"...done\r\n"));
    EXPECT_FALSE(Contains(log, L"ORVRemove-S-"));
    EXPECT_EQ(RemoversHives(), NoLines());
    EXPECT_FALSE(Lab::KeyExists(Lab::Hku(bob.sid)));
    EXPECT_TRUE(OpensExclusively(bob.HiveFile()));
    EXPECT_TRUE(Lab::HiveFileHasKey(bob, Lab::kProfileBystanderKey));

    // The report says per profile what went (left beside the report cases'
    // reports, which the schema check reads).
    const std::wstring reports = ArtefactFolder() + L"\\reports";
    CreateDirectoryW(reports.c_str(), nullptr);
    CopyFileW(reportPath.c_str(), (reports + L"\\profiles-removal.json").c_str(), FALSE);
    const nlohmann::json report = nlohmann::json::parse(ReadFileBytes(reportPath));
    ASSERT_EQ(report["profiles"].size(), 2u);
    EXPECT_EQ(report["profiles"][0]["profile"], TranscodeU16ToU8(alice.sid));
    EXPECT_EQ(report["profiles"][1]["profile"], TranscodeU16ToU8(bob.sid));
    EXPECT_EQ(report["profiles"][1]["folder"], TranscodeU16ToU8(bob.folder));
    const auto& bobsLines = report["profiles"][1]["lines"];
    EXPECT_NE(std::find(bobsLines.begin(), bobsLines.end(),
                        TranscodeU16ToU8(L"Deleting registry key \"" + bobsKey + L"\"...done")),
              bobsLines.end())
        << bobsLines.dump();

    // What Windows would have written to bob's file at the unload; then a
    // detection finds nothing anywhere, and loads and unloads his hive again.
    Lab::DeleteFromHiveFile(bob, Lab::kProfileSuiteKey);
    const DrivenRun detection = Run(L"/silent /detect /all");
    EXPECT_EQ(detection.exitCode, 0u);
    EXPECT_EQ(RemoversHives(), NoLines());
    EXPECT_TRUE(OpensExclusively(bob.HiveFile()));
}

}  // namespace
