#pragma once
// Paths of the files an unattended run writes (log, registry backup, run
// report): made full, with their missing folders created.

#include <string>

// The full path of path as Windows resolves it; throws Windows::Error.
std::wstring FullPath(const std::wstring& path);

// Creates the folder and every missing folder above it; throws when the
// folder is not there afterwards.
void CreateFolderTree(const std::wstring& folder);

// The full path of a file whose folder now exists (as far as it can be
// made); creating the file then reports what is wrong with its folder.
std::wstring PrepareFilePath(const std::wstring& path);
