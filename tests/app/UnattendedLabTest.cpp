// The real ORVRemove.exe run unattended on lab machines: exit codes, the
// log file, the detection report, and the registry backup brought back
// with reg.exe. Message boxes are real windows, answered by the box driver.

#include "support/BoxDriver.h"
#include "support/FileBytes.h"
#include "support/LabMachine.h"
#include "support/LabPaths.h"
#include "support/RegImport.h"
#include "support/TempTree.h"

#include "RegistryKey.h"

#include <algorithm>

namespace {

class UnattendedLabTest : public LabMachineTest {
protected:
    DrivenRun Run(const std::wstring& arguments) {
        const DrivenRun run = RunAndAnswerBoxes(L"\"" + ProductProgram() + L"\" " + arguments);
        EXPECT_FALSE(run.timedOut) << "ORVRemove did not end";
        return run;
    }

    std::wstring Log() const { return Utf8ToWide(ReadFileBytes(logPath)); }

    // Snapshot lines, leaving out this test's own files.
    std::vector<std::wstring> Changed(const std::vector<std::wstring>& lines) const {
        return Lab::LinesOutside(lines, {Lab::FilePrefix(files.Root())});
    }

    static bool EndsWith(const std::wstring& text, const std::wstring& end) {
        return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
    }

    TempTree files;
    const std::wstring logPath = files.Path(L"run.log");
    const std::wstring logSwitch = L"\"/log=" + logPath + L"\"";
};

// Snapshot prefixes of the keys a backup file holds: "[HKEY_LOCAL_MACHINE\X]"
// is "reg HKLM\X".
std::vector<std::wstring> BackedUpKeys(const std::wstring& backup) {
    std::vector<std::wstring> prefixes;
    for (size_t at = backup.find(L"\r\n["); at != std::wstring::npos; at = backup.find(L"\r\n[", at + 1)) {
        std::wstring key = backup.substr(at + 3, backup.find(L"]\r\n", at) - at - 3);
        for (const auto& [root, shortRoot] : {std::pair<std::wstring, std::wstring>{L"HKEY_LOCAL_MACHINE", L"HKLM"},
                                              {L"HKEY_USERS", L"HKU"}}) {
            if (key.compare(0, root.size(), root) == 0) key = shortRoot + key.substr(root.size());
        }
        prefixes.push_back(L"reg " + key);
    }
    return prefixes;
}

std::vector<std::wstring> RegistryLines(const std::vector<std::wstring>& lines) {
    std::vector<std::wstring> registry;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(registry),
                 [](const std::wstring& line) { return line.rfind(L"reg ", 0) == 0; });
    return registry;
}

TEST_F(UnattendedLabTest, DetectReportsTheSuiteAndChangesNothing) {
    Lab::PlantBystanders();
    const Lab::Planted agent = Lab::Plant(L"agent", Lab::SetupKind::InstallShield);
    const Lab::Planted relay = Lab::Plant(L"relay", Lab::SetupKind::InstallShield);
    const Lab::Snapshot before = Lab::TakeSnapshot();

    const DrivenRun run = Run(L"/silent /detect /all " + logSwitch);
    EXPECT_EQ(run.exitCode, 5u);
    EXPECT_TRUE(run.boxes.empty());
    const auto diff = Lab::Diff(before, Lab::TakeSnapshot());
    EXPECT_EQ(Changed(diff.went), NoLines());
    EXPECT_EQ(Changed(diff.came), NoLines());

    const std::wstring log = Log();
    // The first detection's banner names the component before its edition is known.
    EXPECT_NE(log.find(L"\r\n* Detecting Agent\r\n"), std::wstring::npos);
    // The report names the editions; the relay is detected before the agent.
    const std::wstring report = L"\r\nInstalled components: 2 (exit code 5)\r\n" + relay.edition + L"\t";
    const size_t at = log.find(report);
    ASSERT_NE(at, std::wstring::npos) << log.substr(log.size() > 600 ? log.size() - 600 : 0);
    const std::wstring lines = log.substr(at + report.size());
    EXPECT_NE(lines.find(L"\r\n" + agent.edition + L"\t"), std::wstring::npos) << lines;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), L'\n'), 2) << lines;
}

TEST_F(UnattendedLabTest, BackupBringsBackEveryKeyTheRemovalDeleted) {
    Lab::PlantBystanders();
    Lab::PlantOptions bare(Lab::SetupKind::None);
    bare.helper = false;
    Lab::Plant(L"agent", bare);
    Lab::Plant(L"relay", bare);
    Lab::Plant(L"user");
    const Lab::Snapshot before = Lab::TakeSnapshot();

    const std::wstring folder = files.Path(L"backups");
    const DrivenRun run = Run(L"/silent /all " + logSwitch + L" \"/backup=" + folder + L"\"");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.boxes.empty());
    const Lab::Snapshot after = Lab::TakeSnapshot();
    EXPECT_EQ(Lab::MissingBystanderLines(before, after), NoLines());

    const std::wstring log = Log();
    const size_t named = log.find(L"\r\nRegistry backup: " + folder + L"\\ORVRemove-registry-");
    ASSERT_NE(named, std::wstring::npos) << log.substr(0, 400);
    const size_t start = log.find(L": ", named) + 2;
    const std::wstring backupPath = log.substr(start, log.find(L"\r\n", start) - start);
    EXPECT_NE(log.find(L"x Removing Folders and Registry keys\r\n"), std::wstring::npos);
    EXPECT_TRUE(EndsWith(log, L"\r\n\r\nExit code 0: every selected component is gone\r\n"));

    // The agent's service went with its registration key. The backup names
    // that key as the kernel does (on Windows, below the control set that
    // CurrentControlSet links to), so it is compared after the import.
    const Lab::RegKey registration = Lab::Hklm64(L"SYSTEM\\CurrentControlSet\\Services\\ORVClient");
    const std::vector<std::wstring> service =
        Lab::LinesWithin(RegistryLines(Lab::Diff(before, after).went), {Lab::RegPrefix(registration)});
    EXPECT_FALSE(service.empty());
    const std::vector<std::wstring> went = Lab::LinesOutside(
        RegistryLines(Lab::Diff(before, after).went), {L"reg HKLM\\SYSTEM"});
    ASSERT_FALSE(went.empty());
    const std::vector<std::wstring> backedUp = BackedUpKeys(ReadUtf16File(backupPath));
    EXPECT_EQ(Lab::LinesOutside(went, backedUp), NoLines());

    ASSERT_EQ(ImportRegFile(backupPath), 0u);
    const Lab::Snapshot restored = Lab::TakeSnapshot();
    // The service manager learns of the key at the next start of Windows;
    // until then the lab's reset does not see the service, so the test
    // takes the key away itself.
    Lab::DeleteTree(registration);
    EXPECT_EQ(Lab::MissingLines(restored, went), NoLines());
    EXPECT_EQ(Lab::MissingLines(restored, service), NoLines());
    // Nothing lands anywhere it had not been.
    EXPECT_EQ(RegistryLines(Lab::Diff(before, restored).came), NoLines());
}

}  // namespace
