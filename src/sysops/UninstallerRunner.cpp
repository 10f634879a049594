#include "sysops/UninstallerRunner.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "platform/UniqueHandle.h"
#include "sysops/ActionPlan.h"
#include "sysops/CommandResolution.h"
#include "sysops/ProcessTreeWait.h"
#include "sysops/RestartNeed.h"
#include "sysops/RunEvents.h"

#include <windows.h>

#include <algorithm>
#include <vector>

using WindowsPlatform::InjectedFault;
using WindowsPlatform::UniqueKernelHandle;

namespace {

constexpr ULONG_PTR kCompletionKey = 1;
// What the processes ended at the time limit exit with.
constexpr UINT kTimedOutExitCode = ERROR_TIMEOUT;
// How long the ended processes get to be gone before the manual steps.
constexpr DWORD kEndedGraceMs = 10000;

std::optional<unsigned long> timeLimitSeconds;

// Ends a process that has not been handed over to its job yet, so that an
// uninstaller never runs unwatched. Dismissed once the process runs in the job.
class TerminationGuard {
public:
    explicit TerminationGuard(HANDLE process) : process_(process) {}
    ~TerminationGuard() { Terminate(); }
    TerminationGuard(const TerminationGuard&) = delete;
    TerminationGuard& operator=(const TerminationGuard&) = delete;

    void Dismiss() { process_ = nullptr; }
    void Terminate() {
        if (process_ != nullptr) TerminateProcess(process_, 0);  // a failure is dropped
        process_ = nullptr;
    }

private:
    HANDLE process_;
};

// How the run is held together.
enum class Hold {
    OwnJob,         // broke away from the runner's job into a job of its own
    NestedJob,      // the runner's job forbids breakaway: a job nested in it
    ParentIds,      // neither: followed by parent process ids
};

struct Uninstaller {
    UniqueKernelHandle job;
    UniqueKernelHandle process;
    UniqueKernelHandle thread;
    Hold hold = Hold::OwnJob;
};

enum class Waited { Ended, TimedOut, Failed };

bool InAnyJob() {
    BOOL inJob = FALSE;
    return IsProcessInJob(GetCurrentProcess(), nullptr, &inJob) && inJob;
}

BOOL CreateSuspended(std::vector<wchar_t>& commandLine, DWORD flags, PROCESS_INFORMATION& info) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED | flags, nullptr,
                          nullptr, &startup, &info);
}

// Creates the job and the suspended process; throws on failure.
void Start(const std::wstring& command, Uninstaller& run) {
    run.job.Reset(CreateJobObjectW(nullptr, nullptr));
    if (!run.job) ThrowLastError();
    // CreateProcessW may write into the command line: pass a copy.
    std::vector<wchar_t> commandLine(command.begin(), command.end());
    commandLine.push_back(L'\0');
    PROCESS_INFORMATION info{};
    // Suspended, so that it cannot start children before it is in the job;
    // breaking away from a job the runner may be in lets it join the new one.
    if (!CreateSuspended(commandLine, CREATE_BREAKAWAY_FROM_JOB, info)) {
        const DWORD error = GetLastError();
        // A job that forbids breakaway refuses with access denied; the
        // uninstaller then stays in it, inside a job of its own.
        if (error != ERROR_ACCESS_DENIED || !InAnyJob()) throw Windows::Error(error);
        ThrowLastErrorIfFalse(CreateSuspended(commandLine, 0, info));
        run.hold = Hold::NestedJob;
    }
    run.process.Reset(info.hProcess);
    run.thread.Reset(info.hThread);
}

// Connects the job to a new completion port and puts the process in the job;
// throws on failure. Where a nested job cannot take the process, the run is
// followed by parent process ids instead.
void Watch(Uninstaller& run, UniqueKernelHandle& port) {
    port.Reset(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, kCompletionKey, 0));
    if (!port) ThrowLastError();
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT association{};
    association.CompletionKey = reinterpret_cast<PVOID>(kCompletionKey);
    association.CompletionPort = port.Get();
    ThrowLastErrorIfFalse(SetInformationJobObject(run.job.Get(), JobObjectAssociateCompletionPortInformation,
                                                  &association, sizeof(association)));
    DWORD error = InjectedFault("AssignProcessToJobObject");
    if (error == 0 && !AssignProcessToJobObject(run.job.Get(), run.process.Get())) error = GetLastError();
    if (error == 0) return;
    if (run.hold != Hold::NestedJob) throw Windows::Error(error);
    run.hold = Hold::ParentIds;
}

void Resume(const Uninstaller& run) {
    if (ResumeThread(run.thread.Get()) == static_cast<DWORD>(-1)) ThrowLastError();
}

// The deadline of a run starting now, or 0 without a limit.
ULONGLONG Deadline() {
    return timeLimitSeconds ? GetTickCount64() + *timeLimitSeconds * 1000ULL : 0;
}

// Waits until the job reports that its last process has ended, or until the
// deadline (0: none).
Waited WaitForEmptyJob(HANDLE port, ULONGLONG deadline) {
    for (;;) {
        DWORD timeout = INFINITE;
        if (deadline != 0) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline) return Waited::TimedOut;
            timeout = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, INFINITE - 1));
        }
        const DWORD waited = InjectedFault("WaitForSingleObject") ? WAIT_FAILED : WaitForSingleObject(port, timeout);
        if (waited == WAIT_TIMEOUT && deadline != 0) return Waited::TimedOut;
        if (waited != WAIT_OBJECT_0) return Waited::Failed;
        DWORD message = 0;
        ULONG_PTR key = 0;
        LPOVERLAPPED overlapped = nullptr;
        if (GetQueuedCompletionStatus(port, &message, &key, &overlapped, INFINITE) &&
            message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO)
            return Waited::Ended;
        // Processes starting and ending in the job, and failed dequeues,
        // are of no interest.
    }
}

// Waits for the run as it is held; at the deadline ends what still runs.
Waited WaitForRun(const Uninstaller& run, HANDLE port, ULONGLONG deadline) {
    if (run.hold == Hold::ParentIds) {
        switch (WaitForProcessTree(run.process.Get(), deadline, kTimedOutExitCode)) {
        case TreeWait::Ended: return Waited::Ended;
        case TreeWait::TimedOut: return Waited::TimedOut;
        case TreeWait::Failed: return Waited::Failed;
        }
    }
    const Waited waited = WaitForEmptyJob(port, deadline);
    if (waited == Waited::TimedOut) {
        // A nested job ends only the processes of this run.
        TerminateJobObject(run.job.Get(), kTimedOutExitCode);
        WaitForEmptyJob(port, GetTickCount64() + kEndedGraceMs);
    }
    return waited;
}

void WriteHold(Hold hold, Remove::Log& log) {
    if (hold == Hold::NestedJob) {
        log.Write(L"...the job ORVRemove runs in does not allow breakaway: the uninstaller runs in a job nested in it");
        log.EndLine();
    } else if (hold == Hold::ParentIds) {
        log.Write(L"...the job ORVRemove runs in does not allow breakaway and jobs do not nest here: the uninstaller "
                  L"and the processes it starts are followed by their parent process ids");
        log.EndLine();
    }
}

// "finished", and the restart that exit codes 3010 and 1641 ask for.
void WriteFinished(HANDLE process, Remove::Log& log) {
    DWORD exitCode = 0;
    if (GetExitCodeProcess(process, &exitCode) &&
        (exitCode == ERROR_SUCCESS_REBOOT_REQUIRED || exitCode == ERROR_SUCCESS_REBOOT_INITIATED)) {
        NoteRestartNeeded();
        log.Write(L"finished with exit code " + std::to_wstring(exitCode) +
                  L": Windows must be restarted to finish the removal");
    } else {
        log.Write(L"finished");
    }
    log.EndLine();
}

std::optional<DWORD> ExitCodeOf(HANDLE process) {
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process, &exitCode)) return std::nullopt;
    return exitCode;
}

// Tells the run's observer how the run went; the exit code only of a run
// that ended by itself.
void TellRun(const std::wstring& command, ULONGLONG startTick, bool started, std::optional<DWORD> exitCode,
             bool timedOut) {
    UninstallerRunEvent event;
    event.command = command;
    event.started = started;
    event.exitCode = exitCode;
    event.seconds = static_cast<double>(GetTickCount64() - startTick) / 1000.0;
    event.timedOut = timedOut;
    TellUninstallerRan(event);
}

}  // namespace

void LimitUninstallerRuns(std::optional<unsigned long> seconds) { timeLimitSeconds = seconds; }

bool RunUninstaller(const std::wstring& requestedCommand, const std::wstring& name, Remove::Log& log) {
    // Its program only from where it belongs; the log shows it as started.
    const std::wstring command = CommandToStart(requestedCommand);
    if (!ActOrDescribe(PlannedAction{ActionKind::Uninstaller, command, name}, log)) return true;
    log.Write(L"Running uninstaller for \"");
    log.Write(name);
    log.Write(L"\" with command ");
    log.Write(command);
    log.EndLine();

    const ULONGLONG startTick = GetTickCount64();
    Uninstaller run;
    try {
        Start(command, run);
    } catch (...) {
        log.Write(L"...error creating process: ");
        log.WriteCurrentException();
        log.EndLine();
        TellRun(command, startTick, false, std::nullopt, false);
        return false;
    }

    TerminationGuard guard(run.process.Get());
    UniqueKernelHandle port;
    bool watched = false;
    try {
        Watch(run, port);
        watched = true;
        WriteHold(run.hold, log);
        log.Write(L"...waiting for the uninstaller to finish...");
        Resume(run);
        guard.Dismiss();
    } catch (...) {
        if (!watched) log.Write(L"...waiting for the uninstaller to finish...");
        log.Write(L"...error creating IO completion port");
        log.WriteCurrentException();
        log.EndLine();
        port.Reset();
        guard.Terminate();
        TellRun(command, startTick, false, std::nullopt, false);
        return false;
    }

    switch (WaitForRun(run, port.Get(), Deadline())) {
    case Waited::Ended:
        WriteFinished(run.process.Get(), log);
        TellRun(command, startTick, true, ExitCodeOf(run.process.Get()), false);
        return true;
    case Waited::TimedOut:
        log.Write(L"did not finish within " + std::to_wstring(*timeLimitSeconds) +
                  L" seconds; it and the processes it started were ended");
        log.EndLine();
        TellRun(command, startTick, true, std::nullopt, true);
        return false;
    case Waited::Failed:
        break;
    }
    log.Write(L"...wait failed");
    log.EndLine();
    TellRun(command, startTick, true, std::nullopt, false);
    return false;
}
