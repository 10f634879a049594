#include "sysops/CommandResolution.h"

#include <windows.h>

#include <iterator>
#include <optional>
#include <vector>

namespace {

const wchar_t kBlanks[] = L" \t";

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool NamesNoFolder(const std::wstring& program) {
    return !program.empty() && program.find_first_of(L"\\/:") == std::wstring::npos;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

std::optional<std::wstring> Folder(UINT(WINAPI* query)(LPWSTR, UINT)) {
    wchar_t buffer[MAX_PATH * 2];
    const UINT length = query(buffer, static_cast<UINT>(std::size(buffer)));
    if (length == 0 || length >= std::size(buffer)) return std::nullopt;
    return std::wstring(buffer, length);
}

// Where a program that names no folder belongs: the System folder, then the
// Windows folder.
std::wstring FromSystemFolders(std::wstring name) {
    if (name.find(L'.') == std::wstring::npos) name += L".exe";
    std::optional<std::wstring> first;
    for (const auto& folder : {Folder(GetSystemDirectoryW), Folder(GetWindowsDirectoryW)}) {
        if (!folder) continue;
        const std::wstring path = *folder + L"\\" + name;
        if (IsFile(path)) return path;
        if (!first) first = path;
    }
    // In neither: a path that fails to start rather than a search elsewhere.
    return first ? *first : L"\\" + name;
}

bool EndsAt(const std::wstring& text, size_t end) { return end == text.size() || IsBlank(text[end]); }

// Where the ".exe" endings followed by a blank or the end of the text end.
std::vector<size_t> ExeEnds(const std::wstring& text) {
    std::vector<size_t> ends;
    for (size_t at = 0; at + 4 <= text.size(); ++at) {
        if (CompareStringOrdinal(text.c_str() + at, 4, L".exe", 4, TRUE) == CSTR_EQUAL && EndsAt(text, at + 4))
            ends.push_back(at + 4);
    }
    return ends;
}

std::wstring UnquotedPathCommand(const std::wstring& command, const std::wstring& text, size_t blank) {
    if (IsFile(text.substr(0, blank))) return command;
    const std::vector<size_t> ends = ExeEnds(text);
    for (size_t end : ends) {
        if (IsFile(text.substr(0, end))) return Quoted(text.substr(0, end)) + text.substr(end);
    }
    const size_t end = ends.empty() ? text.size() : ends.front();
    return Quoted(text.substr(0, end)) + text.substr(end);
}

}  // namespace

std::wstring CommandToStart(const std::wstring& command) {
    const size_t start = command.find_first_not_of(kBlanks);
    if (start == std::wstring::npos) return command;
    const std::wstring text = command.substr(start);
    if (text[0] == L'"') {
        const size_t close = text.find(L'"', 1);
        if (close == std::wstring::npos) return command;
        const std::wstring program = text.substr(1, close - 1);
        if (NamesNoFolder(program)) return Quoted(FromSystemFolders(program)) + text.substr(close + 1);
        return command;
    }
    const size_t blank = text.find_first_of(kBlanks);
    const std::wstring first = text.substr(0, blank);
    if (NamesNoFolder(first)) {
        return Quoted(FromSystemFolders(first)) + (blank == std::wstring::npos ? L"" : text.substr(blank));
    }
    if (blank == std::wstring::npos) return command;
    return UnquotedPathCommand(command, text, blank);
}
