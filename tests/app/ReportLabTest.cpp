// The run report of the real ORVRemove.exe on lab machines, read back field
// by field and compared with what the lab planted and what the machine holds
// afterwards. Every report these runs write is also left in the test bench's
// artefacts (reports\) for the schema check (tools/check-reports).

#include "support/BoxDriver.h"
#include "support/DialogDriver.h"
#include "support/FileBytes.h"
#include "support/HeldFile.h"
#include "support/LabMachine.h"
#include "support/LabPaths.h"
#include "support/PendingRestartDeletions.h"
#include "support/TempTree.h"

#include "InstallerRecords.h"
#include "RegistryKey.h"

#include "app/Catalogue.h"
#include "platform/Text.h"
#include "sysops/FileVersion.h"

#include <nlohmann/json.hpp>

#include <set>

namespace {

using Json = nlohmann::json;

std::string U8(const std::wstring& text) { return TranscodeU16ToU8(text); }

std::string UtcNow() {
    SYSTEMTIME t{};
    GetSystemTime(&t);
    char text[32];
    snprintf(text, sizeof(text), "%04u-%02u-%02uT%02u:%02u:%02uZ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond);
    return text;
}

class ReportLabTest : public LabMachineTest {
protected:
    DrivenRun Run(const std::wstring& arguments) {
        arguments_ = arguments + L" \"/log=" + logPath + L"\"";
        runStarted_ = UtcNow();
        const DrivenRun run = RunAndAnswerBoxes(L"\"" + ProductProgram() + L"\" " + arguments_);
        runEnded_ = UtcNow();
        EXPECT_FALSE(run.timedOut) << "ORVRemove did not end";
        EXPECT_TRUE(run.boxes.empty());
        return run;
    }
    std::wstring Log() const { return Utf8ToWide(ReadFileBytes(logPath)); }

    // The report at path, also left in the artefacts under name.
    Json Report(const std::wstring& path, const std::wstring& name) const {
        const std::string bytes = ReadFileBytes(path);
        EXPECT_NE(bytes.rfind("\xEF\xBB\xBF", 0), 0u) << "a byte-order mark";
        const std::wstring folder = ArtefactFolder() + L"\\reports";
        CreateDirectoryW(folder.c_str(), nullptr);
        CopyFileW(path.c_str(), (folder + L"\\" + name).c_str(), FALSE);
        return Json::parse(bytes);
    }

    // What every report says of the run as a whole.
    void ExpectRun(const Json& report, const char* mode, int exitCode) const {
        EXPECT_EQ(report["program"], "ORVRemove");
        EXPECT_EQ(report["programVersion"], U8(GetFileVersionString(ProductProgram())));
        wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1];
        DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
        ASSERT_TRUE(GetComputerNameW(computer, &length));
        EXPECT_EQ(report["computer"], U8(std::wstring(computer, length)));
        EXPECT_EQ(report["mode"], mode);
        EXPECT_EQ(report["exitCode"], exitCode);
        // The argument text as the log's first line gives it.
        const std::string arguments = report["arguments"];
        EXPECT_NE(Log().find(L" with the arguments: " + Utf8ToWide(arguments) + L"\r\n"), std::wstring::npos);
        EXPECT_NE(arguments.find(U8(arguments_)), std::string::npos) << arguments;
        const std::string started = report["started"], ended = report["ended"];
        EXPECT_LE(runStarted_, started);
        EXPECT_LE(started, ended);
        EXPECT_LE(ended, runEnded_);
        ASSERT_EQ(report["components"].size(), kComponentCount);
        std::set<std::string> switches;
        for (const Json& component : report["components"]) switches.insert(component["switch"].get<std::string>());
        EXPECT_EQ(switches.size(), kComponentCount);
    }

    static const Json& Component(const Json& report, const char* switchText) {
        for (const Json& component : report["components"])
            if (component["switch"] == switchText) return component;
        static const Json none;
        ADD_FAILURE() << "no component " << switchText;
        return none;
    }

    // What detection found before and after, compared with the lab.
    // version: the planted one; where no Uninstall entry registers it, that
    // of the component's program.
    static void ExpectFound(const Json& component, const Lab::Planted& planted, bool goneAfter,
                            const std::wstring& version = kVersion) {
        EXPECT_EQ(component["name"], U8(planted.edition));
        EXPECT_EQ(component["before"]["installed"], true);
        EXPECT_EQ(component["before"]["version"], U8(version));
        EXPECT_EQ(component["after"]["installed"], !goneAfter);
    }
    // The version every component of these tests is planted with.
    static constexpr wchar_t kVersion[] = L"7.3.9";
    static Lab::PlantOptions Options(Lab::SetupKind setup) {
        Lab::PlantOptions options(setup);
        options.version = kVersion;
        return options;
    }

    // Every failed step of the report stands as a whole line in the log.
    void ExpectFailedStepsInLog(const Json& report) const {
        const std::wstring log = Log();
        for (const Json& component : report["components"])
            for (const Json& line : component["failedSteps"])
                EXPECT_NE(log.find(L"\n" + Utf8ToWide(line) + L"\r\n"), std::wstring::npos) << line;
    }

    TempTree files;
    const std::wstring logPath = files.Path(L"run.log");

private:
    std::wstring arguments_;
    std::string runStarted_, runEnded_;
};

TEST_F(ReportLabTest, RemovalReportTellsOfAHungSetupAndOfWhatWaitsForTheRestart) {
    ScopedPendingRestartDeletions pending;
    Lab::PlantOptions hung = Options(Lab::SetupKind::InstallShield);
    hung.helper = false;
    hung.behaviour.childMs = 600000;  // a setup child that would hold the run for ten minutes
    const Lab::Planted agent = Lab::Plant(L"agent", hung);
    const Lab::Planted relay = Lab::Plant(L"relay", Options(Lab::SetupKind::None));
    ASSERT_FALSE(relay.mainProgram.empty());
    const std::wstring relayVersion = GetFileVersionString(relay.mainProgram);
    const Lab::Snapshot before = Lab::TakeSnapshot();

    const std::wstring reportPath = files.Path(L"removal.json");
    HeldFile held(relay.mainProgram);
    ASSERT_TRUE(held.Holding());
    const DrivenRun run = Run(L"/silent /client /relay /timeout=20 \"/report=" + reportPath + L"\"");
    held.Release();
    EXPECT_EQ(run.exitCode, 3010u);
    const Json report = Report(reportPath, L"removal.json");
    ExpectRun(report, "remove", 3010);
    EXPECT_EQ(report["restartNeeded"], true);
    EXPECT_EQ(report["exitMeaning"],
              "every selected component is gone; Windows must be restarted to finish the removal");

    // The agent: its setup ran into the time limit, the manual steps went on.
    const Json& client = Component(report, "/client");
    EXPECT_EQ(client["selected"], true);
    ExpectFound(client, agent, true);
    ASSERT_EQ(client["uninstallerRuns"].size(), 1u) << client.dump(2);
    const Json& setup = client["uninstallerRuns"][0];
    EXPECT_NE(setup["command"].get<std::string>().find("setup.exe"), std::string::npos);
    EXPECT_EQ(setup["started"], true);
    EXPECT_EQ(setup["timedOut"], true);
    EXPECT_TRUE(setup["exitCode"].is_null());
    EXPECT_GE(setup["seconds"].get<double>(), 19.5);
    EXPECT_LT(setup["seconds"].get<double>(), 60.0);
    const std::set<std::string> clientFailures = client["failedSteps"];
    EXPECT_EQ(clientFailures.count("...waiting for the uninstaller to finish...did not finish within 20 seconds; it "
                                   "and the processes it started were ended"),
              1u)
        << client.dump(2);
    EXPECT_EQ(clientFailures.count("Uninstaller appears unsuccessful.  Attempting to manually uninstall..."), 1u);
    ExpectFailedStepsInLog(report);

    // The relay: its held program and its folder wait for the restart, as
    // Windows' own list says.
    const Json& relayReport = Component(report, "/relay");
    EXPECT_EQ(relayReport["selected"], true);
    ExpectFound(relayReport, relay, true, relayVersion);
    std::set<std::wstring> reported;
    for (const Json& component : report["components"])
        for (const Json& path : component["deletedAtRestart"]) reported.insert(L"\\??\\" + Utf8ToWide(path));
    for (const Json& path : report["rootCleanup"]["deletedAtRestart"]) reported.insert(L"\\??\\" + Utf8ToWide(path));
    const std::vector<std::wstring> scheduled = pending.AddedDeletions();
    EXPECT_EQ(reported, std::set<std::wstring>(scheduled.begin(), scheduled.end()));
    const std::set<std::string> relayPending = relayReport["deletedAtRestart"];
    EXPECT_EQ(relayPending.count(U8(relay.mainProgram)), 1u) << relayReport.dump(2);
    EXPECT_EQ(relayPending.count(U8(relay.installDir)), 1u) << relayReport.dump(2);

    // The rest: never there; the agent's logging service and DLP go with it.
    for (const Json& component : report["components"]) {
        if (component["switch"] == "/client" || component["switch"] == "/relay") continue;
        EXPECT_EQ(component["before"]["installed"], false) << component.dump();
        EXPECT_EQ(component["after"]["installed"], false) << component.dump();
        const bool implied = component["switch"] == "/loggingservice" || component["switch"] == "/dlp";
        EXPECT_EQ(component["selected"], implied) << component.dump();
    }
    EXPECT_EQ(report["rootCleanup"]["ran"], true);
    EXPECT_TRUE(report["plan"].empty());
    // The snapshot agrees: both components were there, and nothing of the relay is left but what waits.
    EXPECT_FALSE(Lab::LinesWithin(before.lines, Lab::ComponentPrefixes(L"relay")).empty());
    EXPECT_FALSE(Lab::LinesWithin(before.lines, Lab::ComponentPrefixes(L"agent")).empty());
}

TEST_F(ReportLabTest, DetectionReportNamesWhatIsInstalledAndAnUnwritableReportEndsWith4) {
    const Lab::Planted agent = Lab::Plant(L"agent", Options(Lab::SetupKind::InstallShield));
    const Lab::Planted relay = Lab::Plant(L"relay", Options(Lab::SetupKind::InstallShield));
    const Lab::Snapshot before = Lab::TakeSnapshot();

    // Folders that do not exist yet are made.
    const std::wstring folder = files.Path(L"fleet\\reports");
    const std::wstring reportPath = folder + L"\\detect.json";
    const DrivenRun run = Run(L"/silent /detect /all /report=" + reportPath);
    EXPECT_EQ(run.exitCode, 5u);
    const Json report = Report(reportPath, L"detect.json");
    ExpectRun(report, "detect", 5);
    EXPECT_EQ(report["restartNeeded"], false);
    for (const Json& component : report["components"]) {
        EXPECT_EQ(component["selected"], false) << component.dump();
        EXPECT_EQ(component["before"], component["after"]) << component.dump();
        EXPECT_TRUE(component["uninstallerRuns"].empty()) << component.dump();
    }
    ExpectFound(Component(report, "/client"), agent, false);
    ExpectFound(Component(report, "/relay"), relay, false);
    std::size_t installed = 0;
    for (const Json& component : report["components"]) installed += component["before"]["installed"] == true;
    EXPECT_EQ(installed, 2u);
    EXPECT_EQ(report["rootCleanup"]["ran"], false);
    const auto diff = Lab::Diff(before, Lab::TakeSnapshot());
    EXPECT_EQ(Lab::LinesOutside(diff.went, {Lab::FilePrefix(files.Root())}), NoLines());
    // The rename left no temporary file beside the report.
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    std::set<std::wstring> names;
    do {
        names.insert(entry.cFileName);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    EXPECT_EQ(names, (std::set<std::wstring>{L".", L"..", L"detect.json"}));

    // A report under a file instead of a folder cannot be written: 5 becomes 4.
    const std::wstring unwritable = logPath + L"\\detect.json";
    const DrivenRun failed = Run(L"/silent /detect /report=" + unwritable);
    EXPECT_EQ(failed.exitCode, 4u);
    EXPECT_NE(Log().find(L"\r\nReport: cannot be written to \"" + unwritable + L"\": "), std::wstring::npos) << Log();
}

TEST_F(ReportLabTest, PlanReportListsEveryActionTheLogDescribesAndChangesNothing) {
    const Lab::Planted agent = Lab::Plant(L"agent", Options(Lab::SetupKind::InstallShield));
    // The agent's Uninstall entry names a folder of Windows as its home: the
    // plan shows the guard's refusal.
    wchar_t windows[MAX_PATH] = {};
    const std::wstring drivers =
        std::wstring(windows, GetWindowsDirectoryW(windows, MAX_PATH)) + L"\\Sysnative\\drivers";
    Lab::SetValue(Lab::UninstallEntry(agent.productCode), Lab::TextValue(L"InstallLocation", drivers));
    const Lab::Snapshot before = Lab::TakeSnapshot();

    const std::wstring reportPath = files.Path(L"plan.json");
    const DrivenRun run = Run(L"/silent /whatif /client \"/report=" + reportPath + L"\"");
    EXPECT_EQ(run.exitCode, 5u);
    const Json report = Report(reportPath, L"plan.json");
    ExpectRun(report, "whatif", 5);
    const auto diff = Lab::Diff(before, Lab::TakeSnapshot());
    EXPECT_EQ(Lab::LinesOutside(diff.went, {Lab::FilePrefix(files.Root())}), NoLines());

    const Json& client = Component(report, "/client");
    ExpectFound(client, agent, false);
    EXPECT_EQ(client["selected"], true);
    // The agent brings the client logging service, which brings DLP.
    EXPECT_EQ(Component(report, "/loggingservice")["selected"], true);
    EXPECT_EQ(Component(report, "/dlp")["selected"], true);
    EXPECT_TRUE(client["uninstallerRuns"].empty());
    // One action for each "Would ..." line of the log, in its order.
    const std::wstring log = Log();
    std::vector<std::wstring> wouldLines;
    for (size_t at = log.find(L"\nWould "); at != std::wstring::npos; at = log.find(L"\nWould ", at + 1))
        wouldLines.push_back(log.substr(at + 1, log.find(L"\r\n", at) - at - 1));
    const Json& plan = report["plan"];
    ASSERT_EQ(plan.size(), wouldLines.size()) << plan.dump(2);
    for (size_t i = 0; i < plan.size(); ++i)
        EXPECT_NE(wouldLines[i].find(Utf8ToWide(plan[i]["target"])), std::wstring::npos) << wouldLines[i];
    bool setup = false, refused = false;
    for (const Json& action : plan) {
        if (action["kind"] == "uninstaller" && action["component"] == "/client")
            setup = action["target"].get<std::string>().find("setup.exe") != std::string::npos &&
                    action["detail"] == U8(agent.edition);
        if (action["kind"] == "refusedFolder" && action["component"] == "/client")
            refused = Utf8ToWide(action["target"]).find(L"drivers") != std::wstring::npos;
    }
    EXPECT_TRUE(setup) << plan.dump(2);
    EXPECT_TRUE(refused) << plan.dump(2);
}

}  // namespace
