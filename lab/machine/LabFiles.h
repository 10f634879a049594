#pragma once
// File operations of the lab. Paths may be longer than MAX_PATH: every call
// goes through the "\\?\" form. Deletions clear the read-only attribute
// first and treat a missing file or folder as done.

#include <optional>
#include <string>
#include <vector>

namespace Lab {

std::wstring LongPath(const std::wstring& path);
std::wstring ParentFolder(const std::wstring& path);
std::wstring FileName(const std::wstring& path);

bool PathExists(const std::wstring& path);
void MakeFolders(const std::wstring& folder);

// Writes the bytes (creating the folders above), optionally read-only.
void WriteBytes(const std::wstring& path, const std::string& bytes, bool readOnly = false);
void CopyFileTo(const std::wstring& source, const std::wstring& target);
std::optional<std::string> ReadBytes(const std::wstring& path);
// Appends one piece with a single write, so that lines written by several
// processes at once do not interleave.
void AppendBytes(const std::wstring& path, const std::string& bytes);

void DeleteFileAt(const std::wstring& path);
// Deletes the folder and everything in it. A file that is still in use (the
// image of a process that is just ending) is retried for a few seconds.
void DeleteFolderTree(const std::wstring& folder);
void DeleteFolderIfEmpty(const std::wstring& folder);

std::vector<std::wstring> FolderEntries(const std::wstring& folder);

}  // namespace Lab
