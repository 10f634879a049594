// The real ORVRemove.exe in silent mode on lab machines that carry the
// console, the client deploy tool, the installation generator, the platform
// API and the components that live next to the agent, each planted the way
// its setup installs it, beside bystanders that must survive every run.

#include "support/BoxDriver.h"
#include "support/LabMachine.h"
#include "support/LabPaths.h"

#include "InstallerRecords.h"
#include "LabFiles.h"
#include "MachinePaths.h"
#include "RegistryKey.h"

#include <algorithm>

namespace {

using Lines = std::vector<std::wstring>;

class ComponentsLabTest : public LabMachineTest {
protected:
    DrivenRun Run(const std::wstring& arguments) {
        const DrivenRun run = RunAndAnswerBoxes(L"\"" + ProductProgram() + L"\" " + arguments);
        EXPECT_FALSE(run.timedOut) << "ORVRemove did not end";
        return run;
    }

    // Lines of the snapshot that still belong to the given prefixes.
    static Lines Remaining(const Lab::Snapshot& snapshot, const Lines& prefixes) {
        return Lab::LinesWithin(snapshot.lines, prefixes);
    }

    // Lines of the first snapshot under the prefixes that the second lacks.
    static Lines Lost(const Lab::Snapshot& before, const Lab::Snapshot& after, const Lines& prefixes) {
        return Lab::MissingLines(after, Lab::LinesWithin(before.lines, prefixes));
    }

    // The runs of the lab programs that stand in for the product's setup,
    // helper or control program (role "setup", "helper", "control").
    static std::vector<Lab::SetupRun> RunsOf(const std::wstring& product, const std::wstring& role) {
        std::vector<Lab::SetupRun> runs;
        for (const auto& run : Lab::SetupRuns()) {
            if (run.product == product && run.role == role) runs.push_back(run);
        }
        return runs;
    }
};

// The console's settings key in the hives of the accounts that do not run
// the removal.
Lines OtherUsersConsoleKeys() {
    Lines prefixes;
    for (const auto& hive : Lab::UserHives()) {
        if (hive == Lab::CurrentUserHive()) continue;
        prefixes.push_back(Lab::RegPrefix(Lab::Hku(hive + L"\\Software\\Orvalis\\Enterprise Console")));
    }
    return prefixes;
}

TEST_F(ComponentsLabTest, ConsoleThatEmbedsTheDeployToolGoesAndTheToolsTracesStay) {
    Lab::PlantBystanders();
    const Lab::Planted console = Lab::Plant(L"console");  // version 9.5.5.0, Windows Installer
    ASSERT_EQ(console.uninstallString, L"MsiExec.exe /I" + console.productCode);
    Lab::Plant(L"cdt");
    const Lab::Snapshot before = Lab::TakeSnapshot();

    const DrivenRun run = Run(L"/silent /console");
    EXPECT_TRUE(run.boxes.empty());

    const Lab::Snapshot after = Lab::TakeSnapshot();
    const Lines consolePrefixes = Lab::ComponentPrefixes(L"console");
    const Lines otherUsers = OtherUsersConsoleKeys();
    ASSERT_FALSE(otherUsers.empty());
    // Windows Installer took the package back ("/X{GUID} /qn"), the remover
    // the folder and the traces of the user who ran it; other accounts'
    // settings stay.
    EXPECT_FALSE(Lab::KeyExists(Lab::ProductsRecord(console.productCode)));
    EXPECT_EQ(Lab::LinesOutside(Remaining(after, consolePrefixes), otherUsers), NoLines());
    EXPECT_EQ(Lost(before, after, otherUsers), NoLines());
    EXPECT_EQ(Lab::LinesOutside(Lab::Diff(before, after).went, consolePrefixes), NoLines());

    // The deploy tool counted as part of the console, so it was neither run
    // nor touched; found on its own now, it keeps the suite's roots.
    EXPECT_EQ(Lost(before, after, Lab::ComponentPrefixes(L"cdt")), NoLines());
    EXPECT_TRUE(RunsOf(L"cdt", L"setup").empty());
    EXPECT_EQ(Lab::MissingBystanderLines(before, after), NoLines());
}

TEST_F(ComponentsLabTest, ForcedClientRemovalTakesTheLoggingServiceAndDlpAlong) {
    Lab::PlantBystanders();
    Lab::Plant(L"agent", Lab::SetupKind::InstallShield);
    Lab::Plant(L"loggingservice");  // Windows Installer, with "UninstallCmdLine"
    const Lab::Planted dlp = Lab::Plant(L"dlp");
    Lab::Plant(L"relay");
    const Lab::Snapshot before = Lab::TakeSnapshot();

    const DrivenRun run = Run(L"/silent /client /force");
    EXPECT_TRUE(run.boxes.empty());

    const Lab::Snapshot after = Lab::TakeSnapshot();
    const Lines removed = Prefixes({L"agent", L"loggingservice", L"dlp"});
    EXPECT_EQ(Remaining(after, removed), NoLines());
    EXPECT_EQ(Lab::LinesOutside(Lab::Diff(before, after).went, removed), NoLines());
    EXPECT_EQ(Lost(before, after, Lab::ComponentPrefixes(L"relay")), NoLines());
    EXPECT_EQ(Lab::MissingBystanderLines(before, after), NoLines());

    // DLP's control program ran first, with " -u", and unloaded its service.
    const auto control = RunsOf(L"dlp", L"control");
    ASSERT_EQ(control.size(), 1u);
    EXPECT_EQ(control[0].result, L"removed");
    EXPECT_EQ(control[0].commandLine, L"\"" + dlp.mainProgram + L"\" -u");
}

TEST_F(ComponentsLabTest, PlatformApiSetupGetsTheResponseFileThatNamesItsProductCode) {
    Lab::PlantBystanders();
    const Lab::Planted api = Lab::Plant(L"api");  // InstallShield
    const Lab::Snapshot before = Lab::TakeSnapshot();

    const DrivenRun run = Run(L"/silent /api");
    EXPECT_TRUE(run.boxes.empty());

    const auto setups = RunsOf(L"api", L"setup");
    ASSERT_EQ(setups.size(), 1u);
    // "matched": the file held the dialog answers keyed five times by the
    // product code, byte for byte.
    EXPECT_EQ(setups[0].response + L" " + setups[0].result, L"matched removed");
    const std::wstring lead = api.uninstallString + L" -s -f1\"";
    ASSERT_EQ(setups[0].commandLine.rfind(lead, 0), 0u) << setups[0].commandLine;
    const std::wstring responseFile =
        setups[0].commandLine.substr(lead.size(), setups[0].commandLine.size() - lead.size() - 1);
    EXPECT_FALSE(Lab::PathExists(responseFile)) << "the response file outlived the run";

    const Lab::Snapshot after = Lab::TakeSnapshot();
    EXPECT_EQ(Remaining(after, Lab::ComponentPrefixes(L"api")), NoLines());
    EXPECT_EQ(Lab::MissingBystanderLines(before, after), NoLines());
}

TEST_F(ComponentsLabTest, DesktopEngineStaysWhenItsUninstallStringOutlivesTheUninstaller) {
    // MsiExec.exe /I{GUID} /qn is a maintenance installation: the engine
    // stays registered, so the remover counts it as still installed and
    // leaves the suite's roots alone.
    const Lab::Planted engine = Lab::Plant(L"msde");
    Lab::Plant(L"user");
    const Lab::Snapshot before = Lab::TakeSnapshot();
    EXPECT_TRUE(Run(L"/silent /msde").boxes.empty());
    const Lab::Snapshot after = Lab::TakeSnapshot();
    EXPECT_EQ(Lab::ReadText(Lab::UninstallEntry(engine.productCode), L"UninstallString"), engine.uninstallString);
    EXPECT_TRUE(Lab::PathExists(engine.mainProgram));
    EXPECT_EQ(Lost(before, after, Lab::ComponentPrefixes(L"user")), NoLines());

    // With MsiExec.exe /X{GUID} the same run takes the engine off, and with
    // it nothing of the suite is left.
    Lab::Reset();
    Lab::PlantOptions byX;
    byX.uninstallByX = true;
    Lab::Plant(L"msde", byX);
    Lab::Plant(L"user");
    EXPECT_TRUE(Run(L"/silent /msde").boxes.empty());
    const Lab::Snapshot cleaned = Lab::TakeSnapshot();
    EXPECT_EQ(Remaining(cleaned, Prefixes({L"msde", L"user"})), NoLines());
}

TEST_F(ComponentsLabTest, AllOnAMachineWithEveryComponentLeavesOnlyTheBystanders) {
    Lab::PlantBystanders();
    PlantWholeSuite();
    const Lab::Snapshot before = Lab::TakeSnapshot();

    const DrivenRun run = Run(L"/silent /all");
    EXPECT_TRUE(run.boxes.empty());

    const Lab::Snapshot after = Lab::TakeSnapshot();
    const Lines ours = Prefixes(kWholeSuite);
    EXPECT_EQ(Remaining(after, ours), NoLines());
    EXPECT_EQ(Remaining(after, kRootPrefixes), NoLines());
    EXPECT_EQ(Lab::MissingBystanderLines(before, after), NoLines());
    Lines allowed = ours;
    allowed.insert(allowed.end(), kRootPrefixes.begin(), kRootPrefixes.end());
    allowed.push_back(L"file C:\\Program Files (x86)\\InstallShield Installation Information");
    EXPECT_EQ(Lab::LinesOutside(Lab::Diff(before, after).went, allowed), NoLines());

    // Every InstallShield setup was called in its own form and finished.
    for (const wchar_t* product : {L"agent", L"server", L"cdt", L"generator", L"api"}) {
        const auto setups = RunsOf(product, L"setup");
        ASSERT_EQ(setups.size(), 1u) << product;
        EXPECT_EQ(setups[0].result, L"removed") << product << L": " << setups[0].commandLine;
    }
    EXPECT_EQ(RunsOf(L"dlp", L"control").size(), 1u);
}

}  // namespace
