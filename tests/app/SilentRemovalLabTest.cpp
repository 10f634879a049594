// The real ORVRemove.exe in silent mode on lab machines whose components
// were planted the way their setups install them, beside bystanders that
// must survive every run. Message boxes are real windows, answered by the
// box driver.

#include "support/BoxDriver.h"
#include "support/LabMachine.h"
#include "support/LabPaths.h"

#include "RegistryKey.h"

#include <algorithm>

namespace {

// What a failed uninstaller leaves that the manual steps do not take: the
// App Paths entry, the installer's own bookkeeping in its 64-bit location and
// the setup's cached copy.
const std::vector<std::wstring> kSetupLeftovers = {
    L"reg HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\",
    L"reg HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\",
    L"file C:\\Program Files (x86)\\InstallShield Installation Information\\",
};

class SilentRemovalLabTest : public LabMachineTest {
protected:
    DrivenRun Run(const std::wstring& arguments) {
        const DrivenRun run = RunAndAnswerBoxes(L"\"" + ProductProgram() + L"\" " + arguments);
        EXPECT_FALSE(run.timedOut) << "ORVRemove did not end";
        return run;
    }

    // Lines of the snapshot that still belong to the given prefixes.
    static std::vector<std::wstring> Remaining(const Lab::Snapshot& snapshot, const std::vector<std::wstring>& prefixes) {
        return Lab::LinesWithin(snapshot.lines, prefixes);
    }
};

std::wstring Refusal(const std::wstring& options) {
    return L"The client should not be removed without also removing the components that depend on it. To also "
           L"remove the dependent components, use the option '/client' with the options: " +
           options + L". To forcefully remove only the client, add the option '/force'.";
}

TEST_F(SilentRemovalLabTest, SilentAloneRemovesNothingAndShowsTheUsage) {
    Lab::PlantBystanders();
    Lab::Plant(L"agent", Lab::SetupKind::InstallShield);
    const Lab::Snapshot before = Lab::TakeSnapshot();
    const DrivenRun run = Run(L"/silent");
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text.substr(0, 30), L"To remove components silently\n");
    const auto diff = Lab::Diff(before, Lab::TakeSnapshot());
    EXPECT_EQ(diff.went, NoLines());
    EXPECT_TRUE(Lab::SetupRuns().empty());
}

TEST_F(SilentRemovalLabTest, SilentAloneOnAMachineWithoutComponentsCleansTheRoots) {
    Lab::PlantBystanders();
    Lab::Plant(L"user");
    Lab::CreateKey(Lab::Hklm32(L"SOFTWARE\\Orvalis\\Leftover"));
    Lab::CreateKey(Lab::Hklm32(L"SOFTWARE\\Orvalis, Inc."));
    CreateDirectoryW(L"C:\\Program Files (x86)\\Orvalis Enterprise", nullptr);
    const Lab::Snapshot before = Lab::TakeSnapshot();

    const DrivenRun run = Run(L"/silent");
    EXPECT_EQ(run.boxes.size(), 1u);  // the usage text, after the cleanup
    const Lab::Snapshot after = Lab::TakeSnapshot();
    EXPECT_EQ(Remaining(after, kRootPrefixes), NoLines());
    EXPECT_EQ(Remaining(after, Lab::ComponentPrefixes(L"user")), NoLines());
    EXPECT_EQ(Lab::MissingBystanderLines(before, after), NoLines());
}

TEST_F(SilentRemovalLabTest, AgentWithAnInstalledRelayIsRefused) {
    Lab::Plant(L"agent");
    Lab::Plant(L"relay");
    const Lab::Snapshot before = Lab::TakeSnapshot();
    const DrivenRun run = Run(L"/silent /client");
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, Refusal(L" '/relay'"));
    EXPECT_EQ(Lab::Diff(before, Lab::TakeSnapshot()).went, NoLines());
}

TEST_F(SilentRemovalLabTest, RefusalListsEveryInstalledDependentSelectedOrNot) {
    Lab::Plant(L"agent", Lab::SetupKind::InstallShield);
    Lab::Plant(L"relay", Lab::SetupKind::InstallShield);
    Lab::Plant(L"server", Lab::SetupKind::InstallShield);
    const Lab::Snapshot before = Lab::TakeSnapshot();
    const DrivenRun run = Run(L"/silent /client /relay");
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, Refusal(L" '/relay' '/server'"));
    EXPECT_EQ(Lab::Diff(before, Lab::TakeSnapshot()).went, NoLines());
    EXPECT_TRUE(Lab::SetupRuns().empty());
}

TEST_F(SilentRemovalLabTest, ForceRemovesOnlyTheAgent) {
    Lab::PlantBystanders();
    Lab::Plant(L"agent", Lab::SetupKind::InstallShield);
    Lab::Plant(L"relay");
    const Lab::Snapshot before = Lab::TakeSnapshot();
    const DrivenRun run = Run(L"/silent /client /force");
    EXPECT_TRUE(run.boxes.empty());
    const Lab::Snapshot after = Lab::TakeSnapshot();
    const auto diff = Lab::Diff(before, after);
    EXPECT_EQ(Remaining(after, Lab::ComponentPrefixes(L"agent")), NoLines());
    EXPECT_EQ(Lab::LinesOutside(diff.went, Prefixes({L"agent"})), NoLines());
    EXPECT_EQ(Lab::MissingBystanderLines(before, after), NoLines());
    // The relay is left, so are the suite's roots.
    EXPECT_FALSE(Remaining(after, Lab::ComponentPrefixes(L"relay")).empty());
    EXPECT_TRUE(Lab::KeyExists(Lab::Hklm32(L"SOFTWARE\\Orvalis")));
}

TEST_F(SilentRemovalLabTest, ServerSwitchOnARelayMachineRemovesNothing) {
    Lab::Plant(L"relay");
    const Lab::Snapshot before = Lab::TakeSnapshot();
    const DrivenRun run = Run(L"/silent /server");
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(Lab::Diff(before, Lab::TakeSnapshot()).went, NoLines());
}

TEST_F(SilentRemovalLabTest, AllRemovesEverythingOfOursThroughEverySetupType) {
    Lab::PlantBystanders();
    Lab::Plant(L"agent", Lab::SetupKind::InstallShield);
    Lab::PlantOptions server(Lab::SetupKind::InstallShield);
    server.behaviour.childMs = 1500;  // the remover must wait for the setup's child
    Lab::Plant(L"server", server);
    Lab::PlantOptions relay(Lab::SetupKind::Msi);
    relay.uninstallByX = true;
    Lab::Plant(L"relay", relay);
    Lab::Plant(L"user");
    const Lab::Snapshot before = Lab::TakeSnapshot();

    const DrivenRun run = Run(L"/silent /all");
    EXPECT_TRUE(run.boxes.empty());

    const Lab::Snapshot after = Lab::TakeSnapshot();
    const auto ours = Prefixes({L"agent", L"server", L"relay", L"user"});
    EXPECT_EQ(Remaining(after, ours), NoLines());
    EXPECT_EQ(Remaining(after, kRootPrefixes), NoLines());
    EXPECT_EQ(Lab::MissingBystanderLines(before, after), NoLines());
    const auto diff = Lab::Diff(before, after);
    std::vector<std::wstring> allowed = ours;
    allowed.insert(allowed.end(), kRootPrefixes.begin(), kRootPrefixes.end());
    allowed.push_back(L"file C:\\windows\\Installer");  // the relay package's cached copy
    allowed.push_back(L"file C:\\Program Files (x86)\\InstallShield Installation Information");
    EXPECT_EQ(Lab::LinesOutside(diff.went, allowed), NoLines());

    // Each InstallShield setup was handed the form its component uses.
    const auto runs = Lab::SetupRuns();
    const auto setupFor = [&runs](const wchar_t* product) {
        return std::find_if(runs.begin(), runs.end(), [product](const Lab::SetupRun& r) {
            return r.role == L"setup" && r.product == product;
        });
    };
    ASSERT_NE(setupFor(L"agent"), runs.end());
    EXPECT_EQ(setupFor(L"agent")->response, L"matched");
    EXPECT_NE(setupFor(L"agent")->commandLine.find(L" -s --uninstallsilent -f1\""), std::wstring::npos);
    ASSERT_NE(setupFor(L"server"), runs.end());
    EXPECT_NE(setupFor(L"server")->commandLine.find(L" /s /z\"uninstall\""), std::wstring::npos);
}

TEST_F(SilentRemovalLabTest, ClientSwitchMatchesAsASubstring) {
    for (const wchar_t* arguments : {L"/silent /clients", L"/silent/client"}) {
        Lab::Reset();
        Lab::Plant(L"agent", Lab::SetupKind::InstallShield);
        const DrivenRun run = Run(arguments);
        EXPECT_TRUE(run.boxes.empty()) << arguments;
        EXPECT_EQ(Remaining(Lab::TakeSnapshot(), Lab::ComponentPrefixes(L"agent")), NoLines()) << arguments;
    }
}

TEST_F(SilentRemovalLabTest, ManualStepsRemoveWhatAFailingUninstallerLeaves) {
    Lab::PlantBystanders();
    Lab::PlantOptions agent(Lab::SetupKind::InstallShield);
    agent.behaviour.leaveTraces = true;
    agent.behaviour.exitCode = 1603;
    Lab::Plant(L"agent", agent);
    const Lab::Snapshot before = Lab::TakeSnapshot();

    const DrivenRun run = Run(L"/silent /client");
    EXPECT_TRUE(run.boxes.empty());
    const Lab::Snapshot after = Lab::TakeSnapshot();
    const auto runs = Lab::SetupRuns();
    ASSERT_FALSE(runs.empty());
    EXPECT_TRUE(std::any_of(runs.begin(), runs.end(),
                            [](const Lab::SetupRun& r) { return r.role == L"setup" && r.result == L"left-traces"; }));
    const auto left = Remaining(after, Lab::ComponentPrefixes(L"agent"));
    EXPECT_EQ(Lab::LinesOutside(left, kSetupLeftovers), NoLines());
    EXPECT_EQ(Lab::MissingBystanderLines(before, after), NoLines());
}

}  // namespace
