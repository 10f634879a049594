#include "SnapshotFiles.h"

#include "LabFiles.h"
#include "LabText.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

#include <algorithm>

using WindowsPlatform::UniqueFindHandle;

namespace Lab {
namespace {

struct Filter {
    std::vector<std::wstring> skipped;
    std::vector<std::wstring> kept;

    bool Contains(const std::vector<std::wstring>& list, const std::wstring& path) const {
        return std::any_of(list.begin(), list.end(), [&](const auto& p) { return EqualsNoCase(p, path); });
    }
    bool IsKept(const std::wstring& path) const { return Contains(kept, path); }
    bool IsSkipped(const std::wstring& path) const { return Contains(skipped, path); }
    // Whether a skipped folder is entered only to reach a kept one below it.
    bool LeadsToKept(const std::wstring& path) const {
        return std::any_of(kept.begin(), kept.end(), [&](const auto& k) { return StartsWithNoCase(k, path + L"\\"); });
    }
};

std::wstring Attributes(DWORD attributes) {
    std::wstring letters;
    if (attributes & FILE_ATTRIBUTE_READONLY) letters += L'R';
    if (attributes & FILE_ATTRIBUTE_HIDDEN) letters += L'H';
    if (attributes & FILE_ATTRIBUTE_SYSTEM) letters += L'S';
    if (attributes & FILE_ATTRIBUTE_ARCHIVE) letters += L'A';
    return letters.empty() ? L"-" : letters;
}

void Walk(const std::wstring& folder, const Filter& filter, bool onlyTowardsKept, std::vector<std::wstring>& lines) {
    WIN32_FIND_DATAW found;
    UniqueFindHandle find(FindFirstFileExW(LongPath(folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        const bool isFolder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (!isFolder) {
            if (onlyTowardsKept) continue;
            const ULONGLONG size = (ULONGLONG{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
            lines.push_back(L"file " + path + L"  " + std::to_wstring(size) + L" " +
                            Attributes(found.dwFileAttributes));
            continue;
        }
        const bool kept = filter.IsKept(path);
        const bool skipped = !kept && (onlyTowardsKept || filter.IsSkipped(path));
        if (skipped && !filter.LeadsToKept(path)) continue;
        lines.push_back(L"file " + path + L"\\");
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;  // never followed
        Walk(path, filter, skipped, lines);
    } while (FindNextFileW(find.Get(), &found));
}

}  // namespace

void SnapshotFileTree(const std::wstring& root, const std::vector<std::wstring>& skipped,
                      const std::vector<std::wstring>& kept, std::vector<std::wstring>& lines) {
    Walk(root, Filter{skipped, kept}, false, lines);
}

}  // namespace Lab
