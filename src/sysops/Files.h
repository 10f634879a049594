#pragma once
// Logged file and folder operations: the existence check, the forced
// deletion of folder trees and single files, and the access grant that the
// deletion relies on. Every operation writes its own step line (or the error
// text it adds to the caller's open line), catches every exception and
// reports success as a boolean; none throws.
//
// The deletion never follows junctions or symbolic links: a folder link is
// removed as a link, a file link is left alone.
//
// Test seams (platform/FaultInjection.h): "CreateFileW/DELETE" (the access
// test of GrantFileAccess), "SetFileAttributesW", "DeleteFileW",
// "RemoveDirectoryW"; the attribute query is sysops/FileAttributeQuery.h.

#include "log/Log.h"

#include <string>
#include <vector>

// Makes Windows take a path literally and lifts the MAX_PATH limit.
inline constexpr wchar_t LongPathPrefix[] = L"\\\\?\\";

// "Checking for file \"path\"..." then "found" or "not found". True when the
// attributes of the path can be read, for files and folders alike, unless
// Windows deletes the path at the next restart: then "not found (deleted at
// the next restart)", false, and a restart is noted as needed.
bool FileExists(const std::wstring& path, Remove::Log& log);

// What a deletion left to the next restart: the files it found in use. When
// a deletion is given one, a file in use is scheduled for deletion at the
// next restart instead of ending the deletion, and so is every folder above
// it up to the folder being deleted, after its contents.
struct RestartSchedule {
    std::vector<std::wstring> filesInUse;
    size_t scheduled = 0;  // files and folders
};

// Deletes a folder and everything in it. A missing folder writes nothing and
// counts as deleted. Otherwise writes "Deleting directory \"path\"..." and
// either "done" or the error text of the step that failed; the first failure
// ends the deletion and what was deleted before stays deleted.
//
// The path is resolved as Windows resolves it ("." and ".." segments,
// separators) before the long-path prefix is added, so the folder deleted is
// the folder FileExists found. Drive and share roots and the folders Windows
// owns (sysops/PathSafety.h) are refused: "refused: " and the reason, nothing
// deleted, false.
//
// Files in use are scheduled for deletion at the next restart, and their
// folders from the deepest up (RestartSchedule); the line then ends with
// "scheduled for deletion at the next restart, in use: " and the files in
// quotes, and the result is true.
bool DeleteDirectory(const std::wstring& path, Remove::Log& log);

// Deletes the folder at path (already in long-path form) depth first. A
// folder that is a reparse point is removed as a link without listing it.
// Failures add "Windows Error: " and the system text, then a context naming
// the call and the path, to the open line.
bool DeleteDirectoryTree(const std::wstring& path, Remove::Log& log, RestartSchedule* schedule = nullptr);

// Deletes one file, clearing its read-only attribute first. A reparse point
// is left alone and counts as success, as does a file that is gone once
// access has been granted.
bool DeleteFileForced(const std::wstring& path, Remove::Log& log, RestartSchedule* schedule = nullptr);

// True when the file or folder may now be deleted: at once when it opens for
// DELETE, otherwise after the current user has been given full access
// (taking ownership if needed). A failure writes the exception's description
// and "...error occurred while granting access to file \"path\"".
bool GrantFileAccess(const std::wstring& path, Remove::Log& log);
