#include "sysops/UninstallerRunner.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "platform/Text.h"
#include "support/LabPaths.h"
#include "support/RecordingLog.h"
#include "support/TempTree.h"

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

}  // namespace
