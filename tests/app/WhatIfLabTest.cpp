// The real ORVRemove.exe plans the removal of the whole suite with /whatif,
// then removes it with a registry backup, on one lab machine: the plan
// changes nothing and names what the removal then takes, and the backup
// brings back every registry key and value of the plan, including those the
// components' own uninstallers deleted.

#include "support/BoxDriver.h"
#include "support/FileBytes.h"
#include "support/LabMachine.h"
#include "support/LabPaths.h"
#include "support/RegImport.h"
#include "support/TempTree.h"

#include <regex>

namespace {

using Lines = std::vector<std::wstring>;

// What only the uninstallers remove, which the plan names by naming the
// uninstaller: App Paths entries, Windows Installer's bookkeeping in the
// 64-bit view and its package cache, the InstallShield setups' cached
// copies, the desktop engine (it has no steps of its own beyond its
// uninstaller), and the services that the agent's helper and DLP's control
// program remove when they are run to uninstall.
const Lines kOnlyUninstallersRemove = {
    L"reg HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
    L"reg HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer",
    L"file C:\\windows\\Installer",
    L"file C:\\Program Files (x86)\\InstallShield Installation Information",
    L"svc ORVClientHelper",
    L"reg HKLM\\SYSTEM\\CurrentControlSet\\Services\\ORVClientHelper",
    L"svc ORVTightseal",
    L"reg HKLM\\SYSTEM\\CurrentControlSet\\Services\\ORVTightseal",
};

// The same with the desktop engine's own traces, by the lab's names.
Lines OnlyUninstallersRemove() {
    Lines prefixes = Lab::ComponentPrefixes(L"msde");
    prefixes.insert(prefixes.end(), kOnlyUninstallersRemove.begin(), kOnlyUninstallersRemove.end());
    return prefixes;
}

// A service's registration, which the backup does not hold.
const Lines kServiceRegistrations = {L"reg HKLM\\SYSTEM\\CurrentControlSet\\Services"};

class WhatIfLabTest : public LabMachineTest {
protected:
    DrivenRun Run(const std::wstring& arguments) {
        const DrivenRun run = RunAndAnswerBoxes(L"\"" + ProductProgram() + L"\" " + arguments);
        EXPECT_FALSE(run.timedOut) << "ORVRemove did not end";
        return run;
    }

    Lines Changed(const Lines& lines) const { return Lab::LinesOutside(lines, {Lab::FilePrefix(files.Root())}); }

    TempTree files;
};

// The snapshot prefixes of everything the plan says would go: each service
// with its registration, each folder and each key.
Lines PlannedPrefixes(const std::wstring& log) {
    static const std::wregex kPlanLine(
        L"Would (stop and delete service|delete directory|delete registry key) \"([^\"]*)\"");
    Lines prefixes;
    for (std::wsregex_iterator it(log.begin(), log.end(), kPlanLine), end; it != end; ++it) {
        const std::wstring what = (*it)[1];
        std::wstring target = (*it)[2];
        if (what == L"stop and delete service") {
            prefixes.push_back(L"svc " + target);
            prefixes.push_back(L"reg HKLM\\SYSTEM\\CurrentControlSet\\Services\\" + target);
        } else if (what == L"delete directory") {
            while (!target.empty() && target.back() == L'\\') target.pop_back();
            prefixes.push_back(L"file " + target);
        } else {
            prefixes.push_back(L"reg " + target);
        }
    }
    return prefixes;
}

Lines RegistryLines(const Lines& lines) {
    Lines registry;
    for (const std::wstring& line : lines)
        if (line.rfind(L"reg ", 0) == 0) registry.push_back(line);
    return registry;
}

TEST_F(WhatIfLabTest, PlanChangesNothingNamesWhatTheRemovalTakesAndTheBackupBringsItsRegistryBack) {
    Lab::PlantBystanders();
    PlantWholeSuite();
    const Lab::Snapshot before = Lab::TakeSnapshot();

    // The plan: exit code 5, no box, no setup started, nothing changed.
    const std::wstring planPath = files.Path(L"plan.log");
    const DrivenRun plan = Run(L"/silent /whatif /all \"/log=" + planPath + L"\"");
    EXPECT_EQ(plan.exitCode, 5u);
    EXPECT_TRUE(plan.boxes.empty());
    EXPECT_TRUE(Lab::SetupRuns().empty());
    const auto unchanged = Lab::Diff(before, Lab::TakeSnapshot());
    EXPECT_EQ(Changed(unchanged.went), NoLines());
    EXPECT_EQ(Changed(unchanged.came), NoLines());
    const std::wstring planLog = Utf8ToWide(ReadFileBytes(planPath));
    EXPECT_NE(planLog.find(L"\r\nWould run uninstaller for \"Stennet Orvalis Client\" with command "),
              std::wstring::npos);
    EXPECT_NE(planLog.find(L"\r\nWhen nothing of the suite is left, the removal ends with the cleanup"),
              std::wstring::npos);
    EXPECT_NE(planLog.find(L"\r\nPlanned actions: "), std::wstring::npos);

    // The removal of the same machine, with a backup.
    const std::wstring folder = files.Path(L"backups");
    const DrivenRun run = Run(L"/silent /all \"/log=" + files.Path(L"run.log") + L"\" \"/backup=" + folder + L"\"");
    EXPECT_EQ(run.exitCode, 0u);
    const Lab::Snapshot after = Lab::TakeSnapshot();
    EXPECT_EQ(Lab::MissingBystanderLines(before, after), NoLines());
    const Lines went = Changed(Lab::Diff(before, after).went);
    ASSERT_FALSE(went.empty());
    const Lines planned = PlannedPrefixes(planLog);
    EXPECT_EQ(Lab::LinesOutside(Lab::LinesOutside(went, planned), OnlyUninstallersRemove()), NoLines());

    // Every registry line of the plan that went is back after the import.
    WIN32_FIND_DATAW found{};
    WindowsPlatform::UniqueFindHandle search(FindFirstFileW((folder + L"\\*.reg").c_str(), &found));
    ASSERT_TRUE(search);
    ASSERT_EQ(ImportRegFile(folder + L"\\" + found.cFileName), 0u);
    const Lines restorable =
        Lab::LinesWithin(Lab::LinesOutside(RegistryLines(went), kServiceRegistrations), planned);
    EXPECT_GT(restorable.size(), 300u);
    EXPECT_EQ(Lab::MissingLines(Lab::TakeSnapshot(), restorable), NoLines());
}

}  // namespace
