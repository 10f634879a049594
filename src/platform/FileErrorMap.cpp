#include "platform/FileErrorMap.h"

#include "platform/Errors.h"

#include <algorithm>
#include <initializer_list>

namespace {

enum class Kind { None, NotFound, DirectoryNotFound, Permission, Lock, DiskFull, Seek, Found, EndOfFile, Other };

bool In(DWORD code, std::initializer_list<DWORD> codes) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

Kind OpenCloseKind(DWORD code) {
    if (In(code, {2, 6, 18, 107})) return Kind::NotFound;
    if (In(code, {3, 15, 17, 34, 52, 53, 55, 67, 70, 85, 111, 123, 124, 125, 144, 154, 161, 206, 208, 267}))
        return Kind::DirectoryNotFound;
    if (In(code, {5, 12, 19, 29, 54, 58, 64, 65, 71, 80, 82, 86, 170, 183, 999})) return Kind::Permission;
    if (In(code, {33, 108, 167})) return Kind::Lock;
    if (In(code, {39, 112})) return Kind::DiskFull;
    return Kind::Other;
}

bool IsSeekCode(DWORD code) { return In(code, {24, 25, 27, 30, 131, 132}); }

Kind KindFor(FileErrorMap map, DWORD code) {
    if (code == 0) return Kind::None;
    switch (map) {
    case FileErrorMap::OpenClose:
        return OpenCloseKind(code);
    case FileErrorMap::Flush:
        return In(code, {80, 183}) ? Kind::Found : OpenCloseKind(code);
    case FileErrorMap::Item:
        if (code == ERROR_HANDLE_EOF) return Kind::None;
        return IsSeekCode(code) ? Kind::Seek : OpenCloseKind(code);
    case FileErrorMap::Write:
        if (IsSeekCode(code)) return Kind::Seek;
        if (In(code, {32, 33, 108, 167})) return Kind::Permission;
        if (code == ERROR_HANDLE_EOF) return Kind::EndOfFile;
        if (In(code, {39, 112})) return Kind::DiskFull;
        return Kind::Other;
    }
    return Kind::Other;
}

}  // namespace

void ThrowFileError(FileErrorMap map, DWORD code, const FileLocation& location) {
    const std::string& path = location.Text();
    switch (KindFor(map, code)) {
    case Kind::None:
        return;
    case Kind::NotFound:
        throw FileNotFoundError(code, path);
    case Kind::DirectoryNotFound:
        throw DirectoryNotFoundError(code, path);
    case Kind::Permission:
        throw FilePermissionError(code, path);
    case Kind::Lock:
        throw FileLockError(code, path);
    case Kind::DiskFull:
        throw DiskFullError(code, path);
    case Kind::Seek:
        throw FileSeekError(code, path);
    case Kind::Found:
        throw FileFoundError(code, path);
    case Kind::EndOfFile:
        throw EndOfFileError(code, path);
    case Kind::Other:
        throw FileIOError(code, path);
    }
}
