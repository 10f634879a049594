#include "platform/FileWriter.h"

#include "platform/Errors.h"
#include "platform/FileErrorMap.h"

void FileWriter::Write(const void* bytes, std::size_t count) {
    if (count == 0) return;
    const FileLocation& location = file_.Location();
    if (count > MAXDWORD) throw FileIOError(0, location.Text());
    LONG high = static_cast<LONG>(position_ >> 32);
    SetLastError(NO_ERROR);
    if (SetFilePointer(file_.Handle(), static_cast<LONG>(position_ & 0xFFFFFFFFu), &high, FILE_BEGIN) ==
            INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        throw FileSeekError(0, location.Text());
    DWORD written = 0;
    if (!WriteFile(file_.Handle(), bytes, static_cast<DWORD>(count), &written, nullptr)) {
        const DWORD error = GetLastError();
        ThrowFileError(FileErrorMap::Write, error, location);
        throw FileIOError(error, location.Text());
    }
    if (written < count) throw FileIOError(0, location.Text());
    position_ += written;
}
