// The real ORVRemove.exe started the way deployment tools start it, on lab
// machines: on a window station nobody can see, inside a job that forbids
// breakaway, with a time limit for a hung setup, and with files in use and
// setups that ask for a restart, which end the run with exit code 3010.

#include "support/BoxDriver.h"
#include "support/FileBytes.h"
#include "support/HeldFile.h"
#include "support/LabMachine.h"
#include "support/LabPaths.h"
#include "support/PendingRestartDeletions.h"
#include "support/TempTree.h"

#include "platform/UniqueHandle.h"

#include <algorithm>

namespace {

using WindowsPlatform::UniqueKernelHandle;

const wchar_t kRestartExitLine[] =
    L"\r\n\r\nExit code 3010: every selected component is gone; Windows must be restarted to finish the removal\r\n";

struct Ended {
    bool ended = false;  // false: it was still running at the deadline and was ended
    DWORD exitCode = 0;
};

// Starts the command suspended on the given desktop (empty: the caller's),
// puts it into job when one is given, lets it run and waits for it with a
// deadline.
Ended StartAndWait(const std::wstring& commandLine, std::wstring desktop, HANDLE job, DWORD deadlineMs = 120000) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!desktop.empty()) startup.lpDesktop = desktop.data();
    PROCESS_INFORMATION info{};
    std::wstring writable = commandLine;
    Ended result;
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &info)) {
        ADD_FAILURE() << "CreateProcessW: " << GetLastError();
        return result;
    }
    UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    if (job != nullptr) EXPECT_TRUE(AssignProcessToJobObject(job, process.Get())) << GetLastError();
    ResumeThread(thread.Get());
    result.ended = WaitForSingleObject(process.Get(), deadlineMs) == WAIT_OBJECT_0;
    if (!result.ended) {
        TerminateProcess(process.Get(), 0xDEAD);
        WaitForSingleObject(process.Get(), 10000);
    }
    GetExitCodeProcess(process.Get(), &result.exitCode);
    return result;
}

// A window station of its own with a "Default" desktop, not visible, as the
// one a program started as SYSTEM by a deployment tool runs on.
class InvisibleStation {
public:
    InvisibleStation() : name_(L"ORVTestStation" + std::to_wstring(GetCurrentProcessId())) {
        HWINSTA original = GetProcessWindowStation();
        station_ = CreateWindowStationW(name_.c_str(), 0, WINSTA_ALL_ACCESS, nullptr);
        if (station_ != nullptr && SetProcessWindowStation(station_)) {
            desktop_ = CreateDesktopW(L"Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
            SetProcessWindowStation(original);
        }
    }
    ~InvisibleStation() {
        if (desktop_ != nullptr) CloseDesktop(desktop_);
        if (station_ != nullptr) CloseWindowStation(station_);
    }
    InvisibleStation(const InvisibleStation&) = delete;
    InvisibleStation& operator=(const InvisibleStation&) = delete;

    bool Ready() const { return desktop_ != nullptr; }
    bool Visible() const {
        USEROBJECTFLAGS flags{};
        return GetUserObjectInformationW(station_, UOI_FLAGS, &flags, sizeof(flags), nullptr) &&
               (flags.dwFlags & WSF_VISIBLE) != 0;
    }
    std::wstring Desktop() const { return name_ + L"\\Default"; }

private:
    std::wstring name_;
    HWINSTA station_ = nullptr;
    HDESK desktop_ = nullptr;
};

class DeploymentLabTest : public LabMachineTest {
protected:
    std::wstring Command(const std::wstring& arguments) const {
        return L"\"" + ProductProgram() + L"\" " + arguments + L" \"/log=" + logPath + L"\"";
    }
    DrivenRun Run(const std::wstring& arguments) {
        const DrivenRun run = RunAndAnswerBoxes(Command(arguments));
        EXPECT_FALSE(run.timedOut) << "ORVRemove did not end";
        EXPECT_TRUE(run.boxes.empty());
        return run;
    }
    std::wstring Log() const { return Utf8ToWide(ReadFileBytes(logPath)); }
    static bool Holds(const std::wstring& text, const std::wstring& part) {
        return text.find(part) != std::wstring::npos;
    }
    static bool EndsWith(const std::wstring& text, const std::wstring& end) {
        return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
    }
    static bool Ran(const std::wstring& role, const std::wstring& result) {
        const auto runs = Lab::SetupRuns();
        return std::any_of(runs.begin(), runs.end(), [&](const Lab::SetupRun& r) {
            return r.role == role && r.product == L"agent" && r.result == result;
        });
    }
    static std::vector<std::wstring> AgentLeft() {
        return Lab::LinesWithin(Lab::TakeSnapshot().lines, Lab::ComponentPrefixes(L"agent"));
    }

    TempTree files;
    const std::wstring logPath = files.Path(L"run.log");
};

TEST_F(DeploymentLabTest, OnAnInvisibleWindowStationTheBoxesGoToTheLogAndTheRunEnds) {
    InvisibleStation station;
    ASSERT_TRUE(station.Ready());
    ASSERT_FALSE(station.Visible());
    const std::wstring notShown = L"\r\nThe message box was not shown: nobody can see this window station; the run "
                                  L"goes on as if OK had been pressed\r\n";

    const Ended usage = StartAndWait(Command(L"/silent"), station.Desktop(), nullptr);
    EXPECT_TRUE(usage.ended) << "the usage box waited for a click";
    EXPECT_EQ(usage.exitCode, 1u);
    std::wstring log = Log();
    EXPECT_TRUE(Holds(log, L"\r\nTo remove components silently\r\n")) << log;
    EXPECT_TRUE(Holds(log, notShown)) << log;

    Lab::PlantOptions bare(Lab::SetupKind::None);
    bare.helper = false;
    Lab::Plant(L"agent", bare);
    Lab::Plant(L"relay", bare);
    const Ended refused = StartAndWait(Command(L"/silent /client"), station.Desktop(), nullptr);
    EXPECT_TRUE(refused.ended) << "the refusal box waited for a click";
    EXPECT_EQ(refused.exitCode, 2u);
    log = Log();
    EXPECT_TRUE(Holds(log, L"\r\nThe client should not be removed without also removing")) << log;
    EXPECT_TRUE(Holds(log, notShown)) << log;
    EXPECT_FALSE(AgentLeft().empty());
}

TEST_F(DeploymentLabTest, InsideAJobThatForbidsBreakawayEverySetupRunsAndIsWaitedFor) {
    Lab::PlantBystanders();
    Lab::PlantOptions agent(Lab::SetupKind::InstallShield);
    agent.behaviour.childMs = 1500;  // the setup's child removes the Uninstall entry after it ended
    Lab::Plant(L"agent", agent);
    Lab::Plant(L"relay");
    const Lab::Snapshot before = Lab::TakeSnapshot();
    // The launcher's job: no JOB_OBJECT_LIMIT_BREAKAWAY_OK.
    UniqueKernelHandle launcherJob(CreateJobObjectW(nullptr, nullptr));
    ASSERT_TRUE(launcherJob);

    const Ended run = StartAndWait(Command(L"/silent /client /force"), L"", launcherJob.Get());
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    const std::wstring log = Log();
    EXPECT_TRUE(Holds(log, L"\r\n...the job ORVRemove runs in does not allow breakaway: the uninstaller runs in a "
                           L"job nested in it\r\n"))
        << log;
    EXPECT_TRUE(Ran(L"helper", L"removed"));
    EXPECT_TRUE(Ran(L"setup", L"removed"));
    // The child had ended before the remover looked: the setup counted as successful.
    EXPECT_TRUE(Ran(L"child", L"removed-last-part"));
    EXPECT_FALSE(Holds(log, L"Uninstaller appears unsuccessful")) << log;
    EXPECT_EQ(AgentLeft(), NoLines());
    EXPECT_EQ(Lab::MissingBystanderLines(before, Lab::TakeSnapshot()), NoLines());
}

TEST_F(DeploymentLabTest, TimeoutEndsAHungSetupChildAndTheManualStepsFinish) {
    Lab::PlantOptions agent(Lab::SetupKind::InstallShield);
    agent.helper = false;
    agent.behaviour.childMs = 600000;  // a child that would hold the run for ten minutes
    Lab::Plant(L"agent", agent);

    const ULONGLONG start = GetTickCount64();
    const DrivenRun run = Run(L"/silent /client /timeout=20");
    EXPECT_LT(GetTickCount64() - start, 110000u);
    EXPECT_EQ(run.exitCode, 0u);
    const std::wstring log = Log();
    EXPECT_TRUE(Holds(log, L"...waiting for the uninstaller to finish...did not finish within 20 seconds; it and the "
                           L"processes it started were ended\r\n"))
        << log;
    EXPECT_TRUE(Holds(log, L"\r\nUninstaller appears unsuccessful.  Attempting to manually uninstall...\r\n"));
    EXPECT_TRUE(Ran(L"setup", L"removed"));
    EXPECT_FALSE(Ran(L"child", L"removed-last-part"));
    // Only what the ended child would have removed: the setup's own folder.
    const std::wstring setupFolders = L"file C:\\Program Files (x86)\\InstallShield Installation Information\\";
    EXPECT_EQ(Lab::LinesOutside(AgentLeft(), {setupFolders}), NoLines());
}

TEST_F(DeploymentLabTest, FileHeldOpenIsDeletedAtRestartAndTheRunEndsWith3010) {
    ScopedPendingRestartDeletions pending;
    Lab::PlantOptions bare(Lab::SetupKind::None);
    bare.helper = false;
    const Lab::Planted agent = Lab::Plant(L"agent", bare);

    // Another program holds the agent's program open without delete sharing.
    HeldFile held(agent.mainProgram);
    const DrivenRun run = held.Holding() ? Run(L"/silent /client") : DrivenRun{};
    held.Release();
    ASSERT_TRUE(held.Holding());

    EXPECT_EQ(run.exitCode, 3010u);
    const std::wstring log = Log();
    EXPECT_TRUE(Holds(log, L"\"...scheduled for deletion at the next restart, in use: \"" + agent.mainProgram +
                               L"\"\r\n"))
        << log;
    EXPECT_TRUE(EndsWith(log, kRestartExitLine)) << log;
    // The agent counts as gone: its folder and program are left to the restart.
    EXPECT_TRUE(Holds(log, L"\"" + agent.installDir + L"\"...not found (deleted at the next restart)\r\n")) << log;
    const std::vector<std::wstring> scheduled = pending.AddedDeletions();
    const auto program = std::find(scheduled.begin(), scheduled.end(), L"\\??\\" + agent.mainProgram);
    const auto folder = std::find(scheduled.begin(), scheduled.end(), L"\\??\\" + agent.installDir);
    ASSERT_NE(program, scheduled.end());
    ASSERT_NE(folder, scheduled.end());
    EXPECT_LT(program, folder);
    // Only the suite's own files are scheduled.
    for (const std::wstring& path : scheduled)
        EXPECT_EQ(path.rfind(L"\\??\\C:\\Program Files (x86)\\Orvalis Enterprise", 0), 0u) << path;
}

TEST_F(DeploymentLabTest, SetupThatAsksForARestartEndsTheRunWith3010) {
    Lab::PlantOptions agent(Lab::SetupKind::InstallShield);
    agent.helper = false;
    agent.behaviour.exitCode = 3010;
    Lab::Plant(L"agent", agent);

    const DrivenRun run = Run(L"/silent /client");
    EXPECT_EQ(run.exitCode, 3010u);
    const std::wstring log = Log();
    EXPECT_TRUE(Holds(log, L"...waiting for the uninstaller to finish...finished with exit code 3010: Windows must "
                           L"be restarted to finish the removal\r\n"))
        << log;
    EXPECT_TRUE(EndsWith(log, kRestartExitLine)) << log;
    EXPECT_EQ(AgentLeft(), NoLines());
}

}  // namespace
