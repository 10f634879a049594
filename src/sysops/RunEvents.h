#pragma once
// What a removal did, told as it happens to one process-wide observer: the
// uninstaller runs with their outcome, the folders the folder guard refused
// and what was left to Windows to delete at the next restart. The run
// report of unattended runs listens; without an observer the events go
// nowhere. Like plan mode, the observer is process-wide: the removal runs on
// one thread.

#include <windows.h>

#include <optional>
#include <string>

struct UninstallerRunEvent {
    std::wstring command;              // as started, or as it was to be started
    bool started = false;              // false: the process could not be created or watched
    std::optional<DWORD> exitCode;     // only when it ended by itself
    double seconds = 0;                // from the start to the end of the wait
    bool timedOut = false;             // ended at the time limit, with the processes it started
};

class RunObserver {
public:
    virtual ~RunObserver() = default;
    virtual void UninstallerRan(const UninstallerRunEvent& run) = 0;
    // path as it was given, reason as the log line says it.
    virtual void FolderRefused(const std::wstring& path, const std::wstring& reason) = 0;
    // A file or folder newly scheduled for deletion at the next restart.
    virtual void LeftToRestart(const std::wstring& path) = 0;
    // The steps of one other user's profile begin (sysops/ProfilePasses.h)
    // and end; what the log gets in between is theirs.
    virtual void ProfileEntered(const std::wstring& /*profile*/, const std::wstring& /*folder*/) {}
    virtual void ProfileLeft() {}
};

// Installs observer for the life of the object and restores the one before.
class ScopedRunObserver {
public:
    explicit ScopedRunObserver(RunObserver* observer);
    ~ScopedRunObserver();
    ScopedRunObserver(const ScopedRunObserver&) = delete;
    ScopedRunObserver& operator=(const ScopedRunObserver&) = delete;

private:
    RunObserver* previous_;
};

// Hand an event to the observer, if there is one. Never throw.
void TellUninstallerRan(const UninstallerRunEvent& run) noexcept;
void TellFolderRefused(const std::wstring& path, const std::wstring& reason) noexcept;
void TellLeftToRestart(const std::wstring& path) noexcept;
void TellProfileEntered(const std::wstring& profile, const std::wstring& folder) noexcept;
void TellProfileLeft() noexcept;
