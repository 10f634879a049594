#include "app/UnattendedRun.h"

#include "app/BackupPlan.h"
#include "app/OutputPaths.h"
#include "app/RunReporting.h"
#include "app/SilentOptions.h"
#include "app/SilentRemoval.h"
#include "log/FileLog.h"
#include "log/ForwardingLog.h"
#include "platform/Errors.h"
#include "platform/MessageBox.h"
#include "sysops/RegistryBackup.h"
#include "sysops/RootCleanup.h"
#include "sysops/UninstallerRunner.h"

#include <cwchar>
#include <memory>

namespace {

std::wstring Timestamp(const SYSTEMTIME& time) {
    wchar_t text[32];
    swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour,
             time.wMinute, time.wSecond);
    return text;
}

// The log of a run: the /log= file, standard output for a detection
// without one, or the plain log that discards everything.
struct RunLog {
    std::unique_ptr<Remove::FileLog> file;
    Remove::Log plain;
    bool countsFailures = false;  // only the /log= file decides the exit code

    Remove::Log& Get() { return file ? *file : plain; }
    bool Failed() const { return countsFailures && file && file->WriteFailed(); }
};

bool OpenLog(const SilentOptions& options, RunLog& log) {
    if (options.logPath) {
        try {
            log.file = Remove::FileLog::Create(PrepareFilePath(*options.logPath));
            log.countsFailures = true;
        } catch (...) {
            return false;
        }
    } else if (options.detect || options.whatif) {
        const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
        if (output != nullptr && output != INVALID_HANDLE_VALUE) log.file = std::make_unique<Remove::FileLog>(output);
    }
    return true;
}

SilentExitCode RemoveSelection(const SilentOptions& options, Remove::Log& log, const UnattendedParts& parts,
                               const SYSTEMTIME& now) {
    std::unique_ptr<RegistryBackup> backup;
    if (options.backupFolder) {
        const std::wstring& folder = *options.backupFolder;
        try {
            const std::wstring full = FullPath(folder);
            CreateFolderTree(full);
            backup = RegistryBackup::Create(full, now);
        } catch (...) {
            log.Write(L"Registry backup: no file can be created in \"" + folder + L"\": ");
            log.WriteCurrentException();
            log.EndLine();
            return SilentExitCode::LocationNotWritable;
        }
        log.Write(L"Registry backup: " + backup->Path());
        log.EndLine();
    }
    const ScopedKeyTreeDeletionHook hook(backup.get());
    // The components write through a log that the backup's plans can mute.
    Remove::ForwardingLog componentLog(log);
    const Catalogue catalogue = parts.makeCatalogue(componentLog);
    const auto rootCleanup = parts.rootCleanup ? parts.rootCleanup : RemoveRootFoldersAndKeys;
    std::function<bool(ORVProduct&)> beforeRemoval;
    std::unique_ptr<BackupPlan> backupPlan;
    if (backup) {
        backupPlan = std::make_unique<BackupPlan>(*backup, componentLog, rootCleanup);
        beforeRemoval = [&backupPlan](ORVProduct& product) { return backupPlan->BeforeRemoval(product); };
    }
    const SilentExitCode code = RunSilentRemoval(options.switchText, catalogue, componentLog, rootCleanup, beforeRemoval);
    return backup && backup->WriteFailed() ? SilentExitCode::LocationNotWritable : code;
}

// On a window station that nobody can see, a box would wait for a click
// that never comes: every box's text is in the log already, so the box is
// left out and the run goes on as if OK had been pressed.
class UnseenBoxes {
public:
    explicit UnseenBoxes(Remove::Log& log) : active_(!WindowsPlatform::WindowStationVisible()) {
        if (!active_) return;
        previous_ = WindowsPlatform::SetMessageBoxHandler([&log](const std::wstring&, unsigned, const std::wstring&) {
            log.Write(L"The message box was not shown: nobody can see this window station; the run goes on as if "
                      L"OK had been pressed");
            log.EndLine();
            return IDOK;
        });
    }
    ~UnseenBoxes() {
        if (active_) WindowsPlatform::SetMessageBoxHandler(std::move(previous_));
    }
    UnseenBoxes(const UnseenBoxes&) = delete;
    UnseenBoxes& operator=(const UnseenBoxes&) = delete;

private:
    bool active_;
    WindowsPlatform::MessageBoxHandler previous_;
};

// Sets the time limit of every uninstaller run from "/timeout="; a value
// that is not a positive whole number is a usage error: false.
bool ApplyTimeout(const SilentOptions& options, Remove::Log& log) {
    if (!options.timeout) return true;
    const auto seconds = TimeoutSeconds(*options.timeout);
    if (!seconds) {
        ShowSilentBox(log,
                      L"The value of /timeout= must be a positive whole number of seconds, not \"" +
                          *options.timeout + L"\".\n\n" + kSilentUsageText,
                      MB_OK);
        return false;
    }
    LimitUninstallerRuns(seconds);
    return true;
}

}  // namespace

int RunUnattended(const std::wstring& argumentText, const UnattendedParts& parts) {
    // Connect to the desktop now. Under Wine the process that first touches
    // the desktop starts the desktop's own process; were that an uninstaller
    // inside the job that the removal waits on, the desktop process would
    // join the job and keep it from ever emptying. On Windows this is a
    // plain look-up.
    GetDesktopWindow();
    const SilentOptions options = ParseSilentOptions(argumentText);
    RunLog runLog;
    if (!OpenLog(options, runLog)) return static_cast<int>(SilentExitCode::LocationNotWritable);
    // The run report ("/report=") sees every line the run logs.
    RunReporting reporting(options, argumentText, runLog.Get());
    Remove::Log& log = reporting.Log();

    SYSTEMTIME now = parts.now;
    if (now.wYear == 0) GetLocalTime(&now);
    log.Write(L"Started " + Timestamp(now) + L" with the arguments: " + argumentText);
    log.EndLine();

    const UnseenBoxes unseen(log);
    SilentExitCode code;
    const bool usable = ApplyTimeout(options, log);
    const bool removal = !usable || !(options.detect || options.whatif);
    if (usable && options.detect) {
        const Catalogue catalogue = parts.makeCatalogue(log);
        code = RunSilentDetection(catalogue, log);
    } else if (usable && options.whatif) {
        const Catalogue catalogue = parts.makeCatalogue(log);
        code = RunSilentPlan(options.switchText, catalogue, log,
                             parts.rootCleanup ? parts.rootCleanup : RemoveRootFoldersAndKeys, reporting.Plan());
    } else {
        code = usable ? RemoveSelection(options, log, parts, now) : SilentExitCode::NothingSelected;
    }
    if (runLog.Failed()) code = SilentExitCode::LocationNotWritable;
    code = reporting.Finish(code);
    if (removal) {
        log.EndLine();
        log.Write(ExitCodeLine(code));
        log.EndLine();
    }
    LimitUninstallerRuns(std::nullopt);
    if (runLog.Failed()) code = SilentExitCode::LocationNotWritable;
    return static_cast<int>(code);
}
