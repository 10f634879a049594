// Resetting the lab machine, and the bystanders that must survive.

#include "support/LabMachine.h"

namespace {

class LabResetTest : public LabMachineTest {
protected:
    static void PlantEverything() {
        Lab::PlantOptions relay;
        relay.webReports = true;
        Lab::Plant(L"relay", relay);
        Lab::Plant(L"agent", Lab::SetupKind::InstallShield);
        Lab::Plant(L"server", Lab::SetupKind::InstallShield);
        Lab::Plant(L"user");
        for (const wchar_t* component :
             {L"console", L"cdt", L"generator", L"api", L"loggingservice", L"dlp", L"a2a", L"sam", L"msde"}) {
            Lab::Plant(component);
        }
        Lab::PlantBystanders();
    }
};

TEST_F(LabResetTest, ResetLeavesTheMachineAsItWasBeforePlanting) {
    const Lab::Snapshot clean = Lab::TakeSnapshot();
    PlantEverything();
    EXPECT_THROW(Lab::Plant(L"agent"), Lab::Error);
    Lab::Reset();
    const Lab::SnapshotDiff diff = Lab::Diff(clean, Lab::TakeSnapshot());
    EXPECT_EQ(diff.went, NoLines());
    EXPECT_EQ(diff.came, NoLines());
}

TEST_F(LabResetTest, ResettingOursKeepsEveryBystanderAsItWas) {
    PlantEverything();
    const Lab::Snapshot planted = Lab::TakeSnapshot();
    const auto bystanderLines = Lab::LinesWithin(planted.lines, Lab::BystanderPrefixes());
    EXPECT_GT(bystanderLines.size(), 50u);
    for (const auto* line : {L"svc KestrelBackup  RUNNING", L"svc ORVClientMonitor  RUNNING"}) {
        EXPECT_EQ(Lab::MissingLines(planted, {line}), NoLines());
    }

    Lab::Reset(Lab::ResetScope::Ours);
    const Lab::Snapshot after = Lab::TakeSnapshot();
    EXPECT_EQ(Lab::MissingBystanderLines(planted, after), NoLines());
    const Lab::SnapshotDiff diff = Lab::Diff(planted, after);
    EXPECT_EQ(Lab::LinesWithin(diff.went, Lab::BystanderPrefixes()), NoLines());
    EXPECT_EQ(diff.came, NoLines());
}

}  // namespace
