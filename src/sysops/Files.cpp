#include "sysops/Files.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "platform/Text.h"
#include "platform/UniqueHandle.h"
#include "sysops/AccessRecovery.h"
#include "sysops/ActionPlan.h"
#include "sysops/FileAttributeQuery.h"
#include "sysops/FolderContents.h"
#include "sysops/PathSafety.h"
#include "sysops/RestartDeletions.h"
#include "sysops/RestartNeed.h"
#include "sysops/RunEvents.h"

#include <windows.h>

#include <optional>

using WindowsPlatform::InjectedFault;
using WindowsPlatform::QueryFileAttributes;

namespace {

bool IsReparsePoint(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::wstring ChildPath(const std::wstring& parent, const wchar_t* name) {
    if (!parent.empty() && parent.back() == L'\\') return parent + name;
    return parent + L"\\" + name;
}

bool IsDotEntry(const wchar_t* name) { return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0; }

// "Windows Error: ", the system text of code, the context, the path and a
// closing quote, then the line end.
void WriteWindowsError(Remove::Log& log, DWORD code, const wchar_t* context, const std::wstring& path) {
    std::wstring message;
    try {
        message = TranscodeU8ToU16(SystemMessageText(code));
    } catch (...) {
        message = L"unknown error";
    }
    log.Write(L"Windows Error: ");
    log.Write(message);
    log.Write(context);
    log.Write(path);
    log.Write(L"\"");
    log.EndLine();
}

// The code of the failure in flight: that of a Windows::Error, else the
// thread's last error.
DWORD CurrentErrorCode() {
    const DWORD lastError = GetLastError();
    try {
        throw;
    } catch (const Windows::Error& e) {
        return e.Code();
    } catch (...) {
        return lastError;
    }
}

// Runs call unless a test injects a fault for name; returns its result and
// leaves the failure's code in error.
template <class Call>
BOOL Guarded(const char* name, DWORD& error, Call call) {
    error = InjectedFault(name);
    if (error != 0) return FALSE;
    const BOOL result = call();
    error = result ? 0 : GetLastError();
    return result;
}

bool DeleteFolderContents(const std::wstring& path, Remove::Log& log, RestartSchedule* schedule) {
    WindowsPlatform::UniqueFindHandle search;
    try {
        WIN32_FIND_DATAW entry{};
        search.Reset(FindFirstFileW(ChildPath(path, L"*.*").c_str(), &entry));
        if (!search) ThrowLastError();
        for (;;) {
            if (!IsDotEntry(entry.cFileName)) {
                const std::wstring child = ChildPath(path, entry.cFileName);
                const bool deleted = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                                         ? DeleteDirectoryTree(child, log, schedule)
                                         : DeleteFileForced(child, log, schedule);
                if (!deleted) return false;
            }
            if (!FindNextFileW(search.Get(), &entry)) {
                const DWORD error = GetLastError();
                if (error == ERROR_NO_MORE_FILES) return true;
                throw Windows::Error(error);
            }
        }
    } catch (...) {
        const DWORD code = CurrentErrorCode();
        search.Reset();
        WriteWindowsError(log, code, L"...in call to RemoveDirectory while looping files for \"", path);
        return false;
    }
}

// Leaves something in use to the next restart. True when its deletion is
// scheduled; otherwise writes the failure (error, in the words of context)
// and why the schedule failed too.
bool LeaveToRestart(const std::wstring& path, DWORD error, const wchar_t* context, RestartSchedule& schedule,
                    Remove::Log& log) {
    // A second deletion of the same tree (the root cleanup after the
    // component's own) finds it scheduled already.
    const bool already = DeletedAtRestart(path);
    const DWORD scheduling = already ? 0 : ScheduleDeletionAtRestart(path);
    if (scheduling == 0) {
        if (!already) TellLeftToRestart(WithoutLongPathPrefix(path));
        ++schedule.scheduled;
        return true;
    }
    WriteWindowsError(log, error, context, path);
    WriteWindowsError(log, scheduling, L"...error occured while trying to schedule the deletion at the next restart of \"",
                      path);
    return false;
}

// contentsPending: something inside the folder waits for the restart, so the
// folder can only go then too.
bool RemoveFolder(const std::wstring& path, Remove::Log& log, RestartSchedule* schedule, bool contentsPending) {
    const wchar_t context[] = L"...in call to RemoveDirectory for \"";
    DWORD error = 0;
    if (Guarded("RemoveDirectoryW", error, [&] { return RemoveDirectoryW(path.c_str()); })) return true;
    const bool waits = contentsPending ? error == ERROR_DIR_NOT_EMPTY || FailedBecauseInUse(path, error)
                                       : schedule != nullptr && error == ERROR_SHARING_VIOLATION;
    if (waits) return LeaveToRestart(path, error, context, *schedule, log);
    WriteWindowsError(log, error, context, path);
    return false;
}

// Where a folder deletion goes: the long-path form of the folder that the
// path resolves to, or why it must not be deleted.
struct DeletionTarget {
    std::wstring longPath;
    std::optional<std::wstring> refusal;
};

// Throws when the path cannot be resolved.
DeletionTarget ResolveDeletionTarget(const std::wstring& path) {
    // A relative path would be taken from whatever folder the program was
    // started in: such a value is never a component's folder.
    if (!IsFullPath(path)) return {{}, L"\"" + path + L"\" is not a full path"};
    DeletionTarget target;
    target.longPath = LongPathForm(FullFolderPath(path));
    target.refusal = FolderDeletionRefusal(target.longPath);
    return target;
}

void OpenDeletionLine(const std::wstring& path, Remove::Log& log) {
    log.Write(L"Deleting directory \"");
    log.Write(path);
    log.Write(L"\"...");
}

}  // namespace

bool FileExists(const std::wstring& path, Remove::Log& log) {
    log.Write(L"Checking for file \"");
    log.Write(path);
    log.Write(L"\"...");
    const bool exists = QueryFileAttributes(path) != INVALID_FILE_ATTRIBUTES;
    // What Windows deletes at the next restart counts as gone already; it
    // stays on disk until then, so the restart is needed.
    const bool pending = exists && DeletedAtRestart(path);
    if (pending) NoteRestartNeeded();
    log.Write(pending ? L"not found (deleted at the next restart)" : exists ? L"found" : L"not found");
    log.EndLine();
    return exists && !pending;
}

bool DeleteDirectory(const std::wstring& path, Remove::Log& log) {
    Remove::Log quiet;
    if (!FileExists(path, quiet)) return true;
    DeletionTarget target;
    try {
        target = ResolveDeletionTarget(path);
    } catch (...) {
        OpenDeletionLine(path, log);
        log.WriteCurrentException();
        log.Write(L"...error occured while resolving the path \"" + path + L"\"");
        log.EndLine();
        return false;
    }
    // A plan names the folder that would go, as Windows resolves the path.
    const std::wstring resolved = target.longPath.empty() ? path : WithoutLongPathPrefix(target.longPath);
    if (target.refusal) {
        if (!ActOrDescribe(PlannedAction{ActionKind::RefusedFolder, resolved, *target.refusal}, log)) return false;
        OpenDeletionLine(path, log);
        log.Write(L"refused: " + *target.refusal);
        log.EndLine();
        TellFolderRefused(path, *target.refusal);
        return false;
    }
    // Counting the files costs a walk of the tree: only a plan shows them.
    const std::wstring contents = Planning() ? FolderContentsText(CountFolderContents(target.longPath)) : L"";
    if (!ActOrDescribe(PlannedAction{ActionKind::Folder, resolved, contents}, log)) return true;
    OpenDeletionLine(path, log);
    RestartSchedule schedule;
    const bool deleted = DeleteDirectoryTree(target.longPath, log, &schedule);
    if (!deleted) return false;
    if (schedule.scheduled == 0) {
        log.Write(L"done");
    } else {
        log.Write(L"scheduled for deletion at the next restart, in use:");
        for (const std::wstring& file : schedule.filesInUse) log.Write(L" \"" + WithoutLongPathPrefix(file) + L"\"");
    }
    log.EndLine();
    return true;
}

bool DeleteDirectoryTree(const std::wstring& path, Remove::Log& log, RestartSchedule* schedule) {
    // A junction or folder link goes as a link: its target is neither listed
    // nor touched, and no access is granted on it.
    const size_t scheduledBefore = schedule != nullptr ? schedule->scheduled : 0;
    if (!IsReparsePoint(QueryFileAttributes(path))) {
        if (!GrantFileAccess(path, log)) return false;
        if (!DeleteFolderContents(path, log, schedule)) return false;
    }
    return RemoveFolder(path, log, schedule, schedule != nullptr && schedule->scheduled > scheduledBefore);
}

bool DeleteFileForced(const std::wstring& path, Remove::Log& log, RestartSchedule* schedule) {
    if (IsReparsePoint(QueryFileAttributes(path))) return true;
    if (!GrantFileAccess(path, log)) return false;
    const DWORD attributes = QueryFileAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    DWORD error = 0;
    if ((attributes & FILE_ATTRIBUTE_READONLY) &&
        !Guarded("SetFileAttributesW", error,
                 [&] { return SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY); })) {
        WriteWindowsError(log, error, L"...error occured while trying to remove read only attribute of file \"",
                          path);
        return false;
    }
    const wchar_t context[] = L"...error occured while trying to delete file \"";
    if (Guarded("DeleteFileW", error, [&] { return DeleteFileW(path.c_str()); })) return true;
    if (schedule == nullptr || !FailedBecauseInUse(path, error)) {
        WriteWindowsError(log, error, context, path);
        return false;
    }
    if (!LeaveToRestart(path, error, context, *schedule, log)) return false;
    schedule->filesInUse.push_back(path);
    return true;
}

bool GrantFileAccess(const std::wstring& path, Remove::Log& log) {
    WindowsPlatform::UniqueFileHandle file;
    if (DWORD fault = InjectedFault("CreateFileW/DELETE")) {
        SetLastError(fault);
    } else {
        // Backup semantics let the same test open folders.
        file.Reset(CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    }
    if (file) return true;
    try {
        SetObjectSecurity(path, SE_FILE_OBJECT, log);
        return true;
    } catch (...) {
        log.WriteCurrentException();
        log.Write(L"...error occurred while granting access to file \"");
        log.Write(path);
        log.Write(L"\"");
        log.EndLine();
        return false;
    }
}
