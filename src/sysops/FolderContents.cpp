#include "sysops/FolderContents.h"

#include "platform/UniqueHandle.h"

#include <windows.h>

#include <cwchar>

namespace {

void Count(const std::wstring& path, FolderContents& contents) {
    WIN32_FIND_DATAW entry{};
    WindowsPlatform::UniqueFindHandle search(FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &entry,
                                                              FindExSearchNameMatch, nullptr, 0));
    if (!search) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND) contents.complete = false;
        return;
    }
    do {
        if (wcscmp(entry.cFileName, L".") == 0 || wcscmp(entry.cFileName, L"..") == 0) continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Count(path + L"\\" + entry.cFileName, contents);
        } else {
            ++contents.files;
            contents.bytes += (static_cast<unsigned long long>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
        }
    } while (FindNextFileW(search.Get(), &entry));
    if (GetLastError() != ERROR_NO_MORE_FILES) contents.complete = false;
}

}  // namespace

FolderContents CountFolderContents(const std::wstring& path) {
    FolderContents contents;
    try {
        std::wstring folder = path;
        while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
        Count(folder, contents);
    } catch (...) {
        contents.complete = false;
    }
    return contents;
}

std::wstring FolderContentsText(const FolderContents& contents) {
    std::wstring text = contents.complete ? L"" : L"at least ";
    text += std::to_wstring(contents.files) + (contents.files == 1 ? L" file, " : L" files, ");
    return text + std::to_wstring(contents.bytes) + (contents.bytes == 1 ? L" byte" : L" bytes");
}
