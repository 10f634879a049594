#include "sysops/UninstallerRunner.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "platform/Text.h"
#include "support/LabPaths.h"
#include "support/RecordingLog.h"
#include "support/TempTree.h"
#include "platform/UniqueHandle.h"

#include <gtest/gtest.h>

namespace {

using WindowsPlatform::ScopedFault;

std::wstring StandIn(const std::wstring& arguments) {
    return L"\"" + LabProgram(L"standinuninstaller.exe") + L"\" " + arguments;
}

std::wstring RunningLine(const std::wstring& command) {
    return L"Running uninstaller for \"Stand-in\" with command " + command + L"\r\n";
}

std::wstring Description(DWORD code) { return TranscodeU8ToU16(std::string(Windows::Error(code).Description())); }

bool AppearsWithin(const TempTree& tree, const std::wstring& name, DWORD milliseconds) {
    for (DWORD waited = 0; waited <= milliseconds; waited += 50) {
        if (tree.Exists(name)) return true;
        Sleep(50);
    }
    return false;
}

TEST(UninstallerRunnerTest, WaitsForTheChildThatOutlivesTheUninstaller) {
    TempTree tree;
    const std::wstring command = StandIn(L"--child 1500 \"" + tree.Path(L"child.done") + L"\"");
    RecordingLog log;
    EXPECT_TRUE(RunUninstaller(command, L"Stand-in", log));
    EXPECT_TRUE(tree.Exists(L"child.done"));
    EXPECT_EQ(log.Text(), RunningLine(command) + L"...waiting for the uninstaller to finish...finished\r\n");
}

TEST(UninstallerRunnerTest, NonZeroExitCodeStillFinishes) {
    const std::wstring command = StandIn(L"--exit 1603");
    RecordingLog log;
    EXPECT_TRUE(RunUninstaller(command, L"Stand-in", log));
    EXPECT_EQ(log.Text(), RunningLine(command) + L"...waiting for the uninstaller to finish...finished\r\n");
}

TEST(UninstallerRunnerTest, MissingProgramWritesTheProcessErrorAndNothingAboutWaiting) {
    const std::wstring command = L"\"" + LabProgram(L"no-such-uninstaller.exe") + L"\" /x";
    RecordingLog log;
    EXPECT_FALSE(RunUninstaller(command, L"Stand-in", log));
    EXPECT_EQ(log.Text(),
              RunningLine(command) + L"...error creating process: " + Description(ERROR_FILE_NOT_FOUND) + L"\r\n");
}

TEST(UninstallerRunnerTest, FailedJobSetupEndsTheUninstallerBeforeItRuns) {
    TempTree tree;
    const std::wstring command = StandIn(L"--mark \"" + tree.Path(L"ran") + L"\"");
    RecordingLog log;
    {
        ScopedFault refused("AssignProcessToJobObject", ERROR_ACCESS_DENIED);
        EXPECT_FALSE(RunUninstaller(command, L"Stand-in", log));
    }
    EXPECT_EQ(log.Text(), RunningLine(command) +
                              L"...waiting for the uninstaller to finish......error creating IO completion port" +
                              Description(ERROR_ACCESS_DENIED) + L"\r\n");
    EXPECT_FALSE(AppearsWithin(tree, L"ran", 1000));
}

TEST(UninstallerRunnerTest, FailedWaitLeavesTheUninstallerRunning) {
    TempTree tree;
    const std::wstring command = StandIn(L"--sleep 300 --mark \"" + tree.Path(L"ran") + L"\"");
    RecordingLog log;
    {
        ScopedFault failed("WaitForSingleObject", ERROR_INVALID_HANDLE);
        EXPECT_FALSE(RunUninstaller(command, L"Stand-in", log));
    }
    EXPECT_EQ(log.Text(), RunningLine(command) + L"...waiting for the uninstaller to finish......wait failed\r\n");
    EXPECT_TRUE(AppearsWithin(tree, L"ran", 10000));
}

// Sets the time limit of uninstaller runs for the life of the object.
class ScopedRunLimit {
public:
    explicit ScopedRunLimit(unsigned long seconds) { LimitUninstallerRuns(seconds); }
    ~ScopedRunLimit() { LimitUninstallerRuns(std::nullopt); }
};

const wchar_t kWaiting[] = L"...waiting for the uninstaller to finish...";

TEST(UninstallerRunnerTest, TimeLimitEndsTheUninstallerAndTheChildItStarted) {
    TempTree tree;
    const std::wstring command = StandIn(L"--child 5000 \"" + tree.Path(L"child.done") + L"\" --sleep 60000");
    RecordingLog log;
    {
        ScopedRunLimit limit(2);
        const ULONGLONG start = GetTickCount64();
        EXPECT_FALSE(RunUninstaller(command, L"Stand-in", log));
        EXPECT_LT(GetTickCount64() - start, 20000u);
    }
    EXPECT_EQ(log.Text(), RunningLine(command) + kWaiting +
                              L"did not finish within 2 seconds; it and the processes it started were ended\r\n");
    // Had the child lived, it would have marked within about six seconds.
    EXPECT_FALSE(AppearsWithin(tree, L"child.done", 10000));
}

// The test process itself goes into a job that forbids breakaway, as under a
// launcher that runs its programs so; it stays there until it ends.
TEST(UninstallerRunnerTest, InsideAJobThatForbidsBreakawayTheRunStillCoversEveryProcess) {
    WindowsPlatform::UniqueKernelHandle launcherJob(CreateJobObjectW(nullptr, nullptr));
    ASSERT_TRUE(launcherJob);
    ASSERT_TRUE(AssignProcessToJobObject(launcherJob.Get(), GetCurrentProcess()));
    TempTree tree;
    const auto childRun = [&tree](const wchar_t* marker, const wchar_t* childMs) {
        return StandIn(std::wstring(L"--child ") + childMs + L" \"" + tree.Path(marker) + L"\"");
    };

    // Jobs nest (Windows 8 and later, Wine).
    const std::wstring nested = childRun(L"nested.done", L"1500");
    RecordingLog nestedLog;
    EXPECT_TRUE(RunUninstaller(nested, L"Stand-in", nestedLog));
    EXPECT_TRUE(tree.Exists(L"nested.done"));
    EXPECT_EQ(nestedLog.Text(), RunningLine(nested) +
                                    L"...the job ORVRemove runs in does not allow breakaway: the uninstaller runs in "
                                    L"a job nested in it\r\n" +
                                    kWaiting + L"finished\r\n");

    // Where they do not (Windows 7; injected), parent process ids lead to
    // the child, also for the time limit.
    ScopedFault noNesting("AssignProcessToJobObject", ERROR_ACCESS_DENIED);
    const std::wstring followed = childRun(L"followed.done", L"1500");
    RecordingLog followedLog;
    EXPECT_TRUE(RunUninstaller(followed, L"Stand-in", followedLog));
    EXPECT_TRUE(tree.Exists(L"followed.done"));
    const std::wstring followLine = L"...the job ORVRemove runs in does not allow breakaway and jobs do not nest "
                                    L"here: the uninstaller and the processes it starts are followed by their parent "
                                    L"process ids\r\n";
    EXPECT_EQ(followedLog.Text(), RunningLine(followed) + followLine + kWaiting + L"finished\r\n");

    const std::wstring hung = childRun(L"hung.done", L"5000") + L" --sleep 60000";
    RecordingLog hungLog;
    {
        ScopedRunLimit limit(2);
        EXPECT_FALSE(RunUninstaller(hung, L"Stand-in", hungLog));
    }
    EXPECT_EQ(hungLog.Text(), RunningLine(hung) + followLine + kWaiting +
                                  L"did not finish within 2 seconds; it and the processes it started were ended\r\n");
    EXPECT_FALSE(AppearsWithin(tree, L"hung.done", 10000));
}

}  // namespace
