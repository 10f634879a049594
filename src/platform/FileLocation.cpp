#include "platform/FileLocation.h"

#include "platform/Errors.h"
#include "platform/FileErrorMap.h"
#include "platform/Text.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveAbsolute(const std::string& path) {
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           IsSeparator(path[2]);
}

bool IsUnc(const std::string& path) { return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]); }

// "\\\\?\\" or "\\\\.\\": Windows already takes the path literally.
bool HasDevicePrefix(const std::string& path) {
    return path.size() >= 4 && IsUnc(path) && (path[2] == '?' || path[2] == '.') && IsSeparator(path[3]);
}

bool HasDotSegment(const std::wstring& path) {
    auto endsWith = [&](const std::wstring& tail) {
        return path.size() >= tail.size() && path.compare(path.size() - tail.size(), tail.size(), tail) == 0;
    };
    return path.find(L"\\..\\") != std::wstring::npos || path.find(L"\\.\\") != std::wstring::npos ||
           endsWith(L"\\..") || endsWith(L"\\.");
}

size_t ComponentCount(const std::string& path) {
    size_t count = 0;
    bool inName = false;
    for (char c : path) {
        if (IsSeparator(c)) {
            inName = false;
        } else if (!inName) {
            inName = true;
            ++count;
        }
    }
    return count;
}

}  // namespace

std::wstring WindowsPath(const FileLocation& location, std::size_t limit) {
    const std::string& path = location.Text();
    std::wstring wide = TranscodeU8ToU16(path);
    if (path.size() < limit) return wide;
    if (!(IsDriveAbsolute(path) || IsUnc(path)) || HasDevicePrefix(path) || wide.size() < limit) return wide;
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    if (HasDotSegment(wide)) return wide;
    if (IsUnc(path)) return L"\\\\?\\UNC" + wide.substr(1);
    return L"\\\\?\\" + wide;
}

bool IsRootLocation(const FileLocation& location) {
    std::string path = location.Text();
    if (HasDevicePrefix(path)) {
        path = path.substr(4);
        if (path.size() >= 4 && path.compare(0, 3, "UNC") == 0 && IsSeparator(path[3])) path = "\\\\" + path.substr(4);
    }
    while (path.size() > 1 && IsSeparator(path.back())) path.pop_back();
    if (path.size() == 1 && IsSeparator(path[0])) return true;
    if (path.size() == 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') return true;
    return IsUnc(path) && ComponentCount(path) <= 2;
}

FileLocation ParentLocation(const FileLocation& location) {
    const std::string& path = location.Text();
    if (path.empty()) throw EmptyFileLocationError(0, path);
    if (IsRootLocation(location)) throw RootHasNoParent(0, path);
    const size_t last = path.find_last_of("\\/");
    if (last == std::string::npos) throw InvalidFileLocation(0, path);
    if (last == 0) return FileLocation("\\");
    return FileLocation(path.substr(0, last));
}

void DeleteLocation(const FileLocation& location) {
    const std::wstring path = WindowsPath(location);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if ((attributes & FILE_ATTRIBUTE_READONLY) &&
        !SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
        ThrowFileError(FileErrorMap::Item, GetLastError(), location);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        const BOOL removed = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? DeleteFileW(path.c_str())
                                                                         : RemoveDirectoryW(path.c_str());
        if (!removed) throw FileIOError(GetLastError(), location.Text());
    } else if (!DeleteFileW(path.c_str())) {
        ThrowFileError(FileErrorMap::Item, GetLastError(), location);
    }
}
