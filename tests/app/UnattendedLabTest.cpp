// The real ORVRemove.exe run unattended on lab machines: exit codes, the
// log file, the detection report, and the registry backup brought back
// with reg.exe. Message boxes are real windows, answered by the box driver.

#include "support/BoxDriver.h"
#include "support/FileBytes.h"
#include "support/LabMachine.h"
#include "support/LabPaths.h"
#include "support/RegImport.h"
#include "support/TempTree.h"

#include "InstallerRecords.h"
#include "RegistryKey.h"

#include <algorithm>
#include <cwctype>
#include <optional>

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

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

// Whether text holds part, letter case ignored (Windows names the 64-bit
// view's keys in the case it stores them, "Software" under Wine).
bool HoldsNoCase(const std::wstring& text, const std::wstring& part) {
    return Upper(text).find(Upper(part)) != std::wstring::npos;
}

// The agent with a setup that fails, its Windows Installer records where
// Windows keeps them on 64-bit Windows (UserData and the component
// registration in the 64-bit view, as the lab plants them), one component
// shared with a bystander product: the plan names the 64-bit keys, the
// removal takes them and leaves only the bystander's value, the backup
// holds them, the exit code says so truthfully and detection finds nothing.
// (Whether a leftover 64-bit record keeps a reinstallation from being fresh
// cannot be shown here: measured 2026-12-10, Wine 8's msiexec installs the
// lab's agent package afresh, files and records, when only its UserData
// product key and component registration in the 64-bit view are left.)
TEST_F(UnattendedLabTest, InstallerRecordsInThe64BitViewGoAndOnlyTheBystandersRegistrationStays) {
    Lab::PlantBystanders();
    Lab::PlantOptions failing(Lab::SetupKind::InstallShield);
    failing.behaviour.leaveTraces = true;
    failing.behaviour.exitCode = 1603;
    const Lab::Planted agent = Lab::Plant(L"agent", failing);
    const std::wstring agentKey = Lab::PackedCode(agent.productCode);
    const Lab::RegKey record = Lab::UserDataProduct(agent.productCode);
    ASSERT_EQ(record.view, static_cast<REGSAM>(KEY_WOW64_64KEY));
    ASSERT_TRUE(Lab::KeyExists(record));
    const Lab::RegKey components =
        Lab::Hklm64(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components");
    std::optional<Lab::RegKey> shared;
    for (const auto& component : Lab::Subkeys(components))
        if (Lab::ReadText(components.Sub(component), agentKey)) shared = components.Sub(component);
    ASSERT_TRUE(shared.has_value()) << "the lab planted no component registration of the agent";
    // The bystander product that shares the component, found by its name.
    const Lab::RegKey products = Lab::Hklm64(L"SOFTWARE\\Classes\\Installer\\Products");
    std::wstring bystanderKey;
    for (const auto& key : Lab::Subkeys(products))
        if (Lab::ReadText(products.Sub(key), L"ProductName") == std::wstring(L"Stennet Orvalis Client Companion"))
            bystanderKey = key;
    ASSERT_FALSE(bystanderKey.empty());
    Lab::SetValue(*shared, Lab::TextValue(bystanderKey, L"C:\\Program Files (x86)\\Companion.exe"));
    const Lab::Snapshot before = Lab::TakeSnapshot();

    // The plan names the 64-bit keys where Windows keeps them and changes nothing.
    const std::wstring planPath = files.Path(L"plan.log");
    const DrivenRun plan = Run(L"/silent /whatif /client /force \"/log=" + planPath + L"\"");
    EXPECT_EQ(plan.exitCode, 5u);
    const std::wstring planned = Utf8ToWide(ReadFileBytes(planPath));
    EXPECT_TRUE(HoldsNoCase(planned, L"Would delete registry key \"HKLM\\" + record.path + L"\"\r\n")) << planned;
    EXPECT_TRUE(HoldsNoCase(planned, L"Would delete registry value \"HKLM\\" + shared->path + L":[" + agentKey +
                                         L"]\"\r\n"))
        << planned;
    EXPECT_EQ(Changed(Lab::Diff(before, Lab::TakeSnapshot()).went), NoLines());

    const std::wstring folder = files.Path(L"backups");
    const DrivenRun run = Run(L"/silent /client /force " + logSwitch + L" \"/backup=" + folder + L"\"");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.boxes.empty());
    const Lab::Snapshot after = Lab::TakeSnapshot();
    const std::wstring log = Log();
    EXPECT_TRUE(EndsWith(log, L"\r\n\r\nExit code 0: every selected component is gone\r\n"))
        << log.substr(log.size() > 400 ? log.size() - 400 : 0);
    EXPECT_NE(log.find(L"Deleting registry key \"HKLM\\" + record.path + L"\"...done\r\n"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L"Deleting registry value \"HKLM\\" + shared->path + L":[" + agentKey + L"]\"...done\r\n"),
              std::wstring::npos)
        << log;
    EXPECT_FALSE(Lab::KeyExists(record));
    EXPECT_FALSE(Lab::ReadText(*shared, agentKey).has_value());
    EXPECT_TRUE(Lab::ReadText(*shared, bystanderKey).has_value());
    EXPECT_EQ(Lab::MissingBystanderLines(before, after), NoLines());

    const std::wstring detectPath = files.Path(L"detect.log");
    const DrivenRun detect = Run(L"/silent /detect /all \"/log=" + detectPath + L"\"");
    EXPECT_EQ(detect.exitCode, 0u);
    const std::wstring detected = Utf8ToWide(ReadFileBytes(detectPath));
    EXPECT_NE(detected.find(L"\r\nInstalled components: 0 (exit code 0)\r\n"), std::wstring::npos)
        << detected.substr(detected.size() > 400 ? detected.size() - 400 : 0);

    // The backup holds the 64-bit keys and the value by their kernel names:
    // an import brings back every registry line the removal took.
    const size_t named = log.find(L"\r\nRegistry backup: " + folder + L"\\ORVRemove-registry-");
    ASSERT_NE(named, std::wstring::npos) << log.substr(0, 400);
    const size_t start = log.find(L": ", named) + 2;
    const std::wstring backupPath = log.substr(start, log.find(L"\r\n", start) - start);
    const std::wstring backup = ReadUtf16File(backupPath);
    EXPECT_TRUE(HoldsNoCase(backup, L"\r\n[HKEY_LOCAL_MACHINE\\" + record.path + L"]\r\n"));
    EXPECT_TRUE(HoldsNoCase(backup, L"\r\n[HKEY_LOCAL_MACHINE\\" + shared->path + L"]\r\n\"" + agentKey + L"\"="));
    const std::vector<std::wstring> went =
        Lab::LinesWithin(Lab::Diff(before, after).went, {Lab::RegPrefix(record), Lab::RegPrefix(*shared)});
    ASSERT_FALSE(went.empty());
    ASSERT_EQ(ImportRegFile(backupPath), 0u);
    EXPECT_EQ(Lab::MissingLines(Lab::TakeSnapshot(), went), NoLines());
}

}  // namespace
