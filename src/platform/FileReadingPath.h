#pragma once
// Files opened for reading, or for reading and writing, by location. Every
// failure throws the FileIOError family (platform/FileErrorMap.h) with the
// location and the Windows code. Only disk files are accepted: a device or
// a pipe throws FilePermissionError with code 5.

#include "platform/FileLocation.h"
#include "platform/UniqueHandle.h"

#include <windows.h>

namespace WindowsPlatform {

class FileReadingPath {
public:
    FileReadingPath() = default;
    virtual ~FileReadingPath() = default;  // closes an open handle, dropping a failure
    FileReadingPath(const FileReadingPath&) = delete;
    FileReadingPath& operator=(const FileReadingPath&) = delete;

    // Opens an existing file for reading, closing a file already open.
    // Others may read it, and also write it when shareForWriting is set.
    virtual void Open(const FileLocation& location, bool shareForWriting);

    void Flush();
    // Closes the handle when one is open; it is forgotten even on failure.
    void Close();

    bool IsOpen() const noexcept { return handle_.Valid(); }
    HANDLE Handle() const noexcept { return handle_.Get(); }
    const FileLocation& Location() const noexcept { return location_; }

protected:
    // Takes a handle that CreateFileW returned and checks that it is a disk file.
    void Adopt(HANDLE handle);

    FileLocation location_;
    UniqueFileHandle handle_;
};

// A file opened for reading and writing at construction: created when
// missing, cut to length 0 when it exists. Others may read it meanwhile.
class FileWritingPath : public FileReadingPath {
public:
    explicit FileWritingPath(const FileLocation& location);
};

}  // namespace WindowsPlatform
