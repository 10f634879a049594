// The lab setup: the InstallShield stand-in and the client helper, run
// with the command lines the remover builds.

#include "InstallerRecords.h"
#include "LabFiles.h"
#include "LabServices.h"
#include "LabText.h"
#include "MachinePaths.h"
#include "RegistryKey.h"
#include "support/LabMachine.h"

#include <windows.h>

namespace {

// A response file in the temporary folder, deleted when the test ends.
class ResponseFile {
public:
    explicit ResponseFile(const std::string& bytes) {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        wchar_t name[MAX_PATH];
        GetTempFileNameW(folder, L"orv", 0, name);
        path_ = name;
        Lab::WriteBytes(path_, bytes);
    }
    ~ResponseFile() { DeleteFileW(path_.c_str()); }
    std::wstring Option() const { return L" -s --uninstallsilent -f1\"" + path_ + L"\""; }
    std::wstring GuidOption() const { return L" -s -f1\"" + path_ + L"\""; }

private:
    std::wstring path_;
};

class LabSetupTest : public LabMachineTest {
protected:
    static std::vector<Lab::SetupRun> RunsOf(const std::wstring& role) {
        std::vector<Lab::SetupRun> runs;
        for (const auto& run : Lab::SetupRuns()) {
            if (run.role == role) runs.push_back(run);
        }
        return runs;
    }

    Lab::Planted PlantInstallShieldAgent(Lab::SetupBehaviour behaviour = {}) {
        Lab::PlantOptions options;
        options.setup = Lab::SetupKind::InstallShield;
        options.helper = false;
        options.behaviour = behaviour;
        return Lab::Plant(L"agent", options);
    }
};

TEST_F(LabSetupTest, WithTheExactResponseFileTheSetupRemovesItsProduct) {
    const Lab::Planted agent = PlantInstallShieldAgent();
    EXPECT_EQ(agent.uninstallString, L"\"C:\\Program Files (x86)\\InstallShield Installation Information\\" +
                                         agent.productCode + L"\\setup.exe\"");
    ResponseFile response(Lab::kResponseFileText);
    const Lab::Snapshot before = Lab::TakeSnapshot();
    const std::wstring command = agent.uninstallString + response.Option();
    EXPECT_EQ(Lab::RunAndWait(command), 0u);
    Lab::WaitForSetupChildren();

    const auto runs = RunsOf(L"setup");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].role, L"setup");
    EXPECT_EQ(runs[0].product, L"agent");
    EXPECT_EQ(runs[0].response, L"matched");
    EXPECT_EQ(runs[0].result, L"removed");
    EXPECT_EQ(runs[0].commandLine, command);

    const Lab::SnapshotDiff diff = Lab::Diff(before, Lab::TakeSnapshot());
    EXPECT_EQ(Lab::LinesOutside(diff.went, Lab::ComponentPrefixes(L"agent")), NoLines());
    EXPECT_EQ(diff.came, NoLines());
    EXPECT_FALSE(Lab::PathExists(Lab::InstallShieldInformation() + L"\\" + agent.productCode));
    EXPECT_FALSE(Lab::KeyExists(Lab::UninstallEntry(agent.productCode)));
    EXPECT_FALSE(Lab::KeyExists(Lab::ProductsRecord(agent.productCode)));
    EXPECT_FALSE(Lab::PathExists(agent.installDir));
    EXPECT_FALSE(Lab::ServiceExists(L"ORVClient"));
    // Setups leave the copy of the service key in the last-known-good set.
    EXPECT_TRUE(Lab::KeyExists(Lab::Hklm64(L"SYSTEM\\ControlSet002\\services\\ORVClient")));
}

TEST_F(LabSetupTest, AWrongMissingOrMisplacedResponseFileLeavesEverything) {
    const Lab::Planted agent = PlantInstallShieldAgent();
    const Lab::Snapshot before = Lab::TakeSnapshot();
    ResponseFile wrong(std::string(Lab::kResponseFileText) + "\r\n");
    EXPECT_EQ(Lab::RunAndWait(agent.uninstallString + wrong.Option()), 1u);
    EXPECT_EQ(Lab::RunAndWait(agent.uninstallString + L" -s --uninstallsilent -f1\"C:\\lab\\none.iss\""), 1u);
    EXPECT_EQ(Lab::RunAndWait(agent.uninstallString + L" /s /z\"uninstall\""), 1u);

    const auto runs = Lab::SetupRuns();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].response + L" " + runs[0].result, L"mismatch left-traces");
    EXPECT_EQ(runs[1].response + L" " + runs[1].result, L"missing left-traces");
    EXPECT_EQ(runs[2].response + L" " + runs[2].result, L"none bad-command-line");
    const Lab::SnapshotDiff diff = Lab::Diff(before, Lab::TakeSnapshot());
    EXPECT_EQ(diff.went, NoLines());
}

TEST_F(LabSetupTest, AChildRemovesTheUninstallEntryAfterTheSetupEnded) {
    Lab::SetupBehaviour behaviour;
    behaviour.childMs = 1500;
    behaviour.exitCode = 1603;
    const Lab::Planted agent = PlantInstallShieldAgent(behaviour);
    ResponseFile response(Lab::kResponseFileText);
    EXPECT_EQ(Lab::RunAndWait(agent.uninstallString + response.Option()), 1603u);
    EXPECT_FALSE(Lab::PathExists(agent.installDir));
    EXPECT_TRUE(Lab::KeyExists(Lab::UninstallEntry(agent.productCode)));

    for (int i = 0; i < 100 && Lab::SetupRuns().size() < 3; ++i) Sleep(100);
    const auto runs = Lab::SetupRuns();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].role + L" " + runs[0].result, L"child started");
    EXPECT_EQ(runs[1].result + L" " + std::to_wstring(runs[1].exitCode), L"removed 1603");
    EXPECT_EQ(runs[2].role + L" " + runs[2].result, L"child removed-last-part");
    EXPECT_EQ(runs[2].processId, runs[0].processId);
    EXPECT_FALSE(Lab::KeyExists(Lab::UninstallEntry(agent.productCode)));
    EXPECT_FALSE(Lab::PathExists(Lab::InstallShieldInformation() + L"\\" + agent.productCode));
}

TEST_F(LabSetupTest, ALeaveTracesSetupFailsWithoutTouchingTheProduct) {
    Lab::SetupBehaviour behaviour;
    behaviour.leaveTraces = true;
    const Lab::Planted agent = PlantInstallShieldAgent(behaviour);
    ResponseFile response(Lab::kResponseFileText);
    const Lab::Snapshot before = Lab::TakeSnapshot();
    EXPECT_EQ(Lab::RunAndWait(agent.uninstallString + response.Option()), 1u);
    EXPECT_EQ(Lab::Diff(before, Lab::TakeSnapshot()).went, NoLines());
    EXPECT_EQ(Lab::SetupRuns().at(0).response + L" " + Lab::SetupRuns().at(0).result, L"matched left-traces");
}

TEST_F(LabSetupTest, TheServerSetupTakesTheSilentFormAndTheHelperRemovesItself) {
    Lab::PlantOptions options;
    options.setup = Lab::SetupKind::InstallShield;
    const Lab::Planted server = Lab::Plant(L"server", options);
    EXPECT_EQ(Lab::RunAndWait(server.uninstallString + L" /s /z\"uninstall\""), 0u);
    Lab::WaitForSetupChildren();
    EXPECT_EQ(RunsOf(L"setup").at(0).result, L"removed");
    EXPECT_FALSE(Lab::KeyExists(Lab::UninstallEntry(server.productCode)));
    EXPECT_FALSE(Lab::ServiceExists(L"ORVRootServer"));

    const Lab::Planted agent = Lab::Plant(L"agent", Lab::SetupKind::None);
    const auto imagePath = Lab::ReadText(Lab::Hklm64(L"SYSTEM\\CurrentControlSet\\Services\\ORVClientHelper"),
                                         L"ImagePath");
    ASSERT_EQ(imagePath, L"\"" + agent.installDir + L"\\ORVClientHelper.exe\"");
    EXPECT_EQ(Lab::RunAndWait(*imagePath + L" -remove"), 0u);
    EXPECT_FALSE(Lab::ServiceExists(L"ORVClientHelper"));
    EXPECT_FALSE(Lab::KeyExists(Lab::Hklm32(L"SOFTWARE\\Orvalis\\ORVClientHelper")));
    EXPECT_TRUE(Lab::ServiceExists(L"ORVClient"));
    EXPECT_EQ(RunsOf(L"helper").at(0).result, L"removed");
}

TEST_F(LabSetupTest, ThePlatformApiSetupWantsItsProductCodeInAllFivePlaces) {
    const Lab::Planted api = Lab::Plant(L"api");
    const std::string code = Lab::ToUtf8(api.productCode);
    const std::string right = Lab::GuidResponseText(api.productCode);
    ASSERT_EQ(right.rfind("[" + code + "-DlgOrder]\r\n", 0), 0u);
    size_t count = 0;
    for (size_t at = right.find(code); at != std::string::npos; at = right.find(code, at + 1)) ++count;
    EXPECT_EQ(count, 5u);

    // The code in four places only, another product's code, and the right
    // file in the agent's form: all refused.
    std::string four = right;
    four.replace(four.rfind(code), code.size(), "{00000000-0000-0000-0000-000000000000}");
    ResponseFile fourTimes(four);
    ResponseFile otherProduct(Lab::GuidResponseText(L"{00000000-0000-0000-0000-000000000000}"));
    ResponseFile response(right);
    const Lab::Snapshot before = Lab::TakeSnapshot();
    EXPECT_EQ(Lab::RunAndWait(api.uninstallString + fourTimes.GuidOption()), 1u);
    EXPECT_EQ(Lab::RunAndWait(api.uninstallString + otherProduct.GuidOption()), 1u);
    EXPECT_EQ(Lab::RunAndWait(api.uninstallString + response.Option()), 1u);
    EXPECT_EQ(Lab::Diff(before, Lab::TakeSnapshot()).went, NoLines());

    EXPECT_EQ(Lab::RunAndWait(api.uninstallString + response.GuidOption()), 0u);
    Lab::WaitForSetupChildren();
    const auto runs = RunsOf(L"setup");
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].response + L" " + runs[0].result, L"mismatch left-traces");
    EXPECT_EQ(runs[1].response + L" " + runs[1].result, L"mismatch left-traces");
    EXPECT_EQ(runs[2].response + L" " + runs[2].result, L"none bad-command-line");
    EXPECT_EQ(runs[3].response + L" " + runs[3].result, L"matched removed");
    EXPECT_FALSE(Lab::KeyExists(Lab::UninstallEntry(api.productCode)));
    EXPECT_FALSE(Lab::PathExists(api.installDir));
}

TEST_F(LabSetupTest, DlpControlProgramTakesMinusUAndLeavesItsFolderAndKey) {
    const Lab::Planted dlp = Lab::Plant(L"dlp");
    ASSERT_EQ(dlp.services, std::vector<std::wstring>{L"ORVTightseal"});
    const std::wstring program = L"\"" + dlp.mainProgram + L"\"";
    EXPECT_EQ(Lab::RunAndWait(program + L" /u"), 1u);
    EXPECT_TRUE(Lab::ServiceExists(L"ORVTightseal"));

    EXPECT_EQ(Lab::RunAndWait(program + L" -u"), 0u);
    const auto runs = RunsOf(L"control");
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].result, L"bad-command-line");
    EXPECT_EQ(runs[1].result + L" " + runs[1].commandLine, L"removed " + program + L" -u");
    EXPECT_FALSE(Lab::ServiceExists(L"ORVTightseal"));
    EXPECT_FALSE(Lab::PathExists(dlp.installDir + L"\\Policies"));
    // What only the remover deletes: the program's folder and DLP's key.
    EXPECT_TRUE(Lab::PathExists(dlp.mainProgram));
    EXPECT_TRUE(Lab::KeyExists(Lab::Hklm32(L"SOFTWARE\\Orvalis\\DLP")));
    // No finisher: a control program is no setup.
    EXPECT_TRUE(RunsOf(L"child").empty());
}

}  // namespace
