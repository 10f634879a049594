#include "platform/FileReadingPath.h"

#include "platform/Errors.h"
#include "platform/FileErrorMap.h"

namespace WindowsPlatform {
namespace {

// Throws through the map; a code the map lets pass is still a failure here.
[[noreturn]] void ThrowFailure(FileErrorMap map, DWORD code, const FileLocation& location) {
    ThrowFileError(map, code, location);
    throw FileIOError(code, location.Text());
}

}  // namespace

void FileReadingPath::Adopt(HANDLE handle) {
    if (handle == INVALID_HANDLE_VALUE) ThrowFailure(FileErrorMap::OpenClose, GetLastError(), location_);
    handle_.Reset(handle);
    const DWORD type = GetFileType(handle);
    if (type == FILE_TYPE_UNKNOWN) {
        const DWORD error = GetLastError();
        if (error != NO_ERROR) {
            handle_.Reset();
            ThrowFailure(FileErrorMap::OpenClose, error, location_);
        }
    }
    if (type != FILE_TYPE_DISK) {
        handle_.Reset();
        throw FilePermissionError(ERROR_ACCESS_DENIED, location_.Text());
    }
}

void FileReadingPath::Open(const FileLocation& location, bool shareForWriting) {
    location_ = location;
    handle_.Reset();
    const DWORD share = shareForWriting ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
    Adopt(CreateFileW(WindowsPath(location_).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

void FileReadingPath::Flush() {
    if (!FlushFileBuffers(handle_.Get())) ThrowFileError(FileErrorMap::Flush, GetLastError(), location_);
}

void FileReadingPath::Close() {
    if (!handle_) return;
    if (!CloseHandle(handle_.Release())) ThrowFileError(FileErrorMap::OpenClose, GetLastError(), location_);
}

FileWritingPath::FileWritingPath(const FileLocation& location) {
    location_ = location;
    HANDLE handle = CreateFileW(WindowsPath(location_).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    // The type is checked before the file is cut: a device is refused as
    // not being a disk file rather than for refusing a new length.
    Adopt(handle);
    if (existed && (SetFilePointer(handle_.Get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
                    !SetEndOfFile(handle_.Get()))) {
        const DWORD error = GetLastError();
        handle_.Reset();
        ThrowFailure(FileErrorMap::OpenClose, error, location_);
    }
}

}  // namespace WindowsPlatform
