#pragma once
// Deletions that Windows does at the next restart: scheduling one for a
// file or folder that is in use, and reading the list Windows keeps of them
// (the Session Manager's PendingFileRenameOperations values), so that what
// only waits for the restart counts as gone.

#include <windows.h>

#include <string>

// MoveFileExW(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT); on success notes that
// a restart is needed (sysops/RestartNeed.h). Returns 0 or the Windows error.
DWORD ScheduleDeletionAtRestart(const std::wstring& path);

// True when Windows will delete path at the next restart. Paths are compared
// as Windows resolves them, with or without the long-path prefix, ignoring
// case.
bool DeletedAtRestart(const std::wstring& path);

// Whether a failed deletion failed because something holds the file: a
// handle opened without delete sharing, or a running program's image.
bool FailedBecauseInUse(const std::wstring& path, DWORD error);
