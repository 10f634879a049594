#pragma once
// What a folder deletion would take: the files below a folder and their
// size, counted as the deletion walks them (links are not followed, and a
// file link is not counted, since the deletion leaves it alone).

#include <string>

struct FolderContents {
    unsigned long long files = 0;
    unsigned long long bytes = 0;
    bool complete = true;  // false when a folder below could not be listed
};

// Never throws; path is in long-path form.
FolderContents CountFolderContents(const std::wstring& path);

// "3 files, 1024 bytes"; "at least ..." when the count is not complete.
std::wstring FolderContentsText(const FolderContents& contents);
