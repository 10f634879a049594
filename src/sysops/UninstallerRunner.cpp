#include "sysops/UninstallerRunner.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "platform/UniqueHandle.h"
#include "sysops/CommandResolution.h"

#include <windows.h>

#include <vector>

using WindowsPlatform::InjectedFault;
using WindowsPlatform::UniqueKernelHandle;

namespace {

constexpr ULONG_PTR kCompletionKey = 1;

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

struct Uninstaller {
    UniqueKernelHandle job;
    UniqueKernelHandle process;
    UniqueKernelHandle thread;
};

// Creates the job and the suspended process; throws on failure.
void Start(const std::wstring& command, Uninstaller& run) {
    run.job.Reset(CreateJobObjectW(nullptr, nullptr));
    if (!run.job) ThrowLastError();
    // CreateProcessW may write into the command line: pass a copy.
    std::vector<wchar_t> commandLine(command.begin(), command.end());
    commandLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // Suspended, so that it cannot start children before it is in the job;
    // breaking away from a job the runner may be in lets it join the new one.
    ThrowLastErrorIfFalse(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                                         CREATE_SUSPENDED | CREATE_BREAKAWAY_FROM_JOB, nullptr, nullptr,
                                         &startup, &info));
    run.process.Reset(info.hProcess);
    run.thread.Reset(info.hThread);
}

// Connects the job to a new completion port, puts the process in the job and
// lets it run; throws on failure.
void Watch(Uninstaller& run, UniqueKernelHandle& port) {
    port.Reset(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, kCompletionKey, 0));
    if (!port) ThrowLastError();
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT association{};
    association.CompletionKey = reinterpret_cast<PVOID>(kCompletionKey);
    association.CompletionPort = port.Get();
    ThrowLastErrorIfFalse(SetInformationJobObject(run.job.Get(), JobObjectAssociateCompletionPortInformation,
                                                  &association, sizeof(association)));
    if (DWORD fault = InjectedFault("AssignProcessToJobObject")) throw Windows::Error(fault);
    ThrowLastErrorIfFalse(AssignProcessToJobObject(run.job.Get(), run.process.Get()));
    if (ResumeThread(run.thread.Get()) == static_cast<DWORD>(-1)) ThrowLastError();
}

// Waits until the job reports that its last process has ended.
bool WaitForEmptyJob(HANDLE port) {
    for (;;) {
        const DWORD waited = InjectedFault("WaitForSingleObject") ? WAIT_FAILED : WaitForSingleObject(port, INFINITE);
        if (waited != WAIT_OBJECT_0) return false;
        DWORD message = 0;
        ULONG_PTR key = 0;
        LPOVERLAPPED overlapped = nullptr;
        if (GetQueuedCompletionStatus(port, &message, &key, &overlapped, INFINITE) &&
            message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO)
            return true;
        // Processes starting and ending in the job, and failed dequeues,
        // are of no interest.
    }
}

}  // namespace

bool RunUninstaller(const std::wstring& requestedCommand, const std::wstring& name, Remove::Log& log) {
    // Its program only from where it belongs; the log shows it as started.
    const std::wstring command = CommandToStart(requestedCommand);
    log.Write(L"Running uninstaller for \"");
    log.Write(name);
    log.Write(L"\" with command ");
    log.Write(command);
    log.EndLine();

    Uninstaller run;
    try {
        Start(command, run);
    } catch (...) {
        log.Write(L"...error creating process: ");
        log.WriteCurrentException();
        log.EndLine();
        return false;
    }

    TerminationGuard guard(run.process.Get());
    log.Write(L"...waiting for the uninstaller to finish...");
    UniqueKernelHandle port;
    try {
        Watch(run, port);
        guard.Dismiss();
    } catch (...) {
        log.Write(L"...error creating IO completion port");
        log.WriteCurrentException();
        log.EndLine();
        port.Reset();
        guard.Terminate();
        return false;
    }

    if (!WaitForEmptyJob(port.Get())) {
        log.Write(L"...wait failed");
        log.EndLine();
        return false;
    }
    log.Write(L"finished");
    log.EndLine();
    return true;
}
